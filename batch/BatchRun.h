// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/CleanMetadata.h"
#include "batch/NewFileName.h"
#include "batch/RenamedCopies.h"
#include "batch/Result.h"
#include "common/EditingOptions.h"
#include "engine/Metadata.h"
#include "engine/MetadataOperation.h"
#include "engine/Rename.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>
#include <QUrl>

#include <array>
#include <functional>
#include <optional>

class FileInfo;

namespace platform {
class WalkControl;
}

// One marked file as a batch took it at its start.
struct BatchFile
{
    using Dates = std::array<std::optional<QDateTime>, dateRuleCount>;

    // None for a record without a local file.
    std::optional<QString> path;
    bool isPhotoLibrary = false;
    // The file's own six dates in date-rule order, which its date rules
    // start from; none when its metadata had not been read yet. Their
    // offsets, which the new dates keep.
    std::optional<Dates> dates;
    DateOffsets offsets;
    // What its copy's name is made from.
    NameSources names;
};

// Everything one batch works from, taken on the GUI thread when it starts
// and afterwards read by the batch's own thread only.
struct BatchRequest
{
    EditingOptions option = EditingOptions::onlyModify;
    // The edited values, with date rules of their own, so that nothing the
    // screens change reaches a running batch.
    Metadata metadata;
    CleanMetadata cleanOptions;
    std::optional<QUrl> destinationURL;
    bool isKeepSourceFolderPath = false;
    Rename rule;
    bool isEditSystemAttributeDate = true;
    QList<BatchFile> files;

    // The main screen's choices with the marked files of the displayed
    // list in list order (with what each copy's name is made from), the
    // stored rename rule and the file-date setting. GUI thread only.
    static BatchRequest take(EditingOptions option, const Metadata &metadata,
        const CleanMetadata &cleanOptions, const std::optional<QUrl> &destinationURL,
        bool isKeepSourceFolderPath);

    // Copies go into the destination unless the files change in place.
    bool isCopying() const { return !isKeepSourceFolderPath && destinationURL.has_value(); }
};

// What a running batch reports, each from one of the batch's workers.
// Files start, and are reported done, in batch order.
struct BatchEvents
{
    // Before the first file.
    std::function<void(qint64 total)> started;
    // The work on the file at index begins: its own path.
    std::function<void(qint64 index, const QString &path)> fileStarted;
    // A thumbnail of the file at index, made before it is written, for at
    // most one file in BatchRun::ThumbnailIntervalMs (null when none
    // decodes).
    std::function<void(qint64 index, const QImage &thumbnail)> thumbnailMade;
    // A file is done, and all before it: index / total × 100, so the last
    // of n reports (n − 1) / n × 100.
    std::function<void(double percent)> progressed;
    // Between files, after the pause and stop checks, before the work on
    // the file at index. Tests act here at a known point of a batch.
    std::function<void(qint64 index)> beforeFile;
};

struct BatchCounts
{
    qint64 total = 0;
    // Files the work ran for, whether or not it succeeded.
    qint64 processed = 0;
    // Files whose write or clear succeeded.
    qint64 edited = 0;
    // The processed files that were not edited, in batch order.
    QList<FailedPhoto> failures;
    // The edited files that did not get all that was asked, in batch order.
    QList<IncompletePhoto> incomplete;

    bool operator==(const BatchCounts &) const = default;
};

// One batch on a few workers, the calling thread among them: each file is
// copied into the destination under a hidden temporary name (or changed in
// place), its edited values written or the chosen groups cleared, then its
// own modification date follows the edited date rule when the setting is
// on, and only then does a copy take its new name. Only the batch's own
// copy, or the file itself in place, is ever written. A file that fails
// keeps its date, leaves no copy, is printed to the console and listed
// with its reason; it still counts as processed. A file that was changed
// but did not get every value asked for is listed with what it lacks.
// Where nothing is to change (only the values edited are written, and none
// is edited), the file is not written: a copy is its source's bytes, and a
// file in place is left alone.
//
// Whatever the number of workers, files are taken in batch order: the
// pause and stop checks, the copy's name and counter and the start of the
// work happen for one file after another, and files are reported done in
// that order, so a batch gives the same names, values and counts on one
// worker as on several.
class BatchRun
{
public:
    // Exiv2 serialises its XMP parsing, and the disk takes only so many
    // writes at once: more workers gain nothing.
    static constexpr int DefaultWorkers = 4;
    static constexpr qint64 ThumbnailIntervalMs = 100;

    explicit BatchRun(BatchRequest request, int workers = DefaultWorkers);

    // Files without a path are passed over uncounted. control is asked
    // before each file: a paused batch waits, a stopped one takes no more
    // files; the files in work are finished either way.
    //
    // Returns when the batch is over. Never call it on a thread of Qt's
    // global pool: the other workers' thumbnails are scaled there, and on a
    // machine of one processor that thread is the pool's only one.
    BatchCounts run(const platform::WalkControl &control, const BatchEvents &events);

    const BatchRequest &request() const { return m_request; }

private:
    struct Claim;
    struct Outcome;
    struct Progress;

    // Takes the next file in batch order; none when there is none or the
    // batch is to stop.
    std::optional<Claim> claimNext(
        const platform::WalkControl &control, const BatchEvents &events, Progress &progress);
    Outcome processFile(Claim &claim, const BatchEvents &events);
    void workOn(const platform::WalkControl &control, const BatchEvents &events, Progress &progress);

    BatchRequest m_request;
    int m_workers;
    std::optional<RenamedCopies> m_copies;
    // Every written file passes the check of the whole file.
    MetadataOperation m_bridge;
};
