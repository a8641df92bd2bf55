// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PngExif.h"

#include "engine/ByteCursor.h"

#include <optional>
#include <span>
#include <string_view>

namespace engine::bridge {

namespace {

constexpr std::size_t signatureSize = 8;
constexpr char rawProfile[] = "Raw profile type exif";

void appendBigEndian32(QByteArray &bytes, quint32 n)
{
    bytes.append(char(n >> 24))
        .append(char(n >> 16 & 0xff))
        .append(char(n >> 8 & 0xff))
        .append(char(n & 0xff));
}

// The chunk check sum the PNG standard gives (ISO 3309).
quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffff;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

bool isRawExifProfile(const ByteCursor &type, const ByteCursor &chunkData)
{
    const bool text = type.startsWith("tEXt") || type.startsWith("zTXt") || type.startsWith("iTXt");
    return text && chunkData.startsWith(std::string_view(rawProfile, sizeof rawProfile));
}

} // namespace

QByteArray withExifChunk(
    const Exiv2::byte *data, long size, const Exiv2::ExifData &exif, Exiv2::ByteOrder order)
{
    ByteCursor chunks(data, size);
    if (!chunks.startsWith(std::string_view("\x89PNG\r\n\x1a\n", signatureSize)))
        return QByteArray();
    chunks.skip(signatureSize);
    // Each chunk: its data's length, its type, its data and its check sum.
    while (chunks.remaining() >= 12) {
        const long at = long(chunks.position());
        const uint32_t length = *chunks.uint32();
        const ByteCursor type(*chunks.bytes(4));
        const std::optional<std::span<const Exiv2::byte>> chunkData = chunks.bytes(length);
        if (!chunkData || !chunks.skip(4))
            return QByteArray();
        if (!isRawExifProfile(type, ByteCursor(*chunkData)))
            continue;
        const long next = long(chunks.position());
        Exiv2::Blob tiff;
        Exiv2::ExifParser::encode(tiff, order == Exiv2::invalidByteOrder ? Exiv2::littleEndian : order, exif);
        QByteArray chunk("eXIf");
        chunk.append(reinterpret_cast<const char *>(tiff.data()), qsizetype(tiff.size()));
        QByteArray png(reinterpret_cast<const char *>(data), at);
        appendBigEndian32(png, quint32(tiff.size()));
        png.append(chunk);
        appendBigEndian32(png, crc32(chunk));
        png.append(reinterpret_cast<const char *>(data) + next, size - next);
        return png;
    }
    return QByteArray();
}

} // namespace engine::bridge
