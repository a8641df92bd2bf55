// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariantAnimation>

#include <functional>

namespace platform {

// A value animation with a stop handler that runs whenever the animation
// leaves the running state: with finished = true when it ran to its end,
// with finished = false when stop() cut it short. The handler may start
// this or another animation again.
//
// The shown value is a function of the current time alone, so a test sets
// the time with setCurrentTime(ms) and reads currentValue() or renders.
// loopCount -1 repeats for ever.
class Animation : public QVariantAnimation
{
    Q_OBJECT
public:
    using StopHandler = std::function<void(bool finished)>;

    explicit Animation(QObject *parent = nullptr);

    void setStopHandler(StopHandler handler) { m_stopHandler = std::move(handler); }

    bool isRunning() const { return state() == QAbstractAnimation::Running; }
    // Whole loops run so far plus the eased progress of the current one:
    // what a cumulative animation has added up to.
    double elapsedLoops() const;

protected:
    void updateState(State newState, State oldState) override;

private:
    StopHandler m_stopHandler;
};

} // namespace platform
