// SPDX-License-Identifier: GPL-3.0-or-later
// The formats that keep their parts in boxes of a size and a name: WebP's
// chunks, a Photoshop file's image resources, JPEG 2000's boxes.
#include "engine/check/FileLayout.h"

#include <cstdio>
#include <string_view>

namespace engine::check {

namespace {

using Kind = FilePart::Kind;

std::string hex(std::uint32_t number)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%04x", number);
    return text;
}

} // namespace

void readWebP(ByteView webp, FileLayout &layout, ReadBudget &budget)
{
    constexpr std::uint64_t firstChunk = 12;
    constexpr std::uint64_t flagsInChunk = 8;
    std::uint64_t at = firstChunk;
    while (at + 8 <= webp.size()) {
        const std::optional<std::uint32_t> size = webp.u32(at + 4, Order::Little);
        // Chunks are padded to an even length.
        const std::uint64_t padded = std::uint64_t(*size) + (*size & 1u);
        const std::optional<ByteView> chunk = webp.view(at, 8 + padded);
        const std::optional<ByteView> data = webp.view(at + 8, *size);
        if (!chunk || !data || !budget.spend(16)) {
            layout.unreadable = "a chunk of the file runs past its end";
            return;
        }
        const std::string_view type(reinterpret_cast<const char *>(chunk->all().data()), 4);
        at += chunk->size();
        if (type == "EXIF" && !layout.exif) {
            const ByteView tiff = withoutExifHeader(*data);
            layout.exif = ExifPlace { tiff, offsetIn(webp.all(), tiff.all()), true };
        } else if (type == "XMP ") {
            layout.parts.push_back({ Kind::Xmp, "its XMP", chunk->all() });
        } else if (type == "VP8X") {
            // Its flags say which chunks follow, the Exif and XMP among them.
            layout.parts.push_back(
                { Kind::KeptWhereBoth, "its WebP header", chunk->all(), { { flagsInChunk, 1 } } });
        } else {
            layout.parts.push_back({ Kind::Kept, "its WebP chunk " + std::string(type), chunk->all() });
        }
    }
}

void readPsd(ByteView psd, FileLayout &layout, ReadBudget &budget)
{
    constexpr std::uint64_t header = 26;
    constexpr std::uint16_t exifResource = 0x0422;
    constexpr std::uint16_t xmpResource = 0x0424;
    constexpr std::uint16_t iptcResource = 0x0404;
    constexpr std::uint16_t digestResource = 0x0425;
    const std::optional<std::uint32_t> colours = psd.u32(header, Order::Big);
    const std::uint64_t resourcesAt = header + 4 + colours.value_or(0);
    const std::optional<std::uint32_t> resources = psd.u32(resourcesAt, Order::Big);
    const std::uint64_t pictureAt = resourcesAt + 4 + resources.value_or(0);
    if (!colours || !resources || pictureAt > psd.size()) {
        layout.unreadable = "its sections run past its end";
        return;
    }
    layout.parts.push_back({ Kind::Kept, "its Photoshop header", *psd.span(0, resourcesAt) });
    std::uint64_t at = resourcesAt + 4;
    while (at < pictureAt) {
        // A signature, a number, a name of an even length with its length
        // byte, then the data's size and the data, padded to even.
        const std::optional<std::uint16_t> id = psd.u16(at + 4, Order::Big);
        const std::optional<std::uint8_t> nameLength = psd.u8(at + 6);
        const std::uint64_t sizeAt
            = at + 6 + ((std::uint64_t(nameLength.value_or(0)) + 2) & ~std::uint64_t(1));
        const std::optional<std::uint32_t> size = psd.u32(sizeAt, Order::Big);
        const std::uint64_t end = sizeAt + 4 + std::uint64_t(size.value_or(0)) + (size.value_or(0) & 1u);
        if (!id || !size || end > pictureAt || !budget.spend(16)) {
            layout.unreadable = "an image resource of the file runs past its end";
            return;
        }
        const ByteSpan block = *psd.span(at, end - at);
        if (*id == exifResource && !layout.exif) {
            const ByteView tiff = withoutExifHeader(*psd.view(sizeAt + 4, *size));
            layout.exif = ExifPlace { tiff, offsetIn(psd.all(), tiff.all()), true };
        } else if (*id == xmpResource) {
            layout.parts.push_back({ Kind::Xmp, "its XMP", block });
        } else if (*id == iptcResource || *id == digestResource) {
            layout.parts.push_back({ Kind::Iptc, "its IPTC", block });
        } else {
            layout.parts.push_back({ Kind::Kept, "its Photoshop resource " + hex(*id), block });
        }
        at = end;
    }
    layout.parts.push_back({ Kind::Kept, "its picture", *psd.span(pictureAt, psd.size() - pictureAt) });
}

void readJpeg2000(ByteView jp2, FileLayout &layout, ReadBudget &budget)
{
    constexpr std::string_view exifUuid("JpgTiffExif->JP2", 16);
    constexpr std::string_view iptcUuid(
        "\x33\xc7\xa4\xd2\xb8\x1d\x47\x23\xa0\xba\xf1\xa3\xe0\x97\xad\x38", 16);
    constexpr std::string_view xmpUuid(
        "\xbe\x7a\xcf\xcb\x97\xa9\x42\xe8\x9c\x71\x99\x94\x91\xe3\xaf\xac", 16);
    std::uint64_t at = 0;
    while (at + 8 <= jp2.size()) {
        // A length, a name, and a longer length where the first is 1; a
        // length of 0 runs to the end.
        std::uint64_t length = *jp2.u32(at, Order::Big);
        std::uint64_t headerSize = 8;
        if (length == 1) {
            const std::optional<std::uint32_t> high = jp2.u32(at + 8, Order::Big);
            const std::optional<std::uint32_t> low = jp2.u32(at + 12, Order::Big);
            if (!high || !low) {
                layout.unreadable = "a box of the file runs past its end";
                return;
            }
            length = std::uint64_t(*high) << 32 | *low;
            headerSize = 16;
        } else if (length == 0) {
            length = jp2.size() - at;
        }
        const std::optional<ByteView> box = length >= headerSize ? jp2.view(at, length) : std::nullopt;
        if (!box || !budget.spend(16)) {
            layout.unreadable = "a box of the file runs past its end";
            return;
        }
        const std::string_view type(reinterpret_cast<const char *>(box->all().data()) + 4, 4);
        const ByteView data = *box->from(headerSize);
        at += box->size();
        if (type == "uuid" && data.holds(exifUuid) && !layout.exif) {
            const ByteView tiff = withoutExifHeader(*data.from(exifUuid.size()));
            layout.exif = ExifPlace { tiff, offsetIn(jp2.all(), tiff.all()), true };
        } else if (type == "uuid" && data.holds(xmpUuid)) {
            layout.parts.push_back({ Kind::Xmp, "its XMP", box->all() });
        } else if (type == "uuid" && data.holds(iptcUuid)) {
            layout.parts.push_back({ Kind::Iptc, "its IPTC", box->all() });
        } else {
            layout.parts.push_back({ Kind::Kept,
                type == "jp2c" ? std::string("its picture") : "its JPEG 2000 box " + std::string(type),
                box->all() });
        }
    }
}

} // namespace engine::check
