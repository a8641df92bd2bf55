// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Ends the test program as a crash does when a piece of work holds its
// worker longer than its limit: a walk whose time grows faster than a
// file's bytes may not end for hours, and no test can go on beside it. The
// report the worker gave for the work tells what it was, then the process
// aborts.
//
// The limit counts the worker's own processor time, which a machine busy
// with other programs does not stretch as it does the time on the clock.
namespace testsupport {

class Watchdog
{
public:
    using Report = std::function<void(std::chrono::seconds limit)>;

    explicit Watchdog(std::size_t workers);
    ~Watchdog();
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

    // The calling thread, the worker, is on a piece of work from now, which
    // may take up to the limit, told by report.
    void started(std::size_t worker, std::chrono::seconds limit, Report report);
    void finished(std::size_t worker);

private:
    struct Busy
    {
        Report report;
        std::chrono::seconds limit {};
        clockid_t clock {};
        std::chrono::nanoseconds since {};
    };

    void watch();

    std::mutex m_mutex;
    std::condition_variable m_stopping;
    bool m_stop = false;
    std::vector<Busy> m_workers;
    std::thread m_thread;
};

} // namespace testsupport
