// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

namespace platform {

// The seam for everything timed. In real mode delays are Qt timers; in
// manual mode (tests) delayed work waits in a list until advance() moves
// the clock past it, so no test sleeps.
class Clock
{
public:
    static void setManual(bool on);
    static bool isManual();
    // Milliseconds on the manual clock (0 when it was switched on).
    static qint64 now();
    // Milliseconds on a steady clock: the manual clock's in manual mode,
    // else the time since the first call. For spacing things out in time.
    static qint64 monotonicMs();
    // Runs, on the calling thread, every entry due within ms, in due order;
    // repeating entries come back for each interval that passes.
    static void advance(qint64 ms);
    static int pendingCount();

    // Used by MainQueue::after and Timer in manual mode.
    static int schedule(qint64 delayMs, QObject *context, std::function<void()> fn, qint64 repeatMs = 0);
    static void cancel(int id);
};

} // namespace platform
