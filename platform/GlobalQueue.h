// SPDX-License-Identifier: GPL-3.0-or-later
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

// Ends the background work of the process while everything it uses still
// exists: from now on no job of this queue or of any WorkQueue starts (a
// job handed in is dropped unrun), queued ones are dropped, and the call
// returns once the running ones have finished and their threads are gone.
// main() calls it when its event loop is over, after asking long work
// (scans, batches) to stop; the exit handlers run only after it.
void shutDown();
bool isShutDown();

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
