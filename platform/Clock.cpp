// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clock.h"

#include <QElapsedTimer>

#include <atomic>
#include <map>
#include <mutex>

namespace platform {

namespace {

struct Entry
{
    qint64 due = 0;
    qint64 repeat = 0;
    QPointer<QObject> context;
    bool hasContext = false;
    std::function<void()> fn;
};

struct ManualClock
{
    std::mutex mutex;
    std::atomic<bool> manual { false };
    qint64 now = 0;
    int nextId = 1;
    std::map<int, Entry> entries;
};

ManualClock &state()
{
    static ManualClock s;
    return s;
}

} // namespace

void Clock::setManual(bool on)
{
    auto &s = state();
    std::lock_guard lock(s.mutex);
    s.manual = on;
    s.now = 0;
    s.entries.clear();
}

bool Clock::isManual()
{
    return state().manual;
}

qint64 Clock::now()
{
    auto &s = state();
    std::lock_guard lock(s.mutex);
    return s.now;
}

qint64 Clock::monotonicMs()
{
    if (isManual())
        return now();
    static const QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

int Clock::pendingCount()
{
    auto &s = state();
    std::lock_guard lock(s.mutex);
    return int(s.entries.size());
}

int Clock::schedule(qint64 delayMs, QObject *context, std::function<void()> fn, qint64 repeatMs)
{
    auto &s = state();
    std::lock_guard lock(s.mutex);
    const int id = s.nextId++;
    s.entries[id] = Entry { s.now + std::max<qint64>(0, delayMs), repeatMs, context, context != nullptr,
        std::move(fn) };
    return id;
}

void Clock::cancel(int id)
{
    auto &s = state();
    std::lock_guard lock(s.mutex);
    s.entries.erase(id);
}

void Clock::advance(qint64 ms)
{
    auto &s = state();
    qint64 target = 0;
    {
        std::lock_guard lock(s.mutex);
        target = s.now + ms;
    }
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard lock(s.mutex);
            auto next = s.entries.end();
            for (auto it = s.entries.begin(); it != s.entries.end(); ++it) {
                if (it->second.due <= target
                    && (next == s.entries.end() || it->second.due < next->second.due))
                    next = it;
            }
            if (next == s.entries.end()) {
                s.now = target;
                return;
            }
            Entry &entry = next->second;
            s.now = std::max(s.now, entry.due);
            if (entry.hasContext && !entry.context) {
                s.entries.erase(next);
                continue;
            }
            fn = entry.fn;
            if (entry.repeat > 0)
                entry.due += entry.repeat;
            else
                s.entries.erase(next);
        }
        fn();
    }
}

} // namespace platform
