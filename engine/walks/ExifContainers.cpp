// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/ExifContainers.h"

#include "engine/walks/ByteCursor.h"
#include "engine/walks/PhotoshopResources.h"
#include "engine/walks/PngChunks.h"
#include "engine/walks/RawProfile.h"

#include <exiv2/exiv2.hpp>
#include <exiv2/webpimage.hpp>

#include <memory>
#include <string_view>

namespace engine::bridge {

namespace {

constexpr std::string_view exifHeader("Exif\0\0", 6);
constexpr Exiv2::byte app1 = 0xe1;
constexpr uint16_t exifResource = 0x0422;

// The TIFF structure at offset in the file, after the "Exif" header some
// writers put first.
std::optional<ExifInFile> tiffAt(std::span<const Exiv2::byte> file, std::size_t offset, std::size_t size)
{
    std::span<const Exiv2::byte> bytes = file.subspan(offset, size);
    if (ByteCursor(bytes).startsWith(exifHeader)) {
        bytes = bytes.subspan(exifHeader.size());
        offset += exifHeader.size();
    }
    const std::optional<TiffBytes> tiff = TiffBytes::withHeader(bytes);
    return tiff ? std::optional<ExifInFile>(ExifInFile { *tiff, offset }) : std::nullopt;
}

// An Exiv2 sidecar: its mark, then segments as a JPEG's.
std::optional<ExifInFile> exvExif(std::span<const Exiv2::byte> file)
{
    constexpr std::string_view mark("\xff\x01"
                                    "Exiv2",
        7);
    ByteCursor cursor(file);
    if (!cursor.startsWith(mark))
        return std::nullopt;
    cursor.skip(mark.size());
    while (cursor.remaining() >= 4 && *cursor.byte() == 0xff) {
        const std::optional<uint8_t> marker = cursor.byte();
        const std::optional<uint16_t> length = cursor.uint16();
        if (!marker || !length || *length < 2 || cursor.remaining() < *length - 2u)
            return std::nullopt;
        const std::size_t payload = cursor.position();
        if (*marker == app1 && ByteCursor(file.subspan(payload, *length - 2u)).startsWith(exifHeader))
            return tiffAt(file, payload, *length - 2u);
        cursor.skip(*length - 2u);
    }
    return std::nullopt;
}

std::optional<ExifInFile> pngExif(std::span<const Exiv2::byte> file)
{
    std::optional<ExifInFile> found;
    std::optional<ExifInFile> fromText;
    forEachPngChunk(file.data(), long(file.size()), [&](const PngChunk &chunk) {
        if (!found && chunk.type == "eXIf")
            found = tiffAt(file, std::size_t(chunk.data.data() - reinterpret_cast<const char *>(file.data())),
                chunk.data.size());
        if (fromText || !chunk.isText() || chunk.keyword() != "Raw profile type exif")
            return;
        const std::optional<QByteArray> text = pngChunkText(chunk);
        const std::optional<RawProfile> profile = text ? rawProfileOf(*text) : std::nullopt;
        if (!profile)
            return;
        auto bytes = std::make_shared<std::vector<Exiv2::byte>>(profile->bytes.begin(), profile->bytes.end());
        fromText = tiffAt(*bytes, 0, bytes->size());
        if (fromText)
            fromText->decoded = std::move(bytes);
    });
    return found ? found : fromText;
}

std::optional<ExifInFile> webpExif(std::span<const Exiv2::byte> file)
{
    ByteCursor cursor(file);
    if (!cursor.startsWith("RIFF") || !cursor.skip(12))
        return std::nullopt;
    while (cursor.remaining() >= 8) {
        const std::optional<std::span<const Exiv2::byte>> type = cursor.bytes(4);
        const std::optional<uint32_t> size = cursor.uint32(Exiv2::littleEndian);
        if (!size || cursor.remaining() < *size)
            return std::nullopt;
        const std::size_t data = cursor.position();
        if (std::string_view(reinterpret_cast<const char *>(type->data()), 4) == "EXIF")
            return tiffAt(file, data, *size);
        // Chunks are padded to an even length.
        if (!cursor.skip(*size + (*size & 1u)))
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<ExifInFile> jpeg2000Exif(std::span<const Exiv2::byte> file)
{
    constexpr std::string_view exifUuid("JpgTiffExif->JP2", 16);
    ByteCursor cursor(file);
    while (cursor.remaining() >= 8) {
        const std::size_t start = cursor.position();
        const std::optional<uint32_t> length = cursor.uint32();
        const std::optional<std::span<const Exiv2::byte>> type = cursor.bytes(4);
        uint64_t size = *length;
        if (size == 1) {
            const std::optional<uint32_t> high = cursor.uint32();
            const std::optional<uint32_t> low = cursor.uint32();
            if (!low)
                return std::nullopt;
            size = (uint64_t(*high) << 32) | *low;
        } else if (size == 0) {
            size = file.size() - start;
        }
        const std::size_t header = cursor.position() - start;
        if (size < header || size - header > cursor.remaining())
            return std::nullopt;
        const std::size_t data = cursor.position();
        const std::size_t dataSize = std::size_t(size - header);
        if (std::string_view(reinterpret_cast<const char *>(type->data()), 4) == "uuid"
            && ByteCursor(file.subspan(data, dataSize)).startsWith(exifUuid))
            return tiffAt(file, data + exifUuid.size(), dataSize - exifUuid.size());
        cursor.skip(dataSize);
    }
    return std::nullopt;
}

std::optional<ExifInFile> photoshopExif(std::span<const Exiv2::byte> file)
{
    std::optional<ExifInFile> found;
    forEachResourceBlock(const_cast<Exiv2::byte *>(file.data()), long(file.size()), Exiv2::ImageType::psd,
        [&](Exiv2::byte *block, long blockSize) {
            const std::optional<ResourceData> resource
                = found ? std::nullopt : findResource(block, blockSize, 0, exifResource);
            if (resource)
                found = tiffAt(file, std::size_t(block - file.data()) + resource->start, resource->size);
        });
    return found;
}

} // namespace

std::optional<ExifInFile> exifOfImage(std::span<const Exiv2::byte> file, const ImageKind &kind)
{
    if (kind.tiffBased || kind.jpeg)
        return exifInFile(file, kind.tiffBased);
    switch (kind.imageType) {
    case Exiv2::ImageType::exv:
        return exvExif(file);
    case Exiv2::ImageType::png:
        return pngExif(file);
    case Exiv2::ImageType::webp:
        return webpExif(file);
    case Exiv2::ImageType::jp2:
        return jpeg2000Exif(file);
    case Exiv2::ImageType::psd:
        return photoshopExif(file);
    default:
        return std::nullopt;
    }
}

void exifBytesChanged(std::span<Exiv2::byte> file, const ImageKind &kind)
{
    if (kind.imageType != Exiv2::ImageType::png)
        return;
    forEachPngChunk(file.data(), long(file.size()), [&](const PngChunk &chunk) {
        if (chunk.type != "eXIf")
            return;
        const QByteArray typeAndData(
            reinterpret_cast<const char *>(file.data()) + chunk.at + 4, qsizetype(4 + chunk.data.size()));
        Exiv2::ul2Data(file.data() + chunk.end - 4, pngChunkCrc(typeAndData), Exiv2::bigEndian);
    });
}

void changeFirstDirectory(Exiv2::byte *written, long size, const ImageKind &kind,
    const std::function<bool(const FirstDirectoryInFile &found)> &change)
{
    const std::span<Exiv2::byte> file(written, std::size_t(std::max(size, 0L)));
    std::optional<ExifInFile> exif = exifOfImage(file, kind);
    std::optional<TiffDirectory> directory
        = exif && !exif->decoded ? exifDirectories(exif->tiff).image : std::nullopt;
    if (!directory)
        return;
    Exiv2::byte *structure = file.data() + exif->offsetInFile;
    if (change(FirstDirectoryInFile { std::move(*exif), std::move(*directory), structure }))
        exifBytesChanged(file, kind);
}

} // namespace engine::bridge
