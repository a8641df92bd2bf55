#pragma once

#include <QThreadPool>

#include <functional>

namespace platform {

// The process-wide background queue, at two priorities.
namespace GlobalQueue {

enum class Priority { Default, UserInitiated };

// Runs fn off the GUI thread; user-initiated work starts before queued
// default work. A job keeps what it needs alive itself and returns results
// through MainQueue::post.
void run(std::function<void()> fn, Priority priority = Priority::Default);
void waitForDone();

} // namespace GlobalQueue

// A queue of its own with at most n jobs running at once.
class WorkQueue
{
public:
    explicit WorkQueue(int maxConcurrent);
    ~WorkQueue();
    WorkQueue(const WorkQueue &) = delete;
    WorkQueue &operator=(const WorkQueue &) = delete;

    void run(std::function<void()> fn);
    void waitForDone();
    // Drops jobs that have not started yet.
    void clear();
    int maxConcurrent() const;

private:
    QThreadPool m_pool;
};

} // namespace platform
