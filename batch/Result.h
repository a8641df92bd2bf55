// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/MetadataOperation.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// A marked file that the batch could not change, and why.
struct FailedPhoto
{
    QString path;
    QString reason;

    bool operator==(const FailedPhoto &) const = default;
};

// A marked file that the batch changed, but that does not hold every value
// asked for, or still holds some of what its clear was asked to take.
struct IncompletePhoto
{
    QString path;
    Shortfalls shortfalls;

    bool operator==(const IncompletePhoto &) const = default;
};

// What one finished batch hands to the result screen.
struct Result
{
    // Files the per-file work ran for, whether or not it succeeded.
    qint64 processedPhotos = 0;
    // Marked files when the batch started.
    qint64 totalPhotos = 0;
    // The batch's elapsed-time counter at the end (it starts at 1).
    double timeElapsedInSeconds = 0;
    // Files whose write or clear succeeded.
    qint64 totalEditedPhotos = 0;
    // Marked files the work did not run for: no URL, or after a stop.
    qint64 totalSkippedPhotos = 0;
    // The folder the copies went to; none when the files changed in place.
    std::optional<QUrl> destinationURL;
    bool isKeepSourceFolderPath = false;
    // The processed files that were not edited, in batch order: processed
    // minus edited of them.
    QList<FailedPhoto> failedPhotos;
    // The edited files that did not get all that was asked, in batch order.
    QList<IncompletePhoto> incompletePhotos;

    bool operator==(const Result &) const = default;
};

// The last finished batch: none until the first one ends, replaced by each
// batch end. Written and read on the GUI thread only.
std::optional<Result> &batchResult();
