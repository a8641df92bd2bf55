// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Animation.h"

#include <QEasingCurve>
#include <QVariant>

#include <functional>
#include <memory>

// One animatable property of a view: the value it is set to (the model)
// and, while an animation runs, the value shown on the way there.
class AnimatedValue
{
public:
    // changed runs whenever the shown value may have changed.
    AnimatedValue(const QVariant &initial, std::function<void()> changed);
    AnimatedValue(const AnimatedValue &) = delete;
    AnimatedValue &operator=(const AnimatedValue &) = delete;

    QVariant value() const { return m_value; }
    QVariant shown() const;
    bool isAnimating() const { return m_animation->isRunning(); }
    platform::Animation *animation() const { return m_animation.get(); }

    // Sets the value at once, removing any animation.
    void set(const QVariant &value);
    // Sets the value and shows the way to it from `from` over durationMs;
    // a duration of zero or less sets it at once.
    void animate(const QVariant &from, const QVariant &to, int durationMs, const QEasingCurve &curve);
    // Removes the animation; the value is shown.
    void stop();

private:
    QVariant m_value;
    std::function<void()> m_changed;
    std::unique_ptr<platform::Animation> m_animation;
};
