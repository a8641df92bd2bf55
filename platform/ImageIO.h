// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace Exiv2 {
class Image;
}

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

// Whether Exiv2 may be handed the opened image to read its metadata: the
// engine counts, from the file's bytes, what the library would join, walk
// or copy, which for a hostile file of a megabyte can be gigabytes. Where
// it may not, nothing is read through it (no embedded preview, thumbnail
// or orientation): what Qt and OpenJPEG decode stands as it is.
using LibraryGuard = std::function<bool(const Exiv2::Image &)>;

// The stored pixel size of the file's main image (before any orientation
// is applied), read from the header: for TIFF and raw files the image Exiv2
// takes for the photograph, not the first one stored, as the exiv2 program
// reports it. Absent when the file is no image we can read.
std::optional<QSize> pixelSize(const QString &path, const LibraryGuard &mayRead);

// The picture with its orientation applied and its longer side at most
// maxSide (never enlarged); a null image when nothing decodes.
QImage thumbnail(const QString &path, int maxSide, const LibraryGuard &mayRead);

// The small picture most cameras embed in the Exif data, with the
// photograph's orientation applied and its longer side at most maxSide; a
// null image when the file has none that decodes. Far cheaper than
// thumbnail(), which decodes the picture itself.
QImage exifThumbnail(const QString &path, int maxSide, const LibraryGuard &mayRead);

// The whole picture with its orientation applied; a null image when
// nothing decodes.
QImage image(const QString &path, const LibraryGuard &mayRead);

} // namespace ImageIO
} // namespace platform
