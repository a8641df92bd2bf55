// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/DetailsWait.h"

#include "engine/FileInfo.h"
#include "engine/FileInfoEvents.h"
#include "platform/MainQueue.h"

#include <QSet>

#include <memory>

namespace {

bool awaitsDetails(const std::shared_ptr<FileInfo> &file)
{
    return file && file->url && !file->metadata;
}

} // namespace

void whenDetailsArrived(const FileInfoList &files, QObject *context, std::function<void()> then)
{
    // Each queued job holds its record until it has delivered it, so a
    // record's address names it for the whole wait.
    QSet<const FileInfo *> waiting;
    for (const auto &file : files) {
        if (awaitsDetails(file))
            waiting.insert(file.get());
    }
    if (waiting.isEmpty()) {
        then();
        return;
    }
    // Lives with the context, ends with the wait.
    auto *waiter = new QObject(context);
    QObject::connect(&FileInfoEvents::shared(), &FileInfoEvents::detailsArrived, waiter,
        [context, waiter, waiting = std::move(waiting), then = std::move(then)](
            const std::shared_ptr<FileInfo> &file) mutable {
            if (!waiting.remove(file.get()) || !waiting.isEmpty())
                return;
            // Once: the waiter is gone before the next arrival.
            QObject::disconnect(&FileInfoEvents::shared(), nullptr, waiter, nullptr);
            waiter->deleteLater();
            // After the other screens have taken in the last arrival.
            platform::MainQueue::post(context, std::move(then));
        });
}
