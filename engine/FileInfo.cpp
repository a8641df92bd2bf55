// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileInfo.h"

#include "engine/FileInfoEvents.h"
#include "engine/FileProperties.h"
#include "engine/Metadata.h"
#include "platform/GlobalQueue.h"
#include "platform/MainQueue.h"

#include <QFileInfo>

#include <mutex>
#include <utility>
#include <vector>

namespace {

// What the details job reads, handed to the GUI thread as a whole.
struct Details
{
    std::optional<QDateTime> creationDate;
    std::shared_ptr<Metadata> metadata;
};

QString lastComponent(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'), path.endsWith(QLatin1Char('/')) ? -2 : -1);
    QString name = path.mid(slash + 1);
    if (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    return name;
}

// The text after the last dot of a name; a leading dot starts no extension.
QString extensionOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.mid(dot + 1) : QString();
}

// Finished details wait here for the GUI thread, in the order their jobs
// finished; only the first of a burst wakes the GUI thread, which then
// assigns every record waiting, so thousands of records do not cost
// thousands of wake-ups.
struct Arrivals
{
    std::mutex mutex;
    std::vector<std::pair<std::shared_ptr<FileInfo>, Details>> waiting;
};

struct DetailsWork
{
    // First, so it outlives the queue's last job.
    Arrivals arrivals;
    // Only the XMP part of reading metadata is serial (the toolkit's
    // lock), so a few workers go faster than one; the shared background
    // queue stays free for the rest.
    platform::WorkQueue queue { 4 };
};

DetailsWork &detailsWork()
{
    static DetailsWork work;
    return work;
}

void assignArrived()
{
    std::vector<std::pair<std::shared_ptr<FileInfo>, Details>> arrived;
    {
        Arrivals &arrivals = detailsWork().arrivals;
        std::lock_guard lock(arrivals.mutex);
        arrived.swap(arrivals.waiting);
    }
    for (auto &[record, details] : arrived) {
        if (details.creationDate)
            record->creationDate = details.creationDate;
        record->metadata = std::move(details.metadata);
        emit FileInfoEvents::shared().detailsArrived(record);
    }
}

void deliver(std::shared_ptr<FileInfo> record, Details details)
{
    Arrivals &arrivals = detailsWork().arrivals;
    bool first = false;
    {
        std::lock_guard lock(arrivals.mutex);
        first = arrivals.waiting.empty();
        arrivals.waiting.emplace_back(std::move(record), std::move(details));
    }
    if (first)
        platform::MainQueue::post(assignArrived);
}

} // namespace

void FileInfo::waitForDetails()
{
    detailsWork().queue.waitForDone();
}

FileInfo::FileInfo()
    : metadata(std::make_shared<Metadata>())
{ }

std::shared_ptr<FileInfo> FileInfo::create(const QUrl &url)
{
    auto record = std::make_shared<FileInfo>(Passkey());
    record->fileName = lastComponent(url.path());
    record->url = url;
    record->initialize(url);
    return record;
}

std::shared_ptr<FileInfo> FileInfo::create(const PhotosLibraryItem &item, const QUrl &url)
{
    auto record = std::make_shared<FileInfo>(Passkey());
    record->fileName = item.filename;
    record->url = url;
    record->photosLibraryItem = std::make_shared<const PhotosLibraryItem>(item);
    record->isPhotoLibrary = true;
    record->initialize(url);
    return record;
}

QString FileInfo::path() const
{
    return url ? url->toLocalFile() : QString();
}

void FileInfo::initialize(const QUrl &fileUrl)
{
    const QString filePath = fileUrl.toLocalFile();
    if (const auto bytes = fileSizeBytes(filePath)) {
        sizeBytes = *bytes;
        size = formattedByteCount(*bytes);
    }
    if (const auto pixels = imagePixelSize(filePath)) {
        width = pixels->first;
        height = pixels->second;
    }
    // Display properties depend on the URL alone: set now, with the rest.
    setDisplayProperties(lastComponent(fileUrl.path()), fileUrl, photosLibraryItem.get());

    detailsWork().queue.run([self = shared_from_this(), filePath] {
        Details details;
        details.creationDate = fileCreationDate(filePath);
        details.metadata = std::make_shared<Metadata>(Metadata::fromFile(filePath));
        deliver(self, std::move(details));
    });
}

void FileInfo::setDisplayProperties(
    const QString &name, const QUrl &fileUrl, const PhotosLibraryItem *libraryItem)
{
    // A plain file's display name is its file name: one copy of the text.
    Name = name == fileName ? fileName : name;
    const QString filePath = fileUrl.path();
    FileType = extensionOf(lastComponent(filePath));
    FolderName = lastComponent(QFileInfo(filePath).path());
    LibraryName
        = libraryItem && libraryItem->libraryURL ? lastComponent(libraryItem->libraryURL->path()) : QString();
}
