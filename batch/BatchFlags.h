// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileWalk.h"

#include <atomic>

// The process-wide flags that steer a running batch. The progress sheet
// sets them on the GUI thread; the batch's job reads them between files
// without a lock and sleeps (never spins) while the batch is paused.
class BatchFlags : public platform::WalkControl
{
public:
    static BatchFlags &shared();

    // From the start of a batch to its end; no second batch starts meanwhile.
    std::atomic<bool> isProcessRunning { false };

    // The stop question is open: the file in work finishes, no new one starts.
    bool isProcessPaused() const { return isPaused(); }
    void setProcessPaused(bool on) { setPaused(on); }
    // The user confirmed the stop: the batch ends before its next file.
    bool isProcessStopped() const { return isStopped(); }
    void setProcessStopped(bool on) { setStopped(on); }
};
