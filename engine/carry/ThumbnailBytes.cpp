// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/ThumbnailBytes.h"

#include <exiv2/exif.hpp>

namespace engine::bridge {

std::optional<std::span<const Exiv2::byte>> thumbnailBytes(
    std::span<const Exiv2::byte> file, const ExifInFile &exif)
{
    const std::optional<TiffDirectory> directory = exifDirectories(exif.tiff).thumbnail;
    const TiffEntry *offset = directory ? directory->find(thumbnailOffsetTag) : nullptr;
    const TiffEntry *length = directory ? directory->find(thumbnailLengthTag) : nullptr;
    // No offset or length, or none given, is no thumbnail.
    const uint32_t at = offset ? exif.tiff.number(*offset).value_or(0) : 0;
    const uint32_t size = length ? exif.tiff.number(*length).value_or(0) : 0;
    // An Exif read out of a PNG's text has no file around it.
    const std::span<const Exiv2::byte> around = exif.decoded ? exif.tiff.bytes() : file;
    const std::size_t start = exif.decoded ? 0 : exif.offsetInFile;
    if (at == 0 || size == 0 || start + uint64_t(at) + size > around.size())
        return std::nullopt;
    return around.subspan(start + at, size);
}

void keepThumbnailAsStored(Exiv2::Image &image, const ImageKind &kind)
{
    if (!kind.jpeg)
        return;
    Exiv2::ExifData &exif = image.exifData();
    const auto thumbnail = exif.findKey(Exiv2::ExifKey("Exif.Thumbnail.JPEGInterchangeFormat"));
    if (thumbnail == exif.end() || thumbnail->sizeDataArea() > 0)
        return;
    Exiv2::BasicIo &io = image.io();
    if (io.open() != 0)
        return;
    Exiv2::IoCloser closer(io);
    const std::span<const Exiv2::byte> file(io.mmap(false), std::size_t(io.size()));
    const std::optional<ExifInFile> found = exifInFile(file, false);
    if (const std::optional<std::span<const Exiv2::byte>> bytes
        = found ? thumbnailBytes(file, *found) : std::nullopt)
        thumbnail->setDataArea(bytes->data(), long(bytes->size()));
    io.munmap();
}

} // namespace engine::bridge
