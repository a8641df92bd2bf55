// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/GridThumbnails.h"

#include "engine/FileProperties.h"
#include "platform/MainQueue.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QThread>

#include <algorithm>

namespace {

// Cache cost is counted in kilobytes: about 2,000 full-size grid thumbnails.
constexpr qsizetype CacheKilobytes = 200 * 1024;

QDateTime modificationTime(const QString &path)
{
    return QFileInfo(path).lastModified();
}

} // namespace

GridThumbnails &GridThumbnails::shared()
{
    static GridThumbnails thumbnails;
    return thumbnails;
}

GridThumbnails::GridThumbnails()
    : m_cache(CacheKilobytes)
    , m_queue(std::max(2, QThread::idealThreadCount()))
{ }

GridThumbnails::~GridThumbnails()
{
    m_queue.clear();
    m_queue.waitForDone();
}

std::optional<QImage> GridThumbnails::cached(const QString &path)
{
    const Entry *entry = m_cache.object(path);
    if (!entry || entry->modified != modificationTime(path))
        return std::nullopt;
    return entry->image;
}

void GridThumbnails::request(const QString &path, const Ticket &ticket, quint64 request, QObject *context,
    std::function<void(const QImage &)> done)
{
    m_queue.run([this, path, ticket, request, context = QPointer<QObject>(context), done = std::move(done)] {
        if (!ticket.isCurrent(request))
            return;
        const QDateTime modified = modificationTime(path);
        const QImage image = thumbnail(path, QSize(MaxSide, MaxSide));
        // Past the application's end nobody shows it.
        if (!QCoreApplication::instance())
            return;
        platform::MainQueue::post([this, path, modified, image, ticket, request, context, done] {
            store(path, modified, image);
            if (context && ticket.isCurrent(request))
                done(image);
        });
    });
}

void GridThumbnails::store(const QString &path, const QDateTime &modified, const QImage &image)
{
    const qsizetype kilobytes = std::max<qsizetype>(1, image.sizeInBytes() / 1024);
    m_cache.insert(path, new Entry { modified, image }, kilobytes);
}

void GridThumbnails::waitForDone()
{
    m_queue.waitForDone();
}

void GridThumbnails::clearCache()
{
    m_cache.clear();
}
