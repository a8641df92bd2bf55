// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SupportedImages.h"

#include "platform/Exiv2Setup.h"

#include <exiv2/error.hpp>
#include <exiv2/exiv2.hpp>
#include <exiv2/matroskavideo.hpp>
#include <exiv2/quicktimevideo.hpp>
#include <exiv2/riffvideo.hpp>
#include <exiv2/webpimage.hpp>

#include <algorithm>
#include <array>

namespace platform::SupportedImages {

namespace {

// The library's number for ASF, whose header does not build on its own.
constexpr int asfType = 24;

constexpr std::array supportedTypes {
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
    case Exiv2::ImageType::qtime:
        return "QuickTime";
    case Exiv2::ImageType::riff:
        return "RIFF";
    case Exiv2::ImageType::mkv:
        return "Matroska";
    case asfType:
        return "ASF";
    default:
        return "these";
    }
}

[[noreturn]] void refuse(int type, const std::string &name, Use use)
{
    if (type == Exiv2::ImageType::none)
        throw Exiv2::Error(Exiv2::kerFileContainsUnknownImageType, name);
    if (use == Use::Writing)
        throw Exiv2::Error(Exiv2::kerWritingImageFormatUnsupported, typeName(type));
    throw Exiv2::Error(Exiv2::kerUnsupportedImageType, typeName(type));
}

} // namespace

bool isSupported(int exiv2ImageType)
{
    return std::find(supportedTypes.begin(), supportedTypes.end(), exiv2ImageType) != supportedTypes.end();
}

int requireSupported(Exiv2::BasicIo &io, const std::string &name, Use use)
{
    initializeExiv2();
    // Detection reads a few bytes of magic per format; it parses nothing.
    const int type = Exiv2::ImageFactory::getType(io);
    if (!isSupported(type))
        refuse(type, name, use);
    return type;
}

Exiv2::Image::AutoPtr open(Exiv2::BasicIo::AutoPtr io, const std::string &name, Use use)
{
    initializeExiv2();
    // The library detects the type as requireSupported does and makes an
    // image of it without parsing anything yet: the type is checked before
    // anything else reads the file, with one detection rather than two.
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(io);
    if (image.get() == nullptr)
        refuse(Exiv2::ImageType::none, name, use);
    if (!isSupported(image->imageType()))
        refuse(image->imageType(), name, use);
    return image;
}

OpenedFile openFile(const QString &path, const std::string &name, Use use)
{
    QString reason;
    std::optional<RegularFile> file = RegularFile::open(path, &reason);
    if (!file)
        throw Exiv2::Error(Exiv2::kerDataSourceOpenFailed, name, reason.toStdString());
    Exiv2::BasicIo::AutoPtr io(new Exiv2::FileIo(file->reopenPath().toStdString()));
    Exiv2::Image::AutoPtr image = open(std::move(io), name, use);
    return OpenedFile(std::move(*file), image);
}

} // namespace platform::SupportedImages
