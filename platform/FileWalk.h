// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace platform {

// Pause and stop flags that the GUI thread sets while a worker walks.
// Reading is lock-free; a paused worker sleeps until the flag clears or
// the work is stopped.
class WalkControl
{
public:
    bool isPaused() const { return m_paused.load(); }
    bool isStopped() const { return m_stopped.load(); }
    void setPaused(bool on) { set(m_paused, on); }
    void setStopped(bool on) { set(m_stopped, on); }

    // Sleeps while paused; answers false when the work is to stop.
    bool proceed() const;

protected:
    void set(std::atomic<bool> &flag, bool on);
    // Sleeps until done() holds; done() is checked under the lock, and every
    // set() wakes the sleepers.
    void waitUntil(const std::function<bool()> &done) const;

private:
    std::atomic<bool> m_paused { false };
    std::atomic<bool> m_stopped { false };
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
};

// Walks a folder tree depth first, each folder's entries in name order.
// Hidden entries (a name starting with ".") are skipped, symbolic links
// are listed but never followed, a folder named "*.photoslibrary" is
// listed but not entered, and entries that cannot be read are passed over.
namespace FileWalk {

enum class Outcome { Finished, Stopped, Unreadable };

// Calls onEntry with the absolute path of every entry below folder, folders
// included. Before each entry it waits while control is paused and ends
// with Stopped once control is stopped. Unreadable: the folder itself
// cannot be listed. An entry whose name is not valid UTF-8 (Linux allows
// any bytes) cannot be named by a QString: it is passed over, and given to
// onUndecodable with its path's bytes when that is set.
Outcome collect(const QString &folder, const WalkControl *control,
    const std::function<void(const QString &path)> &onEntry,
    const std::function<void(const QByteArray &path)> &onUndecodable = {});

// A path's bytes as readable text: printable ASCII as it is, a backslash
// doubled, every other byte as \xNN.
QString escapedPath(const QByteArray &path);

} // namespace FileWalk
} // namespace platform
