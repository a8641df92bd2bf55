// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/GlobalQueue.h"

#include <atomic>
#include <mutex>
#include <set>

namespace platform {

namespace {

std::atomic<bool> shutDownDone { false };

// Every live WorkQueue, so that the end of the process can drain them all.
// Made by the first queue, so it outlives every queue that the exit
// handlers destroy.
struct Queues
{
    std::mutex mutex;
    std::set<QThreadPool *> pools;
};

Queues &queues()
{
    static Queues all;
    return all;
}

// The threads of the work that lasts, apart from Qt's global pool. Each job
// starts at once: there are never more than a few at a time (a scan, a
// batch), far fewer than this.
constexpr int LongJobsAtOnce = 16;

struct LongWork
{
    LongWork() { pool.setMaxThreadCount(LongJobsAtOnce); }
    QThreadPool pool;
};

QThreadPool &longWork()
{
    static LongWork work;
    return work.pool;
}

} // namespace

void GlobalQueue::run(std::function<void()> fn, Priority priority)
{
    if (shutDownDone.load())
        return;
    QThreadPool::globalInstance()->start(std::move(fn), priority == Priority::UserInitiated ? 1 : 0);
}

void GlobalQueue::runLong(std::function<void()> fn)
{
    if (shutDownDone.load())
        return;
    longWork().start(std::move(fn));
}

void GlobalQueue::waitForDone()
{
    // A long job may hand work to the shared pool until it ends.
    longWork().waitForDone();
    QThreadPool::globalInstance()->waitForDone();
}

void GlobalQueue::shutDown()
{
    shutDownDone = true;
    std::set<QThreadPool *> pools;
    {
        std::lock_guard lock(queues().mutex);
        pools = queues().pools;
    }
    pools.insert(QThreadPool::globalInstance());
    pools.insert(&longWork());
    // Nothing queued starts any more; a running job may still be waiting
    // for a job of another queue, which is why all are cleared first.
    for (QThreadPool *pool : pools)
        pool->clear();
    // Waiting also ends each pool's threads, and with them what each thread
    // kept for itself (its cached date formatters among others). Not under
    // the lock: a running job may make its first queue. Queues die on the
    // GUI thread, which is this one, or in the exit handlers, which come later.
    for (QThreadPool *pool : pools)
        pool->waitForDone();
}

bool GlobalQueue::isShutDown()
{
    return shutDownDone.load();
}

WorkQueue::WorkQueue(int maxConcurrent)
{
    m_pool.setMaxThreadCount(std::max(1, maxConcurrent));
    std::lock_guard lock(queues().mutex);
    queues().pools.insert(&m_pool);
}

WorkQueue::~WorkQueue()
{
    {
        std::lock_guard lock(queues().mutex);
        queues().pools.erase(&m_pool);
    }
    m_pool.clear();
    m_pool.waitForDone();
}

void WorkQueue::run(std::function<void()> fn)
{
    if (GlobalQueue::isShutDown())
        return;
    m_pool.start(std::move(fn));
}

void WorkQueue::waitForDone()
{
    m_pool.waitForDone();
}

void WorkQueue::clear()
{
    m_pool.clear();
}

int WorkQueue::maxConcurrent() const
{
    return m_pool.maxThreadCount();
}

} // namespace platform
