// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/AnimatedValue.h"

AnimatedValue::AnimatedValue(const QVariant &initial, std::function<void()> changed)
    : m_value(initial)
    , m_changed(std::move(changed))
    , m_animation(std::make_unique<platform::Animation>())
{
    QObject::connect(
        m_animation.get(), &QVariantAnimation::valueChanged, m_animation.get(), [this] { m_changed(); });
    m_animation->setStopHandler([this](bool) { m_changed(); });
}

QVariant AnimatedValue::shown() const
{
    return isAnimating() ? m_animation->currentValue() : m_value;
}

void AnimatedValue::set(const QVariant &value)
{
    m_value = value;
    m_animation->stop();
    m_changed();
}

void AnimatedValue::animate(
    const QVariant &from, const QVariant &to, int durationMs, const QEasingCurve &curve)
{
    if (durationMs <= 0) {
        set(to);
        return;
    }
    m_animation->stop();
    m_value = to;
    m_animation->setStartValue(from);
    m_animation->setEndValue(to);
    m_animation->setDuration(durationMs);
    m_animation->setEasingCurve(curve);
    m_animation->start();
    m_changed();
}

void AnimatedValue::stop()
{
    m_animation->stop();
}
