// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/PngChunks.h"

#include "engine/walks/ByteCursor.h"

#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <span>

namespace engine::bridge {

namespace {

constexpr std::size_t signatureSize = 8;
// No text a metadata chunk holds comes near this; a chunk that inflates
// beyond it is taken for damaged rather than held in memory.
constexpr qsizetype largestText = qsizetype(64) << 20;

std::string_view textOf(std::span<const Exiv2::byte> bytes)
{
    return std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size());
}

void appendBigEndian32(QByteArray &bytes, quint32 n)
{
    char number[4];
    qToBigEndian(n, number);
    bytes.append(number, 4);
}

// Where a text chunk's text starts, after its keyword and the fields of its
// type, and whether it is compressed.
struct TextForm
{
    std::size_t start = 0;
    bool compressed = false;
};

std::optional<TextForm> textFormOf(const PngChunk &chunk)
{
    const std::string_view keyword = chunk.keyword();
    if (keyword.empty())
        return std::nullopt;
    const std::string_view rest = chunk.data.substr(keyword.size() + 1);
    if (chunk.type == "tEXt")
        return TextForm { keyword.size() + 1, false };
    if (chunk.type == "zTXt") {
        // Deflate is the only compression method there is.
        if (rest.empty() || rest[0] != 0)
            return std::nullopt;
        return TextForm { keyword.size() + 2, true };
    }
    // iTXt: its compression flag and method, then its language and its
    // translated keyword, each ending with a NUL.
    if (rest.size() < 2 || (rest[0] != 0 && rest[0] != 1) || (rest[0] == 1 && rest[1] != 0))
        return std::nullopt;
    const std::size_t language = rest.find('\0', 2);
    const std::size_t translated
        = language == std::string_view::npos ? language : rest.find('\0', language + 1);
    if (translated == std::string_view::npos)
        return std::nullopt;
    return TextForm { keyword.size() + 1 + translated + 1, rest[0] == 1 };
}

std::optional<QByteArray> inflated(std::string_view compressed)
{
    z_stream stream {};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.data()));
    stream.avail_in = uInt(compressed.size());
    QByteArray text;
    int status = Z_OK;
    while (status == Z_OK && text.size() < largestText) {
        constexpr qsizetype step = 64 * 1024;
        const qsizetype had = text.size();
        text.resize(had + step);
        stream.next_out = reinterpret_cast<Bytef *>(text.data() + had);
        stream.avail_out = uInt(step);
        status = inflate(&stream, Z_NO_FLUSH);
        text.resize(had + step - qsizetype(stream.avail_out));
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return text;
}

QByteArray deflated(const QByteArray &text)
{
    uLongf size = compressBound(uLong(text.size()));
    QByteArray compressed(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(compressed.data()), &size,
            reinterpret_cast<const Bytef *>(text.constData()), uLong(text.size()), Z_DEFAULT_COMPRESSION)
        != Z_OK)
        return QByteArray();
    compressed.resize(qsizetype(size));
    return compressed;
}

} // namespace

std::string_view PngChunk::keyword() const
{
    if (!isText())
        return {};
    // A keyword has 1 to 79 characters and ends with a NUL.
    const std::size_t end = data.find('\0');
    return end == std::string_view::npos || end == 0 || end > 79 ? std::string_view() : data.substr(0, end);
}

bool isKeyword(std::string_view keyword, std::string_view name)
{
    return QByteArrayView(keyword.data(), qsizetype(keyword.size()))
               .compare(QByteArrayView(name.data(), qsizetype(name.size())), Qt::CaseInsensitive)
        == 0;
}

bool forEachPngChunk(const Exiv2::byte *data, long size, const std::function<void(const PngChunk &)> &visit)
{
    ByteCursor chunks(data, size);
    if (!chunks.startsWith(std::string_view("\x89PNG\r\n\x1a\n", signatureSize)))
        return false;
    chunks.skip(signatureSize);
    while (chunks.remaining() > 0) {
        const long at = long(chunks.position());
        const std::optional<uint32_t> length = chunks.uint32();
        const std::optional<std::span<const Exiv2::byte>> type = length ? chunks.bytes(4) : std::nullopt;
        const std::optional<std::span<const Exiv2::byte>> body = type ? chunks.bytes(*length) : std::nullopt;
        if (!body || !chunks.skip(4))
            return false;
        const PngChunk chunk { at, long(chunks.position()), textOf(*type), textOf(*body) };
        visit(chunk);
        if (chunk.type == "IEND")
            return true;
    }
    return true;
}

quint32 pngChunkCrc(const QByteArray &typeAndData)
{
    return quint32(
        crc32(0, reinterpret_cast<const Bytef *>(typeAndData.constData()), uInt(typeAndData.size())));
}

QByteArray pngChunkOf(std::string_view type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type.data(), qsizetype(type.size())) + data;
    QByteArray chunk;
    appendBigEndian32(chunk, quint32(data.size()));
    chunk.append(body);
    appendBigEndian32(chunk, pngChunkCrc(body));
    return chunk;
}

std::optional<QByteArray> pngChunkText(const PngChunk &chunk)
{
    const std::optional<TextForm> form = textFormOf(chunk);
    if (!form)
        return std::nullopt;
    const std::string_view text = chunk.data.substr(form->start);
    if (form->compressed)
        return inflated(text);
    return QByteArray(text.data(), qsizetype(text.size()));
}

QByteArray pngChunkWithText(const PngChunk &chunk, const QByteArray &text)
{
    const std::optional<TextForm> form = textFormOf(chunk);
    if (!form)
        return QByteArray();
    const QByteArray stored = form->compressed ? deflated(text) : text;
    if (form->compressed && stored.isNull())
        return QByteArray();
    return pngChunkOf(chunk.type, QByteArray(chunk.data.data(), qsizetype(form->start)) + stored);
}

std::optional<QString> pngChunkString(const PngChunk &chunk)
{
    const std::optional<QByteArray> text = pngChunkText(chunk);
    if (!text)
        return std::nullopt;
    return chunk.type == "iTXt" ? QString::fromUtf8(*text) : QString::fromLatin1(*text);
}

QByteArray pngChunkWithString(const PngChunk &chunk, const QString &text)
{
    const bool latin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xff; });
    if (chunk.type == "iTXt" || latin1)
        return pngChunkWithText(chunk, chunk.type == "iTXt" ? text.toUtf8() : text.toLatin1());
    const std::optional<TextForm> form = textFormOf(chunk);
    if (!form)
        return QByteArray();
    // Its keyword, the compression flag and method, and no language or
    // translated keyword.
    const std::string_view keyword = chunk.keyword();
    QByteArray data(keyword.data(), qsizetype(keyword.size()));
    data.append('\0').append(char(form->compressed ? 1 : 0)).append('\0').append('\0').append('\0');
    const QByteArray utf8 = text.toUtf8();
    const QByteArray stored = form->compressed ? deflated(utf8) : utf8;
    if (form->compressed && stored.isNull())
        return QByteArray();
    return pngChunkOf("iTXt", data + stored);
}

} // namespace engine::bridge
