// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/check/FileLayout.h"

#include <algorithm>
#include <string_view>

namespace engine::check {

namespace {

using Kind = FilePart::Kind;

constexpr std::string_view xmpHeader("http://ns.adobe.com/xap/1.0/\0", 29);
constexpr std::string_view extendedXmpHeader("http://ns.adobe.com/xmp/extension/\0", 35);

bool isFrameHeader(std::uint8_t marker)
{
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

std::string appName(std::uint8_t marker)
{
    return "its APP" + std::to_string(marker - 0xe0) + " segment";
}

// A multi-picture index: the offsets of its entries, which count from its
// own TIFF header, change where the write moves it; the pictures they name
// must stay.
void readMultiPicture(ByteSpan file, ByteView segment, FilePart &part, ReadBudget &budget)
{
    constexpr std::uint64_t header = 8; // marker, length, "MPF\0"
    constexpr std::uint16_t entriesTag = 0xb002;
    const std::optional<ByteView> tiff = segment.from(header);
    if (!tiff || !(tiff->holds("II*\0") || tiff->holds("MM\0*")))
        return;
    const Order order = tiff->holds("II") ? Order::Little : Order::Big;
    const std::optional<std::uint32_t> first = tiff->u32(4, order);
    const std::optional<std::uint16_t> count = first ? tiff->u16(*first, order) : std::nullopt;
    if (!count || !budget.spend(12u * *count))
        return;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::uint64_t entry = *first + 2 + 12 * std::uint64_t(i);
        if (tiff->u16(entry, order) != entriesTag)
            continue;
        const std::optional<std::uint32_t> bytes = tiff->u32(entry + 4, order);
        const std::optional<std::uint32_t> at = tiff->u32(entry + 8, order);
        if (!bytes || !at || *bytes <= 4 || !tiff->span(*at, *bytes) || !budget.spend(*bytes))
            return;
        const std::uint64_t tiffInFile = offsetIn(file, tiff->all());
        for (std::uint64_t e = *at; e + 16 <= std::uint64_t(*at) + *bytes; e += 16) {
            const std::optional<std::uint32_t> size = tiff->u32(e + 4, order);
            const std::optional<std::uint32_t> offset = tiff->u32(e + 8, order);
            part.masked.emplace_back(header + e + 8, 4);
            if (size && offset && *offset != 0)
                part.named.push_back(ByteView(file).span(tiffInFile + *offset, *size));
        }
        return;
    }
}

void addPart(FileLayout &layout, Kind kind, std::string name, ByteSpan bytes)
{
    layout.parts.push_back({ kind, std::move(name), bytes });
}

// A colour profile cut into APP2 segments, each numbered, joined again.
struct ProfilePieces
{
    std::vector<std::pair<std::uint8_t, ByteSpan>> pieces;

    void add(ByteView payload)
    {
        constexpr std::uint64_t header = 14; // "ICC_PROFILE\0", its number, their count
        if (const std::optional<ByteView> data = payload.from(header))
            pieces.emplace_back(*payload.u8(header - 2), data->all());
    }
    void addTo(FileLayout &layout)
    {
        if (pieces.empty())
            return;
        std::stable_sort(
            pieces.begin(), pieces.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        std::vector<Byte> profile;
        for (const auto &[number, data] : pieces)
            profile.insert(profile.end(), data.begin(), data.end());
        layout.parts.push_back(decodedPart(Kind::Profile, "its colour profile", std::move(profile)));
    }
};

void readSegmentsFrom(
    ByteSpan file, std::uint64_t at, FileLayout &layout, ReadBudget &budget, ProfilePieces &profile)
{
    const ByteView bytes(file);
    while (at < bytes.size()) {
        if (!budget.spend(16))
            return;
        if (bytes.u8(at) != 0xff) {
            addPart(layout, Kind::Kept, "what follows its segments", *bytes.span(at, bytes.size() - at));
            return;
        }
        while (bytes.u8(at) == 0xff)
            ++at;
        // Fill bytes before a marker are no part of its segment.
        const std::uint64_t start = at - 1;
        const std::optional<std::uint8_t> marker = bytes.u8(at++);
        if (!marker)
            return;
        if (*marker == 0xd8 || (*marker >= 0xd0 && *marker <= 0xd7))
            continue;
        if (*marker == 0xda || *marker == 0xd9) {
            addPart(layout, Kind::Kept, "its picture", *bytes.span(start, bytes.size() - start));
            return;
        }
        const std::optional<std::uint16_t> length = bytes.u16(at, Order::Big);
        const std::optional<ByteView> segment
            = length && *length >= 2 ? bytes.view(start, at - start + *length) : std::nullopt;
        if (!segment) {
            layout.unreadable = "a segment of the file runs past its end";
            return;
        }
        const ByteView payload = *segment->from(at - start + 2);
        at = offsetIn(file, segment->all()) + segment->size();
        if (*marker == 0xe1 && payload.holds(exifHeader) && !layout.exif) {
            const ByteView tiff = *payload.from(exifHeader.size());
            layout.exif = ExifPlace { tiff, offsetIn(file, tiff.all()), true };
        } else if (*marker == 0xe1 && (payload.holds(xmpHeader) || payload.holds(extendedXmpHeader))) {
            addPart(layout, Kind::Xmp, "its XMP", segment->all());
        } else if (*marker == 0xe1 && payload.holds(std::string_view("FLIR\0", 5))) {
            addPart(layout, Kind::Thermal, "its thermal camera's records", segment->all());
        } else if (*marker == 0xe0 && payload.holds(std::string_view("JFIF\0", 5))) {
            const std::optional<std::uint8_t> unit = payload.u8(7);
            const std::optional<std::uint16_t> x = payload.u16(8, Order::Big);
            const std::optional<std::uint16_t> y = payload.u16(10, Order::Big);
            if (unit && x && y && !layout.jfif)
                layout.jfif = FileLayout::Density { *unit, *x, *y };
            addPart(layout, Kind::Kept, "its JFIF header", segment->all());
        } else if (*marker == 0xe2 && payload.holds(std::string_view("MPF\0", 4))) {
            addPart(layout, Kind::Kept, "its index of further pictures", segment->all());
            readMultiPicture(file, *segment, layout.parts.back(), budget);
        } else if (*marker == 0xed && payload.holds(std::string_view("Photoshop 3.0\0", 14))) {
            addPart(layout, Kind::Iptc, "its IPTC", segment->all());
        } else if (*marker == 0xfe) {
            // Readers end a comment at its first zero, which some writers add.
            ByteSpan text = payload.all();
            while (!text.empty() && text.back() == 0)
                text = text.first(text.size() - 1);
            addPart(layout, Kind::Comment, "its comment", text);
        } else if (*marker == 0xe2 && payload.holds(std::string_view("ICC_PROFILE\0", 12))) {
            profile.add(payload);
        } else if (*marker >= 0xe0 && *marker <= 0xef) {
            const bool standard = (*marker == 0xee && payload.holds("Adobe"))
                || (*marker == 0xe0 && payload.holds(std::string_view("JFXX\0", 5)));
            addPart(layout, standard ? Kind::Kept : Kind::Camera, appName(*marker), segment->all());
        } else {
            if (isFrameHeader(*marker)) {
                const std::optional<std::uint16_t> height = payload.u16(1, Order::Big);
                const std::optional<std::uint16_t> width = payload.u16(3, Order::Big);
                if (height && width && !layout.pictureSize)
                    layout.pictureSize = std::pair<std::uint32_t, std::uint32_t>(*width, *height);
            }
            addPart(layout, Kind::Kept, "its picture's header", segment->all());
        }
    }
}

// The segments of a JPEG or an Exiv2 sidecar from at on; a JPEG's picture
// and all that follows it are one part.
void readSegments(ByteSpan file, std::uint64_t at, FileLayout &layout, ReadBudget &budget)
{
    ProfilePieces profile;
    readSegmentsFrom(file, at, layout, budget, profile);
    profile.addTo(layout);
}

bool isTiffHeader(ByteView bytes)
{
    return bytes.holds("II*\0") || bytes.holds("MM\0*") || bytes.holds("IIRO") || bytes.holds("IIRS")
        || bytes.holds("MMOR");
}

} // namespace

FilePart decodedPart(FilePart::Kind kind, std::string name, std::vector<Byte> bytes)
{
    auto decoded = std::make_shared<const std::vector<Byte>>(std::move(bytes));
    return { kind, std::move(name), ByteSpan(*decoded), {}, {}, decoded };
}

ByteView withoutExifHeader(ByteView bytes)
{
    return bytes.holds(exifHeader) ? *bytes.from(exifHeader.size()) : bytes;
}

FileLayout layoutOf(ByteSpan file, ReadBudget &budget)
{
    FileLayout layout;
    const ByteView bytes(file);
    if (bytes.holds("\xff\xd8")) {
        layout.format = Format::Jpeg;
        readSegments(file, 2, layout, budget);
    } else if (bytes.holds("\xff\x01"
                           "Exiv2")) {
        layout.format = Format::Exv;
        readSegments(file, 7, layout, budget);
        if (layout.exif)
            layout.exif->sidecar = true;
    } else if (isTiffHeader(bytes)) {
        layout.format = Format::Tiff;
        layout.exif = ExifPlace { bytes, 0, false };
    } else if (bytes.holds("\x89PNG\r\n\x1a\n")) {
        layout.format = Format::Png;
        readPng(bytes, layout, budget);
    } else if (bytes.holds("RIFF") && bytes.holds("WEBP", 8)) {
        layout.format = Format::WebP;
        readWebP(bytes, layout, budget);
    } else if (bytes.holds("8BPS")) {
        layout.format = Format::Psd;
        readPsd(bytes, layout, budget);
    } else if (bytes.holds(std::string_view("\0\0\0\x0cjP  \r\n\x87\n", 12))) {
        layout.format = Format::Jpeg2000;
        readJpeg2000(bytes, layout, budget);
    } else if (bytes.holds("PGF")) {
        layout.format = Format::Pgf;
        readPgf(bytes, layout, budget);
    } else {
        layout.unreadable = "the check cannot read files of its kind";
    }
    if (budget.spent())
        layout.unreadable = "its structure cannot be read within the time its size allows";
    return layout;
}

} // namespace engine::check
