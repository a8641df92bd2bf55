// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BridgeFrame.h"

#include "engine/FileReplace.h"
#include "engine/ImageStructure.h"
#include "engine/MetadataOperation.h"
#include "engine/WrittenFileRequest.h"
#include "engine/carry/CameraDataCheck.h"
#include "engine/carry/CarriedStructures.h"
#include "engine/carry/ExtendedXmp.h"
#include "engine/carry/PgfUserData.h"
#include "engine/carry/PngExif.h"
#include "engine/walks/CameraSegments.h"
#include "engine/walks/JpegSegments.h"
#include "engine/walks/LibraryCost.h"
#include "engine/walks/PhotoshopResources.h"
#include "engine/walks/ThermalSegments.h"
#include "platform/Console.h"
#include "platform/RegularFile.h"
#include "platform/XmpToolkit.h"

#include <QFile>
#include <QFileInfo>

#include <exiv2/exiv2.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace engine::bridge {

namespace {

using platform::SupportedImages::Use;

// Some of the library's parsers and writers throw standard exceptions on
// damaged files (an overflow, a size no vector holds) instead of its own
// errors; the operation fails with their message all the same.
template <typename Step> void withTheLibrarysReason(const char *doing, Step &&step)
{
    try {
        step();
    } catch (const Exiv2::AnyError &) {
        throw;
    } catch (const std::exception &error) {
        throw Exiv2::Error(Exiv2::kerErrorMessage, std::string(doing) + ": " + error.what());
    }
}

// Why the library should not read the image's file, counted from its
// bytes; none where it reads them in time and memory in proportion to them.
std::optional<std::string> beyondTheLibrary(const Exiv2::Image &image, WalkBudget &budget)
{
    Exiv2::BasicIo &io = image.io();
    if (io.open() != 0)
        return std::nullopt;
    Exiv2::IoCloser closer(io);
    const std::optional<std::string> beyond = beyondTheLibrary(
        std::span<const Exiv2::byte>(io.mmap(), std::size_t(io.size())), imageKind(image), budget);
    io.munmap();
    return beyond;
}

// The file is handed to the library only where the library reads it in
// time and memory in proportion to its bytes.
void requireWithinTheLibrary(Exiv2::Image &image, WalkBudget &budget)
{
    if (const std::optional<std::string> beyond = beyondTheLibrary(image, budget))
        throw Exiv2::Error(Exiv2::kerErrorMessage, "the file is left unread: " + *beyond);
}

void readMetadataOf(Exiv2::Image &image, WalkBudget &budget)
{
    requireWithinTheLibrary(image, budget);
    withTheLibrarysReason(
        "the library could not read the file", [&] { platform::XmpToolkit::readMetadata(image); });
}

Exiv2::Image::AutoPtr readIn(Exiv2::Image::AutoPtr image, WalkBudget &budget)
{
    readMetadataOf(*image, budget);
    return image;
}

QString &lastFailureOnThisThread()
{
    thread_local QString failure;
    return failure;
}

} // namespace

PngTextEdit pngTextEdit(const Exiv2::Image &image, const SavedContent &content)
{
    PngTextEdit edit { content.taken, image.imageType() == Exiv2::ImageType::pgf, std::nullopt,
        content.pngWrite };
    edit.write.comment = content.comment;
    if (content.iptc != IptcContent::Kept)
        edit.iptc = image.iptcData();
    return edit;
}

void reportExiv2Error(const Exiv2::AnyError &error)
{
    lastFailureOnThisThread() = textFromBytes(error.what());
    platform::Console::err(
        QStringLiteral("*** error exiv2 exception '") + lastFailureOnThisThread() + QStringLiteral("' ***"));
}

void reportOtherError()
{
    lastFailureOnThisThread() = QStringLiteral("unexpected error");
    platform::Console::err(QStringLiteral("*** error exception ***"));
}

std::string pathBytes(const QString &path)
{
    return QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString();
}

QString textFromBytes(const std::string &bytes)
{
    const size_t end = bytes.find('\0');
    const QString text = QFile::decodeName(
        QByteArray(bytes.data(), static_cast<qsizetype>(end == std::string::npos ? bytes.size() : end)));
    return text.isNull() ? QStringLiteral("") : text;
}

bool libraryMayRead(const Exiv2::Image &image)
{
    WalkBudget budget = WalkBudget::forFile(std::size_t(image.io().size()));
    return !beyondTheLibrary(image, budget);
}

platform::SupportedImages::OpenedFile openForReading(const QString &path)
{
    platform::SupportedImages::OpenedFile opened
        = platform::SupportedImages::openFile(path, pathBytes(path), Use::Reading);
    WalkBudget budget = WalkBudget::forFile(opened.image->io().size());
    readMetadataOf(*opened.image, budget);
    return opened;
}

EditedImage openForEditing(const QString &path)
{
    const std::string name = pathBytes(path);
    QString reason;
    EditedImage edited { ReplaceableFile::open(path, &reason), nullptr, 0, nullptr, nullptr };
    if (!edited.file)
        throw Exiv2::Error(Exiv2::kerDataSourceOpenFailed, name, reason.toStdString());
    const int fd = edited.file->file().descriptor();
    struct stat st = {};
    if (::fstat(fd, &st) != 0)
        throw Exiv2::Error(Exiv2::kerFailedToReadImageData);

    // One byte more than the file holds, so that the read that finds the
    // end needs no second buffer; a file that grew meanwhile still fits.
    std::size_t capacity = std::size_t(st.st_size) + 1;
    edited.bytes = std::make_unique_for_overwrite<Exiv2::byte[]>(capacity);
    std::size_t size = 0;
    for (;;) {
        if (size == capacity) {
            auto larger = std::make_unique_for_overwrite<Exiv2::byte[]>(capacity * 2);
            std::memcpy(larger.get(), edited.bytes.get(), size);
            edited.bytes = std::move(larger);
            capacity *= 2;
        }
        const ssize_t got = ::read(fd, edited.bytes.get() + size, capacity - size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
        if (got == 0)
            break;
        size += std::size_t(got);
    }
    edited.size = long(size);
    edited.budget = std::make_unique<WalkBudget>(WalkBudget::forFile(size));
    // The library reads these bytes in place; what it writes goes to a
    // buffer of its own (a TIFF it may change in place: the bytes are ours).
    edited.image.reset(readIn(
        platform::SupportedImages::open(
            Exiv2::BasicIo::AutoPtr(new Exiv2::MemIo(edited.bytes.get(), long(size))), name, Use::Writing),
        *edited.budget)
                           .release());
    return edited;
}

void readFileBytes(const Exiv2::Image &image, const std::function<void(const Exiv2::byte *, long)> &read)
{
    Exiv2::BasicIo &io = image.io();
    if (io.open() != 0) {
        read(nullptr, 0);
        return;
    }
    Exiv2::IoCloser closer(io);
    read(io.mmap(), long(io.size()));
    io.munmap();
}

bool supports(const Exiv2::Image &image, Exiv2::MetadataId group)
{
    return image.checkMode(group) != Exiv2::amNone;
}

void saveEdits(const EditedImage &edited, const QString &path, const SavedContent &content,
    const MetadataOperation::WrittenFileCheck &wholeFile, const WrittenCheck &check,
    const MetadataOperation::Destination &into)
{
    if (!wholeFile)
        throw Exiv2::Error(
            Exiv2::kerErrorMessage, "no check of the written file is set up, so it is not written");
    const IptcContent iptc = content.iptc;
    Exiv2::Image &image = *edited.image;
    const check::WriteRequest request = writtenFileRequest(image, content);
    // The library may write a TIFF's new values into the very bytes it
    // read: the check compares with the original as it was.
    const ImageKind kind = imageKind(image);
    const std::vector<Exiv2::byte> unwritten = kind.tiffBased
        ? std::vector<Exiv2::byte>(edited.bytes.get(), edited.bytes.get() + edited.size)
        : std::vector<Exiv2::byte>();
    const bool refreshDigest = iptc != IptcContent::Changed && hasCurrentIptcDigest(image);
    const QByteArray pgfMetadata = pgfUserData(image);
    WalkBudget &budget = *edited.budget;
    CarriedStructures carried = CarriedStructures::keep(image, kind, budget);
    withTheLibrarysReason(
        "the library could not write the file", [&] { platform::XmpToolkit::writeMetadata(image); });

    Exiv2::BasicIo &io = image.io();
    if (io.open() != 0)
        throw Exiv2::Error(Exiv2::kerImageWriteFailed);
    Exiv2::IoCloser closer(io);
    Exiv2::byte *data = io.mmap(true);
    long size = static_cast<long>(io.size());
    // What the library leaves behind that it should not have.
    QByteArray mended;
    const auto mend = [&](QByteArray result) {
        if (result.isNull())
            return;
        mended = std::move(result);
        data = reinterpret_cast<Exiv2::byte *>(mended.data());
        size = static_cast<long>(mended.size());
    };
    if (image.imageType() == Exiv2::ImageType::jpeg) {
        mend(withoutOrphanedExtendedXmp(data, size, std::as_const(image).xmpPacket()));
        if (iptc != IptcContent::Kept)
            mend(withoutLeftoverIptc(data, size));
        else if (!content.taken.iptc)
            mend(withStoredPhotoshopSegments(
                std::span<const Exiv2::byte>(edited.bytes.get(), std::size_t(edited.size)), data, size));
        if (content.taken.exif)
            mend(withoutCameraSegments(data, size, budget));
        // The thermal segments stay with the Exif, for thermal software;
        // their position goes with the GPS, and with the Exif they hold it in.
        if (content.taken.gps || content.taken.exif)
            mend(withoutThermalPosition(data, size, budget));
        if (content.taken.comment)
            mend(withoutJpegComments(data, size));
        else if (content.comment)
            mend(withoutJpegComments(data, size, content.comment->toUtf8().toStdString()));
    }
    if (!pgfMetadata.isNull())
        mend(withoutStalePgfUserData(data, size, pgfMetadata));
    if (image.imageType() == Exiv2::ImageType::png)
        mend(finishedPng(data, size, image.exifData(), image.byteOrder(), pngTextEdit(image, content)));
    const std::span<Exiv2::byte> original(edited.bytes.get(), std::size_t(edited.size));
    mend(carried.place(original, data, size, budget));
    if (refreshDigest)
        refreshIptcDigest(data, size, image.imageType());

    // What the library wrote must read back before it may replace the file.
    const Exiv2::Image::AutoPtr written
        = readIn(platform::SupportedImages::open(
                     Exiv2::BasicIo::AutoPtr(new Exiv2::MemIo(data, size)), pathBytes(path), Use::Writing),
            budget);
    checkCameraData(std::span<const Exiv2::byte>(data, std::size_t(size)), kind, carried.makerNote(),
        written->exifData(), budget);
    if (const std::optional<std::string> refusal
        = wholeFile(kind.tiffBased ? std::span<const Exiv2::byte>(unwritten) : original,
            std::span<const Exiv2::byte>(data, std::size_t(size)), request))
        throw Exiv2::Error(Exiv2::kerErrorMessage, *refusal);
    if (check)
        check(*written);

    const char *bytes = reinterpret_cast<const char *>(data);
    const QString failure = into ? into(bytes, size) : replaceFileContents(*edited.file, path, bytes, size);
    io.munmap();
    if (!failure.isEmpty())
        throw Exiv2::Error(Exiv2::kerErrorMessage, failure.toStdString());
}

void keepAsItIs(Exiv2::Image &image, const MetadataOperation::Destination &into)
{
    if (!into)
        return;
    Exiv2::BasicIo &io = image.io();
    if (io.open() != 0)
        throw Exiv2::Error(Exiv2::kerImageWriteFailed);
    Exiv2::IoCloser closer(io);
    const char *bytes = reinterpret_cast<const char *>(io.mmap(false));
    const QString failure = into(bytes, qint64(io.size()));
    io.munmap();
    if (!failure.isEmpty())
        throw Exiv2::Error(Exiv2::kerErrorMessage, failure.toStdString());
}

} // namespace engine::bridge

QString MetadataOperation::lastFailure()
{
    return engine::bridge::lastFailureOnThisThread();
}
