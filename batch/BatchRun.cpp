// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/BatchRun.h"

#include "batch/FileValues.h"
#include "common/AppSettings.h"
#include "common/Globals.h"
#include "engine/FileInfo.h"
#include "engine/FileProperties.h"
#include "engine/check/WholeFileCheck.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/FileWalk.h"

#include <QHash>

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The most a thumbnail on the progress sheet shows.
constexpr int ThumbnailSide = 100;

// The progress sheet's picture of a file: the small thumbnail in its Exif
// data where it has one, else the picture itself, decoded scaled down.
QImage progressThumbnail(const QString &path)
{
    const QSize side(ThumbnailSide, ThumbnailSide);
    const QImage embedded = exifThumbnail(path, side);
    return embedded.isNull() ? thumbnail(path, side) : embedded;
}

std::optional<BatchFile::Dates> datesOf(const FileInfo &file)
{
    if (!file.metadata)
        return std::nullopt;
    BatchFile::Dates dates;
    for (int i = 0; i < dateRuleCount; ++i)
        dates[std::size_t(i)] = file.metadata->date(dateRules[std::size_t(i)].field);
    return dates;
}

// The file's own dates as a record for the date rules; none when the file
// had no metadata.
std::optional<Metadata> ownDates(const BatchFile &file)
{
    if (!file.dates)
        return std::nullopt;
    Metadata own;
    own.setDateOffsets(file.offsets);
    for (int i = 0; i < dateRuleCount; ++i) {
        if (const auto &date = (*file.dates)[std::size_t(i)])
            own.setValue(dateRules[std::size_t(i)].field, *date);
    }
    return own;
}

} // namespace

BatchRequest BatchRequest::take(EditingOptions option, const Metadata &metadata,
    const CleanMetadata &cleanOptions, const std::optional<QUrl> &destinationURL, bool isKeepSourceFolderPath)
{
    BatchRequest request;
    request.option = option;
    request.metadata = metadata;
    for (int i = 0; i < dateRuleCount; ++i) {
        const auto rule = DateRule(i);
        request.metadata.setDateTime(rule, std::make_shared<DateTime>(*metadata.dateTime(rule)));
    }
    request.cleanOptions = cleanOptions;
    request.destinationURL = destinationURL;
    request.isKeepSourceFolderPath = isKeepSourceFolderPath;
    request.rule = loadRenameSettings();
    request.isEditSystemAttributeDate = ::isEditSystemAttributeDate();
    for (const std::shared_ptr<FileInfo> &file : displayedFiles()) {
        if (!file || !file->isMark)
            continue;
        BatchFile entry;
        if (const QString path = file->path(); !path.isEmpty())
            entry.path = path;
        entry.isPhotoLibrary = file->isPhotoLibrary;
        entry.dates = datesOf(*file);
        if (file->metadata)
            entry.offsets = file->metadata->dateOffsets();
        entry.names = NameSources::of(*file, option == EditingOptions::cleanMetadata ? nullptr : &metadata);
        request.files.append(std::move(entry));
    }
    return request;
}

struct BatchRun::Claim
{
    qint64 index = 0;
    const BatchFile *file = nullptr;
    // Why the work cannot even begin; empty when it can.
    QString failure;
    std::optional<RenamedCopies::Pending> copy;
    bool wantsThumbnail = false;
};

// How the work on one file ended: edited, with what it did not get, or not,
// and why.
struct BatchRun::Outcome
{
    std::optional<QString> failure;
    Shortfalls shortfalls;
};

// What the workers share: the next file to take, and the files done but
// not yet reported because one before them is still in work.
struct BatchRun::Progress
{
    std::mutex taking;
    qint64 next = 0;
    bool ended = false;
    std::optional<qint64> lastThumbnailMs;

    std::mutex reporting;
    qint64 reported = 0;
    QHash<qint64, Outcome> done;
    BatchCounts counts;
};

BatchRun::BatchRun(BatchRequest request, int workers)
    : m_request(std::move(request))
    , m_workers(std::max(1, workers))
    , m_bridge(engine::check::refusal)
{
    if (!m_request.isCopying())
        return;
    const QString folder = m_request.destinationURL->toLocalFile();
    if (!folder.isEmpty())
        m_copies.emplace(folder, m_request.rule);
}

BatchCounts BatchRun::run(const platform::WalkControl &control, const BatchEvents &events)
{
    Progress progress;
    progress.counts.total = m_request.files.size();
    if (events.started)
        events.started(progress.counts.total);
    {
        std::vector<std::jthread> helpers;
        const qint64 withPath = std::count_if(m_request.files.cbegin(), m_request.files.cend(),
            [](const BatchFile &file) { return file.path.has_value(); });
        for (qint64 i = 1; i < std::min<qint64>(m_workers, withPath); ++i)
            helpers.emplace_back([&] { workOn(control, events, progress); });
        workOn(control, events, progress);
    }
    return progress.counts;
}

void BatchRun::workOn(const platform::WalkControl &control, const BatchEvents &events, Progress &progress)
{
    const qint64 total = progress.counts.total;
    for (;;) {
        std::optional<Claim> claim = claimNext(control, events, progress);
        if (!claim)
            return;
        const qint64 index = claim->index;
        Outcome outcome = processFile(*claim, events);
        // A copy that did not take its name is gone before the file counts.
        claim.reset();

        std::lock_guard lock(progress.reporting);
        progress.done.insert(index, std::move(outcome));
        for (;;) {
            qint64 &i = progress.reported;
            while (i < total && !m_request.files.at(i).path)
                ++i;
            const auto found = progress.done.find(i);
            if (found == progress.done.end())
                break;
            BatchCounts &counts = progress.counts;
            const QString &path = *m_request.files.at(i).path;
            if (found->failure) {
                counts.failures.append({ path, *found->failure });
            } else {
                ++counts.edited;
                if (!found->shortfalls.isEmpty())
                    counts.incomplete.append({ path, found->shortfalls });
            }
            ++counts.processed;
            progress.done.erase(found);
            if (events.progressed)
                events.progressed(double(i) / double(total) * 100.0);
            ++i;
        }
    }
}

std::optional<BatchRun::Claim> BatchRun::claimNext(
    const platform::WalkControl &control, const BatchEvents &events, Progress &progress)
{
    std::lock_guard lock(progress.taking);
    const qint64 total = m_request.files.size();
    while (!progress.ended && progress.next < total && !m_request.files.at(progress.next).path)
        ++progress.next;
    if (progress.ended || progress.next >= total || !control.proceed()) {
        progress.ended = true;
        return std::nullopt;
    }
    Claim claim;
    claim.index = progress.next++;
    claim.file = &m_request.files.at(claim.index);
    const QString &path = *claim.file->path;
    if (events.beforeFile)
        events.beforeFile(claim.index);

    if (!m_request.isCopying()) {
        if (claim.file->isPhotoLibrary)
            claim.failure = QStringLiteral("a photo library's own files are never changed");
    } else if (!m_copies || !m_copies->isOpen()) {
        claim.failure = QStringLiteral("no copy made, %1 is not a folder that can be opened")
                            .arg(m_request.destinationURL->toString(QUrl::PreferLocalFile));
    } else {
        // The copy's name and counter, in batch order.
        if (std::optional<RenamedCopies::Pending> copy
            = m_copies->begin(path, claim.file->names, &claim.failure))
            claim.copy.emplace(std::move(*copy));
    }
    // Only the file the sheet shows gets a thumbnail, at most so often.
    const qint64 now = platform::Clock::monotonicMs();
    if (events.thumbnailMade
        && (!progress.lastThumbnailMs || now - *progress.lastThumbnailMs >= ThumbnailIntervalMs)) {
        progress.lastThumbnailMs = now;
        claim.wantsThumbnail = true;
    }
    if (events.fileStarted)
        events.fileStarted(claim.index, path);
    return claim;
}

BatchRun::Outcome BatchRun::processFile(Claim &claim, const BatchEvents &events)
{
    const QString &path = *claim.file->path;
    // Failures before the bridge is called are printed here, the bridge's
    // by the bridge.
    const auto failed = [&](const QString &reason) {
        platform::Console::err(path + QStringLiteral(": ") + reason);
        return Outcome { reason, {} };
    };
    if (claim.wantsThumbnail)
        events.thumbnailMade(claim.index, claim.failure.isEmpty() ? progressThumbnail(path) : QImage());
    if (!claim.failure.isEmpty())
        return failed(claim.failure);

    const std::optional<Metadata> own = ownDates(*claim.file);
    const Metadata *fileDates = own ? &*own : nullptr;
    const Metadata &edited = m_request.metadata;
    const CleanMetadata &clean = m_request.cleanOptions;
    const bool isClean = m_request.option == EditingOptions::cleanMetadata;
    const bool isEmpty = m_request.option == EditingOptions::emptyOthers;

    // A copy is written once, straight into its temporary file; in place,
    // the written file replaces the original.
    MetadataOperation::Destination into;
    if (claim.copy)
        into = [&claim](const char *data, qint64 size) { return claim.copy->write(data, size); };
    Outcome outcome;
    if (!isClean && !isEmpty && !edited.isEdited()) {
        // Nothing edited, nothing to change: the file is not written at all.
        if (claim.copy) {
            if (const QString failure = claim.copy->copyContent(path); !failure.isEmpty())
                return failed(failure);
        }
    } else {
        const bool done = isClean ? m_bridge.clearMetadata(path, clean.exif, clean.orientation, clean.gps,
                              clean.comment, clean.iptc, clean.xmp, into, &outcome.shortfalls)
                                  : m_bridge.setMetadata(path, metadataDictionary(edited, fileDates), isEmpty,
                                      into, &outcome.shortfalls);
        if (!done)
            return { MetadataOperation::lastFailure(), {} };
    }

    const QString target = claim.copy ? claim.copy->path() : path;
    if (m_request.isEditSystemAttributeDate) {
        if (!isClean)
            updateFileSystemDates(target, edited, fileDates, isEmpty, false);
        else if (clean.exif)
            updateFileSystemDates(target, edited, fileDates, false, true);
    }
    QString failure;
    if (claim.copy && !m_copies->finish(*claim.copy, &failure))
        return failed(failure);
    return outcome;
}
