#include "batch/BatchRun.h"

#include "batch/FileValues.h"
#include "common/AppSettings.h"
#include "common/Globals.h"
#include "engine/FileInfo.h"
#include "engine/FileProperties.h"
#include "platform/Console.h"
#include "platform/FileWalk.h"


namespace {

// The most a thumbnail on the progress sheet shows.
const QSize ThumbnailSize(100, 100);

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
    for (int i = 0; i < dateRuleCount; ++i) {
        if (const auto &date = (*file.dates)[std::size_t(i)])
            own.setValue(dateRules[std::size_t(i)].field, *date);
    }
    return own;
}

} // namespace

BatchRequest BatchRequest::take(EditingOptions option, const Metadata &metadata, const FileInfo &fileInfo,
                                const CleanMetadata &cleanOptions, const std::optional<QUrl> &destinationURL,
                                bool isKeepSourceFolderPath)
{
    BatchRequest request;
    request.option = option;
    request.metadata = metadata;
    for (int i = 0; i < dateRuleCount; ++i) {
        const auto rule = DateRule(i);
        request.metadata.setDateTime(rule, std::make_shared<DateTime>(*metadata.dateTime(rule)));
    }
    request.nameSources = NameSources::of(request.metadata, fileInfo);
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
        request.files.append(std::move(entry));
    }
    return request;
}

BatchRun::BatchRun(BatchRequest request)
    : m_request(std::move(request))
{
    if (!m_request.isCopying())
        return;
    const QString folder = m_request.destinationURL->toLocalFile();
    if (!folder.isEmpty())
        m_copies.emplace(folder, m_request.rule, m_request.nameSources);
}

BatchCounts BatchRun::run(const platform::WalkControl &control, const BatchEvents &events)
{
    BatchCounts counts;
    counts.total = m_request.files.size();
    if (events.started)
        events.started(counts.total);
    for (qint64 i = 0; i < counts.total; ++i) {
        const BatchFile &file = m_request.files.at(i);
        if (!file.path)
            continue;
        if (!control.proceed())
            break;
        if (events.beforeFile)
            events.beforeFile(i);
        if (const std::optional<QString> failure = processFile(i, file, events))
            counts.failures.append({ *file.path, *failure });
        else
            ++counts.edited;
        ++counts.processed;
        if (events.progressed)
            events.progressed(double(i) / double(counts.total) * 100.0);
    }
    return counts;
}

std::optional<QString> BatchRun::processFile(qint64 index, const BatchFile &file, const BatchEvents &events)
{
    const QString &path = *file.path;
    // Failures before the bridge is called are printed here, the bridge's
    // by the bridge.
    const auto failed = [&](const QString &reason) {
        platform::Console::err(path + QStringLiteral(": ") + reason);
        return reason;
    };

    QString failure;
    if (!m_request.isCopying()) {
        if (file.isPhotoLibrary)
            failure = QStringLiteral("a photo library's own files are never changed");
    } else if (!m_copies || !m_copies->isOpen()) {
        failure = QStringLiteral("no copy made, %1 is not a folder that can be opened")
                      .arg(m_request.destinationURL->toString(QUrl::PreferLocalFile));
    }
    std::optional<RenamedCopies::Pending> copy
        = m_request.isCopying() && failure.isEmpty() ? m_copies->begin(path, &failure) : std::nullopt;
    const QString target = copy ? copy->path() : path;
    if (events.fileStarted)
        events.fileStarted(index, path, failure.isEmpty() ? thumbnail(target, ThumbnailSize) : QImage());
    if (!failure.isEmpty())
        return failed(failure);

    const std::optional<Metadata> own = ownDates(file);
    const Metadata *fileDates = own ? &*own : nullptr;
    const Metadata &edited = m_request.metadata;
    const CleanMetadata &clean = m_request.cleanOptions;
    const bool isClean = m_request.option == EditingOptions::cleanMetadata;
    const bool isEmpty = m_request.option == EditingOptions::emptyOthers;

    const bool done = isClean
        ? m_bridge.clearMetadata(target, clean.exif, clean.orientation, clean.gps, clean.comment, clean.iptc, clean.xmp)
        : m_bridge.setMetadata(target, metadataDictionary(edited, fileDates), isEmpty);
    if (!done)
        return MetadataOperation::lastFailure();

    if (m_request.isEditSystemAttributeDate) {
        if (!isClean)
            updateFileSystemDates(target, edited, fileDates, isEmpty, false);
        else if (clean.exif)
            updateFileSystemDates(target, edited, fileDates, false, true);
    }
    if (copy && !m_copies->finish(*copy, &failure))
        return failed(failure);
    return std::nullopt;
}
