// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PngExif.h"

#include <cstring>

namespace engine::bridge {

namespace {

constexpr long signatureSize = 8;
constexpr char rawProfile[] = "Raw profile type exif";

quint32 bigEndian32(const Exiv2::byte *p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

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

bool isRawExifProfile(const Exiv2::byte *type, const Exiv2::byte *chunkData, quint32 length)
{
    const bool text = std::memcmp(type, "tEXt", 4) == 0 || std::memcmp(type, "zTXt", 4) == 0
        || std::memcmp(type, "iTXt", 4) == 0;
    return text && length >= sizeof rawProfile && std::memcmp(chunkData, rawProfile, sizeof rawProfile) == 0;
}

} // namespace

QByteArray withExifChunk(
    const Exiv2::byte *data, long size, const Exiv2::ExifData &exif, Exiv2::ByteOrder order)
{
    if (size < signatureSize || std::memcmp(data, "\x89PNG\r\n\x1a\n", signatureSize) != 0)
        return QByteArray();
    for (long at = signatureSize; at + 12 <= size;) {
        const quint32 length = bigEndian32(data + at);
        if (length > quint32(size - at - 12))
            return QByteArray();
        const long next = at + 12 + long(length);
        if (!isRawExifProfile(data + at + 4, data + at + 8, length)) {
            at = next;
            continue;
        }
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
