#include "batch/BatchRun.h"

#include "batch/FileValues.h"
#include "common/AppSettings.h"
#include "common/Globals.h"
#include "engine/FileInfo.h"
#include "engine/FileProperties.h"
#include "platform/Console.h"
#include "platform/FileWalk.h"

#include <QFileInfo>

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
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
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
        if (processFile(i, file, events))
            ++counts.edited;
        ++counts.processed;
        if (events.progressed)
            events.progressed(double(i) / double(counts.total) * 100.0);
    }
    return counts;
}

std::optional<QString> BatchRun::targetOf(const BatchFile &file)
{
    const QString &path = *file.path;
    if (!m_request.isCopying()) {
        if (file.isPhotoLibrary) {
            platform::Console::err(path + QStringLiteral(": a photo library's own files are never changed"));
            return std::nullopt;
        }
        return path;
    }
    if (!m_copies) {
        platform::Console::err(QStringLiteral("%1: no copy made, %2 is not a folder")
                                   .arg(path, m_request.destinationURL->toString(QUrl::PreferLocalFile)));
        return std::nullopt;
    }
    return m_copies->copy(path);
}

bool BatchRun::processFile(qint64 index, const BatchFile &file, const BatchEvents &events)
{
    const std::optional<QString> target = targetOf(file);
    if (events.fileStarted)
        events.fileStarted(index, *file.path, target ? thumbnail(*target, ThumbnailSize) : QImage());
    if (!target)
        return false;

    const std::optional<Metadata> own = ownDates(file);
    const Metadata *fileDates = own ? &*own : nullptr;
    const Metadata &edited = m_request.metadata;
    const CleanMetadata &clean = m_request.cleanOptions;
    const bool isClean = m_request.option == EditingOptions::cleanMetadata;
    const bool isEmpty = m_request.option == EditingOptions::emptyOthers;

    const bool done = isClean
        ? m_bridge.clearMetadata(*target, clean.exif, clean.orientation, clean.gps, clean.comment, clean.iptc, clean.xmp)
        : m_bridge.setMetadata(*target, metadataDictionary(edited, fileDates), isEmpty);

    if (m_request.isEditSystemAttributeDate) {
        if (!isClean)
            updateFileSystemDates(*target, edited, fileDates, isEmpty, false);
        else if (clean.exif)
            updateFileSystemDates(*target, edited, fileDates, false, true);
    }
    return done;
}
