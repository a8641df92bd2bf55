// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QThreadPool>

#include <functional>

namespace platform {

// The process-wide background queue, at two priorities, and threads of
// their own for work that lasts.
namespace GlobalQueue {

enum class Priority { Default, UserInitiated };

// Runs fn off the GUI thread; user-initiated work starts before queued
// default work. A job keeps what it needs alive itself and returns results
// through MainQueue::post.
//
// The jobs share Qt's global thread pool, whose threads Qt's own image
// scaling, conversion and painting hand their parts to and wait for, the
// GUI thread's among them; a machine of one processor has one. So a job
// here is short and never waits for other work: a long one would hold up
// every picture scaled or painted meanwhile, and one that waited on work
// that scales an image would hold that thread for good.
void run(std::function<void()> fn, Priority priority = Priority::Default);
// Runs fn at once on a thread no other work waits for, for work that lasts
// (a scan, a batch, an export) or waits on workers of its own.
void runLong(std::function<void()> fn);
// Until the jobs of both kinds have run.
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
