// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace platform {

// A repeating timer on the GUI thread. Stop takes effect at once; missed
// ticks are not caught up. The manual Clock ticks it in tests.
class Timer : public QObject
{
    Q_OBJECT
public:
    Timer(int intervalMs, std::function<void()> tick, QObject *parent = nullptr);
    ~Timer() override;

    void start();
    void stop();
    bool isActive() const;
    int interval() const { return m_interval; }

private:
    int m_interval;
    std::function<void()> m_tick;
    QTimer m_timer;
    int m_manualId = 0;
};

// "Once on the next pass": however often it is requested before the event
// loop comes round, fn runs once.
class Deferred : public QObject
{
    Q_OBJECT
public:
    explicit Deferred(std::function<void()> fn, QObject *parent = nullptr);
    void request();
    void cancel();
    bool isPending() const { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace platform
