// SPDX-License-Identifier: GPL-3.0-or-later
// A PNG's chunks, and the small PNG in which a PGF file's header keeps its
// metadata.
#include "engine/check/FileLayout.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <string_view>

namespace engine::check {

namespace {

using Kind = FilePart::Kind;

constexpr std::size_t pngSignature = 8;

int hexDigit(Byte c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A raw profile text: a new line, its name, its length in decimal, then
// its bytes in hexadecimal, lines apart.
std::optional<std::vector<Byte>> rawProfile(ByteSpan text)
{
    std::size_t at = 0;
    while (at < text.size() && text[at] == '\n')
        ++at;
    while (at < text.size() && text[at] != '\n')
        ++at;
    while (at < text.size() && std::isspace(text[at]))
        ++at;
    std::uint64_t length = 0;
    while (at < text.size() && std::isdigit(text[at]) && length <= text.size())
        length = length * 10 + std::uint64_t(text[at++] - '0');
    if (length == 0 || length > text.size() / 2)
        return std::nullopt;
    std::vector<Byte> bytes;
    bytes.reserve(std::size_t(length));
    int high = -1;
    for (; at < text.size() && bytes.size() < length; ++at) {
        const int digit = hexDigit(text[at]);
        if (digit < 0) {
            if (!std::isspace(text[at]))
                return std::nullopt;
            continue;
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(Byte(high << 4 | digit));
            high = -1;
        }
    }
    return bytes.size() == length ? std::optional<std::vector<Byte>>(std::move(bytes)) : std::nullopt;
}

// The text of a text chunk whose keyword is one of those that hold Exif:
// tEXt, zTXt and iTXt, compressed or not.
std::optional<std::vector<Byte>> exifProfileText(std::string_view type, ByteView data, ReadBudget &budget)
{
    constexpr std::string_view exifKeyword("Raw profile type exif\0", 22);
    constexpr std::string_view app1Keyword("Raw profile type APP1\0", 22);
    if (!data.holds(exifKeyword) && !data.holds(app1Keyword))
        return std::nullopt;
    const std::uint64_t afterKeyword = exifKeyword.size();
    if (type == "tEXt") {
        const ByteSpan text = *data.span(afterKeyword, data.size() - std::min(data.size(), afterKeyword));
        return std::vector<Byte>(text.begin(), text.end());
    }
    if (type == "zTXt") {
        const std::optional<ByteSpan> compressed
            = data.span(afterKeyword + 1, data.size() - afterKeyword - 1);
        return compressed ? inflated(*compressed, budget) : std::nullopt;
    }
    // iTXt: compression flag and method, then a language and a translated
    // keyword, each ended by a zero.
    const std::optional<std::uint8_t> compressedFlag = data.u8(afterKeyword);
    std::uint64_t at = afterKeyword + 2;
    for (int ended = 0; ended < 2 && at < data.size(); ++at) {
        if (data.u8(at) == 0)
            ++ended;
    }
    const std::optional<ByteSpan> text = data.span(at, data.size() - std::min(data.size(), at));
    if (!compressedFlag || !text)
        return std::nullopt;
    if (*compressedFlag)
        return inflated(*text, budget);
    return std::vector<Byte>(text->begin(), text->end());
}

std::optional<ExifPlace> profileExif(std::vector<Byte> text)
{
    const std::optional<std::vector<Byte>> bytes = rawProfile(text);
    if (!bytes)
        return std::nullopt;
    const ByteView view(*bytes);
    const std::size_t skip = view.holds(exifHeader) ? exifHeader.size() : 0;
    auto decoded = std::make_shared<std::vector<Byte>>(bytes->begin() + long(skip), bytes->end());
    return ExifPlace { ByteView(*decoded), std::nullopt, true, decoded };
}

void readChunks(ByteView png, ByteSpan file, FileLayout &layout, ReadBudget &budget, bool withParts)
{
    std::optional<ExifPlace> fromText;
    std::uint64_t at = pngSignature;
    while (at < png.size()) {
        const std::optional<std::uint32_t> length = png.u32(at, Order::Big);
        const std::optional<ByteView> chunk
            = length ? png.view(at, 12 + std::uint64_t(*length)) : std::nullopt;
        if (!chunk || !budget.spend(16)) {
            layout.unreadable = "a chunk of the file runs past its end";
            return;
        }
        const std::string_view type(reinterpret_cast<const char *>(chunk->all().data()) + 4, 4);
        const ByteView data = *chunk->view(8, *length);
        at += chunk->size();
        if (type == "eXIf" && !layout.exif) {
            const ByteView tiff = withoutExifHeader(data);
            layout.exif = ExifPlace { tiff, offsetIn(file, tiff.all()), true };
            continue;
        }
        if (type == "iCCP" && withParts) {
            // A name, a zero, the compression method, the profile.
            const auto name = std::find(data.all().begin(), data.all().end(), Byte(0));
            const std::uint64_t nameSize = std::uint64_t(name - data.all().begin());
            const std::optional<ByteSpan> compressed
                = data.span(nameSize + 2, data.size() - std::min(data.size(), nameSize + 2));
            std::optional<std::vector<Byte>> profile
                = compressed ? inflated(*compressed, budget) : std::nullopt;
            if (!profile) {
                layout.unreadable = "its colour profile cannot be read";
                return;
            }
            profile->insert(profile->begin(), data.all().begin(), name);
            layout.parts.push_back(decodedPart(Kind::Profile, "its colour profile", std::move(*profile)));
            continue;
        }
        if (type == "tEXt" || type == "zTXt" || type == "iTXt") {
            if (!fromText) {
                if (std::optional<std::vector<Byte>> text = exifProfileText(type, data, budget))
                    fromText = profileExif(std::move(*text));
            }
            if (withParts)
                layout.parts.push_back({ Kind::Unchecked, "its texts", chunk->all() });
            continue;
        }
        if (withParts)
            layout.parts.push_back({ Kind::Kept, "its PNG chunk " + std::string(type), chunk->all() });
        if (type == "IEND")
            break;
    }
    if (!layout.exif)
        layout.exif = fromText;
}

} // namespace

std::optional<std::vector<Byte>> inflated(ByteSpan compressed, ReadBudget &budget)
{
    z_stream stream = {};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    stream.next_in = const_cast<Byte *>(compressed.data());
    stream.avail_in = uInt(compressed.size());
    std::vector<Byte> out;
    Byte chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = chunk;
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        const std::size_t got = sizeof chunk - stream.avail_out;
        if ((status != Z_OK && status != Z_STREAM_END) || !budget.spend(got)) {
            status = Z_DATA_ERROR;
            break;
        }
        out.insert(out.end(), chunk, chunk + got);
        if (got == 0 && status == Z_OK && stream.avail_in == 0)
            status = Z_DATA_ERROR;
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? std::optional<std::vector<Byte>>(std::move(out)) : std::nullopt;
}

void readPng(ByteView png, FileLayout &layout, ReadBudget &budget)
{
    readChunks(png, png.all(), layout, budget, true);
}

void readPgf(ByteView pgf, FileLayout &layout, ReadBudget &budget)
{
    // Its signature and version, the header's size, the header (whose
    // mode tells whether a colour table follows), then the user data up
    // to where the header's size says, then the picture.
    constexpr std::uint64_t preHeader = 8;
    constexpr std::uint64_t header = 16;
    constexpr std::uint64_t modeAt = preHeader + 12;
    constexpr std::uint8_t indexedMode = 2;
    constexpr std::uint64_t colourTable = 256 * 3;
    const std::optional<std::uint32_t> headerSize = pgf.u32(4, Order::Little);
    const std::optional<std::uint8_t> mode = pgf.u8(modeAt);
    const std::uint64_t userData = preHeader + header + (mode == indexedMode ? colourTable : 0);
    const std::uint64_t pictureAt = preHeader + std::uint64_t(headerSize.value_or(0));
    if (!headerSize || !mode || pictureAt < userData || pictureAt > pgf.size()) {
        layout.unreadable = "its header cannot be read whole";
        return;
    }
    layout.parts.push_back({ Kind::Kept, "its PGF header", *pgf.span(0, 4) });
    layout.parts.push_back({ Kind::Kept, "its PGF header", *pgf.span(preHeader, userData - preHeader) });
    const ByteView metadata = *pgf.view(userData, pictureAt - userData);
    if (metadata.holds("\x89PNG\r\n\x1a\n")) {
        FileLayout inner;
        readChunks(metadata, pgf.all(), inner, budget, false);
        layout.exif = inner.exif;
        if (inner.unreadable)
            layout.unreadable = inner.unreadable;
    }
    layout.parts.push_back({ Kind::Kept, "its picture", *pgf.span(pictureAt, pgf.size() - pictureAt) });
}

} // namespace engine::check
