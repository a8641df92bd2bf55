// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Watchdog.h"

#include <pthread.h>

#include <cstdio>
#include <cstdlib>

namespace testsupport {

namespace {

std::chrono::nanoseconds timeOf(clockid_t clock)
{
    timespec now {};
    clock_gettime(clock, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

} // namespace

Watchdog::Watchdog(std::size_t workers)
    : m_workers(workers)
    , m_thread([this] { watch(); })
{ }

Watchdog::~Watchdog()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_stopping.notify_all();
    m_thread.join();
}

void Watchdog::started(std::size_t worker, std::chrono::seconds limit, Report report)
{
    clockid_t clock {};
    pthread_getcpuclockid(pthread_self(), &clock);
    const std::lock_guard lock(m_mutex);
    m_workers[worker] = { std::move(report), limit, clock, timeOf(clock) };
}

void Watchdog::finished(std::size_t worker)
{
    const std::lock_guard lock(m_mutex);
    m_workers[worker] = {};
}

void Watchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_stop; })) {
        for (const Busy &busy : m_workers) {
            if (busy.report && timeOf(busy.clock) - busy.since > busy.limit) {
                busy.report(busy.limit);
                std::fflush(stderr);
                std::abort();
            }
        }
    }
}

} // namespace testsupport
