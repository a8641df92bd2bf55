// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Timer.h"

#include "platform/Clock.h"

namespace platform {

Timer::Timer(int intervalMs, std::function<void()> tick, QObject *parent)
    : QObject(parent)
    , m_interval(intervalMs)
    , m_tick(std::move(tick))
{
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_tick(); });
}

Timer::~Timer()
{
    stop();
}

void Timer::start()
{
    stop();
    if (Clock::isManual())
        m_manualId = Clock::schedule(
            m_interval, this, [this] { m_tick(); }, m_interval);
    else
        m_timer.start();
}

void Timer::stop()
{
    m_timer.stop();
    if (m_manualId) {
        Clock::cancel(m_manualId);
        m_manualId = 0;
    }
}

bool Timer::isActive() const
{
    return m_timer.isActive() || m_manualId != 0;
}

Deferred::Deferred(std::function<void()> fn, QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, std::move(fn));
}

void Deferred::request()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void Deferred::cancel()
{
    m_timer.stop();
}

} // namespace platform
