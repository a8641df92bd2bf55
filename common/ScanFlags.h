// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileWalk.h"

#include <atomic>

// The process-wide flags that steer a running scan. The scan sheet and the
// main screen set them on the GUI thread; the scan's workers read them
// without a lock, and sleep (never spin) while they must wait.
class ScanFlags : public platform::WalkControl
{
public:
    static ScanFlags &shared();

    // From the start of a scan to its end; a new scan is not started
    // meanwhile. Pause and stop (the walk's control) are cleared at a start.
    std::atomic<bool> isScanRunning { false };
    // The user is being asked whether to skip a library while the other
    // system's photo application has it open; the scan waits.
    bool isAskingToQuitPhotos() const { return m_askingToQuitPhotos.load(); }
    void setAskingToQuitPhotos(bool on) { set(m_askingToQuitPhotos, on); }
    // Skip the current library.
    std::atomic<bool> isSkipPhotosLibrary { false };

    bool isScanPaused() const { return isPaused(); }
    void setScanPaused(bool on) { setPaused(on); }
    bool isScanStopped() const { return isStopped(); }
    void setScanStopped(bool on) { setStopped(on); }

    // Sleeps while the question about the photo application is open;
    // false when the scan is to stop.
    bool waitWhileAskingToQuitPhotos() const;

private:
    std::atomic<bool> m_askingToQuitPhotos { false };
};
