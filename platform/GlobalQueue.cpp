#include "platform/GlobalQueue.h"

namespace platform {

void GlobalQueue::run(std::function<void()> fn, Priority priority)
{
    QThreadPool::globalInstance()->start(std::move(fn), priority == Priority::UserInitiated ? 1 : 0);
}

void GlobalQueue::waitForDone()
{
    QThreadPool::globalInstance()->waitForDone();
}

WorkQueue::WorkQueue(int maxConcurrent)
{
    m_pool.setMaxThreadCount(std::max(1, maxConcurrent));
}

WorkQueue::~WorkQueue()
{
    m_pool.clear();
    m_pool.waitForDone();
}

void WorkQueue::run(std::function<void()> fn)
{
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
