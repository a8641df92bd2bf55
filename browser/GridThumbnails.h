// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/GlobalQueue.h"

#include <QCache>
#include <QDateTime>
#include <QImage>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QObject;

// The thumbnails of the photo grid: made off the GUI thread on a queue of
// about one worker per core, and kept in a bounded cache (by path and
// modification time) so that reloads and scrolling back show them at once.
class GridThumbnails
{
public:
    // The longer side of a grid thumbnail, in pixels.
    static constexpr int MaxSide = 160;

    static GridThumbnails &shared();

    // Who asked, and whether the answer is still wanted: the asker moves its
    // current request on, and a job whose request is no longer current is
    // skipped before it decodes anything and dropped when it is done.
    struct Ticket
    {
        std::shared_ptr<std::atomic<quint64>> current = std::make_shared<std::atomic<quint64>>(0);
        quint64 next() { return ++*current; }
        bool isCurrent(quint64 request) const { return current->load() == request; }
    };

    // The cached thumbnail of the file as it is now; a null image stands
    // for a file that is no picture. GUI thread.
    std::optional<QImage> cached(const QString &path);

    // Makes the thumbnail of path for request; done runs on the GUI thread
    // with it (null when nothing decodes), unless context is gone or the
    // request is no longer the ticket's current one.
    void request(const QString &path, const Ticket &ticket, quint64 request, QObject *context,
        std::function<void(const QImage &)> done);

    // Blocks until the queued jobs have run (their answers may still wait
    // for the GUI thread). For tests.
    void waitForDone();
    void clearCache();

private:
    GridThumbnails();
    ~GridThumbnails();

    struct Entry
    {
        QDateTime modified;
        QImage image;
    };
    void store(const QString &path, const QDateTime &modified, const QImage &image);

    QCache<QString, Entry> m_cache;
    // Last, so it is gone (its jobs done) before the cache they fill.
    platform::WorkQueue m_queue;
};
