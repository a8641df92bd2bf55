// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace platform {

// Pixel sizes, thumbnails and pictures of image files. Safe on any thread
// (QImage only). Qt decodes what it has a reader for, scaled while decoding
// where the format allows; OpenJPEG decodes JPEG 2000. Files neither can
// decode (raw, PSD, PGF), and raw files whose first TIFF directory Qt takes
// for a picture smaller than asked, use a preview Exiv2 finds embedded in
// the file: the smallest that covers the size asked, else the largest. Only
// regular files whose content is of a supported type (SupportedImages) are
// decoded at all.
namespace ImageIO {

// The stored pixel size of the file's main image (before any orientation
// is applied), read from the header: for TIFF and raw files the image Exiv2
// takes for the photograph, not the first one stored, as the exiv2 program
// reports it. Absent when the file is no image we can read.
std::optional<QSize> pixelSize(const QString &path);

// The picture with its orientation applied and its longer side at most
// maxSide (never enlarged); a null image when nothing decodes.
QImage thumbnail(const QString &path, int maxSide);

// The small picture most cameras embed in the Exif data, with the
// photograph's orientation applied and its longer side at most maxSide; a
// null image when the file has none that decodes. Far cheaper than
// thumbnail(), which decodes the picture itself.
QImage exifThumbnail(const QString &path, int maxSide);

// The whole picture with its orientation applied; a null image when
// nothing decodes.
QImage image(const QString &path);

} // namespace ImageIO
} // namespace platform
