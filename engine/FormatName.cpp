// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FormatName.h"

#include <QFileInfo>

#include <exiv2/cr2image.hpp>
#include <exiv2/jp2image.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/orfimage.hpp>
#include <exiv2/pgfimage.hpp>
#include <exiv2/pngimage.hpp>
#include <exiv2/psdimage.hpp>
#include <exiv2/tiffimage.hpp>
#include <exiv2/webpimage.hpp>

namespace engine::bridge {

QString formatName(const Exiv2::Image &image, const QString &path)
{
    switch (image.imageType()) {
    case Exiv2::ImageType::jpeg:
        return QStringLiteral("JPEG");
    case Exiv2::ImageType::png:
        return QStringLiteral("PNG");
    case Exiv2::ImageType::webp:
        return QStringLiteral("WebP");
    case Exiv2::ImageType::jp2:
        return QStringLiteral("JPEG 2000");
    case Exiv2::ImageType::psd:
        return QStringLiteral("Photoshop");
    case Exiv2::ImageType::pgf:
        return QStringLiteral("PGF");
    case Exiv2::ImageType::cr2:
        return QStringLiteral("CR2");
    case Exiv2::ImageType::orf:
        return QStringLiteral("ORF");
    default:
        break;
    }
    const QString suffix = QFileInfo(path).suffix().toUpper();
    if (image.imageType() == Exiv2::ImageType::tiff && (suffix.isEmpty() || suffix.startsWith(u"TIF")))
        return QStringLiteral("TIFF");
    return suffix.isEmpty() ? QStringLiteral("image") : suffix;
}

} // namespace engine::bridge
