#include "engine/BridgeFrame.h"

#include "engine/ExtendedXmp.h"
#include "engine/FileReplace.h"
#include "engine/MetadataOperation.h"
#include "engine/PgfUserData.h"
#include "engine/PhotoshopResources.h"
#include "platform/Console.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <exiv2/exiv2.hpp>

#include <cerrno>
#include <unistd.h>
#include <utility>
#include <vector>

namespace engine::bridge {

namespace {

using platform::SupportedImages::Use;

Exiv2::Image::AutoPtr readIn(Exiv2::Image::AutoPtr image)
{
    image->readMetadata();
    return image;
}

QString &lastFailureOnThisThread()
{
    thread_local QString failure;
    return failure;
}

} // namespace

void reportExiv2Error(const Exiv2::AnyError &error)
{
    lastFailureOnThisThread() = textFromBytes(error.what());
    platform::Console::err(QStringLiteral("*** error exiv2 exception '") + lastFailureOnThisThread()
        + QStringLiteral("' ***"));
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

platform::SupportedImages::OpenedFile openForReading(const QString &path)
{
    platform::SupportedImages::OpenedFile opened
        = platform::SupportedImages::openFile(path, pathBytes(path), Use::Reading);
    opened.image->readMetadata();
    return opened;
}

Exiv2::Image::AutoPtr openForEditing(const QString &path)
{
    const std::string bytes = pathBytes(path);
    QString reason;
    const std::optional<platform::RegularFile> file = platform::RegularFile::open(path, &reason);
    if (!file)
        throw Exiv2::Error(Exiv2::kerDataSourceOpenFailed, bytes, reason.toStdString());

    Exiv2::BasicIo::AutoPtr memory(new Exiv2::MemIo);
    std::vector<Exiv2::byte> chunk(1 << 20);
    for (;;) {
        const ssize_t got = ::read(file->descriptor(), chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
        if (got == 0)
            break;
        if (memory->write(chunk.data(), static_cast<long>(got)) != got)
            throw Exiv2::Error(Exiv2::kerMallocFailed);
    }
    return readIn(platform::SupportedImages::open(std::move(memory), bytes, Use::Writing));
}

bool supports(const Exiv2::Image &image, Exiv2::MetadataId group)
{
    return image.checkMode(group) != Exiv2::amNone;
}

void saveEdits(Exiv2::Image &image, const QString &path, IptcContent iptc, const WrittenCheck &check)
{
    const bool refreshDigest = iptc == IptcContent::Kept && hasCurrentIptcDigest(image);
    const QByteArray pgfMetadata = pgfUserData(image);
    image.writeMetadata();

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
        if (iptc == IptcContent::Changed)
            mend(withoutLeftoverIptc(data, size));
    }
    if (!pgfMetadata.isNull())
        mend(withoutStalePgfUserData(data, size, pgfMetadata));
    if (refreshDigest)
        refreshIptcDigest(data, size, image.imageType());

    // What the library wrote must read back before it may replace the file.
    const Exiv2::Image::AutoPtr written = readIn(platform::SupportedImages::open(
        Exiv2::BasicIo::AutoPtr(new Exiv2::MemIo(data, size)), pathBytes(path), Use::Writing));
    if (check)
        check(*written);

    const QString failure = replaceFileContents(path, reinterpret_cast<const char *>(data), size);
    io.munmap();
    if (!failure.isEmpty())
        throw Exiv2::Error(Exiv2::kerErrorMessage, failure.toStdString());
}

} // namespace engine::bridge

QString MetadataOperation::lastFailure()
{
    return engine::bridge::lastFailureOnThisThread();
}
