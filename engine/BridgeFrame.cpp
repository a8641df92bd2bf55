#include "engine/BridgeFrame.h"

#include "engine/ExtendedXmp.h"
#include "engine/FileReplace.h"
#include "engine/PhotoshopResources.h"
#include "engine/PgfUserData.h"
#include "platform/Console.h"

#include <QFile>
#include <QFileInfo>

#include <exiv2/exiv2.hpp>
#include <exiv2/webpimage.hpp>

#include <algorithm>
#include <utility>
#include <array>
#include <vector>

namespace engine::bridge {

namespace {

// The formats behind the supported file extensions, as Exiv2 detects them
// from the content (every TIFF-based raw format is detected as TIFF).
constexpr std::array editableTypes {
    Exiv2::ImageType::jpeg,
    Exiv2::ImageType::exv,
    Exiv2::ImageType::cr2,
    Exiv2::ImageType::tiff,
    Exiv2::ImageType::webp,
    Exiv2::ImageType::orf,
    Exiv2::ImageType::png,
    Exiv2::ImageType::pgf,
    Exiv2::ImageType::psd,
    Exiv2::ImageType::jp2,
};

bool isEditable(int type)
{
    return std::find(editableTypes.begin(), editableTypes.end(), type) != editableTypes.end();
}

std::string typeName(int type)
{
    switch (type) {
    case Exiv2::ImageType::eps:
        return "EPS";
    case Exiv2::ImageType::bmff:
        return "BMFF";
    case Exiv2::ImageType::crw:
        return "CRW";
    case Exiv2::ImageType::mrw:
        return "MRW";
    case Exiv2::ImageType::raf:
        return "RAF";
    case Exiv2::ImageType::rw2:
        return "RW2";
    case Exiv2::ImageType::xmp:
        return "XMP sidecar";
    case Exiv2::ImageType::gif:
        return "GIF";
    case Exiv2::ImageType::bmp:
        return "BMP";
    case Exiv2::ImageType::tga:
        return "TGA";
    default:
        return "these";
    }
}

// A path that exists but is no regular file (a folder, a pipe, a device)
// would make the library read something else or wait for ever.
void requireRegularFile(const QString &path, const std::string &bytes)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw Exiv2::Error(Exiv2::kerDataSourceOpenFailed, bytes, "Not a regular file");
}

Exiv2::Image::AutoPtr openIo(Exiv2::BasicIo::AutoPtr io, const std::string &bytes)
{
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(io);
    if (image.get() == nullptr)
        throw Exiv2::Error(Exiv2::kerFileContainsUnknownImageType, bytes);
    image->readMetadata();
    return image;
}

} // namespace

void reportExiv2Error(const Exiv2::AnyError &error)
{
    platform::Console::err(QStringLiteral("*** error exiv2 exception '") + textFromBytes(error.what())
        + QStringLiteral("' ***"));
}

void reportOtherError()
{
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

Exiv2::Image::AutoPtr openForReading(const QString &path)
{
    const std::string bytes = pathBytes(path);
    requireRegularFile(path, bytes);
    return openIo(Exiv2::BasicIo::AutoPtr(new Exiv2::FileIo(bytes)), bytes);
}

Exiv2::Image::AutoPtr openForEditing(const QString &path)
{
    const std::string bytes = pathBytes(path);
    requireRegularFile(path, bytes);

    Exiv2::FileIo file(bytes);
    if (file.open("rb") != 0)
        throw Exiv2::Error(Exiv2::kerDataSourceOpenFailed, bytes, Exiv2::strError());
    Exiv2::BasicIo::AutoPtr memory(new Exiv2::MemIo);
    std::vector<Exiv2::byte> chunk(1 << 20);
    for (;;) {
        const long got = file.read(chunk.data(), static_cast<long>(chunk.size()));
        if (got <= 0)
            break;
        if (memory->write(chunk.data(), got) != got)
            throw Exiv2::Error(Exiv2::kerMallocFailed);
    }
    if (file.error())
        throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
    file.close();

    const int type = Exiv2::ImageFactory::getType(*memory);
    if (type == Exiv2::ImageType::none)
        throw Exiv2::Error(Exiv2::kerFileContainsUnknownImageType, bytes);
    if (!isEditable(type))
        throw Exiv2::Error(Exiv2::kerWritingImageFormatUnsupported, typeName(type));
    return openIo(memory, bytes);
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
    Exiv2::Image::AutoPtr written = Exiv2::ImageFactory::open(data, size);
    written->readMetadata();
    if (check)
        check(*written);

    const QString failure = replaceFileContents(path, reinterpret_cast<const char *>(data), size);
    io.munmap();
    if (!failure.isEmpty())
        throw Exiv2::Error(Exiv2::kerErrorMessage, failure.toStdString());
}

} // namespace engine::bridge
