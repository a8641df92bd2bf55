// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/ScanErrors.h"
#include "browser/ViewControllerCellViewModel.h"
#include "common/Globals.h"
#include "platform/GlobalQueue.h"

#include <QList>

#include <functional>

// Turns a scan request (files, folders, photo library packages) into file
// records. One walk at a time; it runs on the caller's thread and fans out
// to two queues, reporting progress as "ScanViewStatus" notifications. The
// process-wide ScanFlags pause and stop it.
class Scanner
{
public:
    static Scanner &shared();

    struct Result
    {
        // Library photos first, in the library's order; then files in the
        // order their work finished.
        FileInfoList records;
        ScanErrors errors;
    };

    // Synchronous; returns when the walk is over, early after a stop with
    // what was accepted until then. Only selected entries are scanned. It
    // waits for its queues: call it on a thread no other work waits for
    // (GlobalQueue::runLong), never on Qt's global pool.
    Result scan(const QList<ViewControllerCellViewModel> &items);

    // Each of the two queues runs at most this many operations at once.
    static constexpr int MaxConcurrentOperations = 25;
    // After asking to quit the photo application the walk waits at least
    // this long (on platform::Clock), then until the question is answered.
    static constexpr int AskToQuitPhotosWaitMs = 3000;

    // For tests: called after every progress step with the number of entries
    // processed so far, on the thread that made the step.
    using StepObserver = std::function<void(qint64 processed)>;
    static StepObserver setStepObserver(StepObserver observer);

private:
    class Walk;

    platform::WorkQueue m_retrivePathsQueueForCount { MaxConcurrentOperations };
    platform::WorkQueue m_retrivePathsQueue { MaxConcurrentOperations };
};
