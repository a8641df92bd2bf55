// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PngExif.h"

#include "engine/ByteCursor.h"

#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace engine::bridge {

namespace {

constexpr long signatureSize = 8;
constexpr std::string_view rawProfile = "Raw profile type exif";

void appendBigEndian32(QByteArray &bytes, quint32 n)
{
    bytes.append(char(n >> 24))
        .append(char(n >> 16 & 0xff))
        .append(char(n >> 8 & 0xff))
        .append(char(n & 0xff));
}

struct Chunk
{
    long at; // where its length starts
    long end; // just after its check sum
    std::string_view type;
    std::string_view data;

    bool isText() const { return type == "tEXt" || type == "zTXt" || type == "iTXt"; }
    // A text chunk's keyword followed by its NUL.
    bool hasKeyword(std::string_view keyword) const
    {
        return isText() && data.size() > keyword.size() && data.substr(0, keyword.size()) == keyword
            && data[keyword.size()] == '\0';
    }
};

std::string_view textOf(std::span<const Exiv2::byte> bytes)
{
    return std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size());
}

// Calls visit for each whole chunk after the signature, up to the image's
// end chunk; false when the bytes are no PNG or a chunk runs past the end,
// where the walk stops.
bool forEachChunk(const Exiv2::byte *data, long size, const std::function<void(const Chunk &)> &visit)
{
    ByteCursor chunks(data, size);
    if (!chunks.startsWith(std::string_view("\x89PNG\r\n\x1a\n", signatureSize)))
        return false;
    chunks.skip(signatureSize);
    while (chunks.remaining() > 0) {
        // Each chunk: its data's length, its type, its data and its check sum.
        const long at = long(chunks.position());
        const std::optional<uint32_t> length = chunks.uint32();
        const std::optional<std::span<const Exiv2::byte>> type = length ? chunks.bytes(4) : std::nullopt;
        const std::optional<std::span<const Exiv2::byte>> body = type ? chunks.bytes(*length) : std::nullopt;
        if (!body || !chunks.skip(4))
            return false;
        const Chunk chunk { at, long(chunks.position()), textOf(*type), textOf(*body) };
        visit(chunk);
        if (chunk.type == "IEND")
            return true;
    }
    return true;
}

QByteArray exifChunk(const Exiv2::ExifData &exif, Exiv2::ByteOrder order)
{
    Exiv2::Blob tiff;
    Exiv2::ExifParser::encode(tiff, order == Exiv2::invalidByteOrder ? Exiv2::littleEndian : order, exif);
    QByteArray body("eXIf");
    body.append(reinterpret_cast<const char *>(tiff.data()), qsizetype(tiff.size()));
    QByteArray chunk;
    appendBigEndian32(chunk, quint32(tiff.size()));
    chunk.append(body);
    appendBigEndian32(chunk, pngChunkCrc(body));
    return chunk;
}

} // namespace

quint32 pngChunkCrc(const QByteArray &typeAndData)
{
    quint32 crc = 0xffffffff;
    for (const char c : typeAndData) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

bool holdsTextComment(const Exiv2::byte *data, long size, bool description)
{
    bool holds = false;
    forEachChunk(data, size, [&](const Chunk &chunk) {
        holds = holds || chunk.hasKeyword("Comment") || (description && chunk.hasKeyword("Description"));
    });
    return holds;
}

QByteArray finishedPng(const Exiv2::byte *data, long size, const Exiv2::ExifData &exif,
    Exiv2::ByteOrder order, bool withoutComments)
{
    const auto *text = reinterpret_cast<const char *>(data);
    QByteArray png(text, signatureSize);
    bool changed = false;
    bool exifDone = false;
    long copied = signatureSize;
    const bool whole = forEachChunk(data, size, [&](const Chunk &chunk) {
        const bool isRawExif = !exifDone && chunk.hasKeyword(rawProfile);
        const bool isComment = withoutComments && chunk.hasKeyword("Comment");
        if (!isRawExif && !isComment) {
            png.append(text + chunk.at, chunk.end - chunk.at);
        } else {
            if (isRawExif)
                png.append(exifChunk(exif, order));
            exifDone = exifDone || isRawExif;
            changed = true;
        }
        copied = chunk.end;
    });
    // Bytes the walk could not take as chunks stay as they are.
    png.append(text + copied, size - copied);
    return whole && changed ? png : QByteArray();
}

} // namespace engine::bridge
