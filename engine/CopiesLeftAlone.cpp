// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CopiesLeftAlone.h"

#include "engine/ByteCursor.h"
#include "engine/JpegSegments.h"
#include "engine/XmpCopies.h"

#include <exiv2/error.hpp>
#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/tags.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <algorithm>
#include <span>
#include <string_view>

namespace engine::bridge {

namespace {

constexpr Exiv2::byte app10 = 0xea;
constexpr Exiv2::byte app12 = 0xec;
constexpr uint16_t xmpPacketTag = 0x02bc;
// An IPTC stream starts with its application record's version.
constexpr std::string_view iptcStart("\x1c\x02\x00\x00\x02", 5);
constexpr std::string_view unicodeComment("UNICODE\0", 8);
constexpr std::string_view ducky("Ducky", 5);
// The picture editor's tags in its "Ducky" segment that hold texts.
constexpr uint16_t duckyComment = 2;
constexpr uint16_t duckyCopyright = 3;

QString inMakerNote()
{
    return QStringLiteral("the camera's maker note keeps its own copy");
}

QString inSegment(const QString &segment)
{
    return QStringLiteral("another program keeps its own copy in an %1 segment").arg(segment);
}

QString inSubImage()
{
    return QStringLiteral("a sub-image keeps its own XMP");
}

bool isMakerNote(const Exiv2::Exifdatum &datum)
{
    return datum.key() == "Exif.Photo.MakerNote" || Exiv2::ExifTags::isMakerGroup(datum.groupName());
}

std::vector<Exiv2::byte> bytesOf(const Exiv2::Exifdatum &datum)
{
    std::vector<Exiv2::byte> bytes(std::size_t(std::max(datum.size(), 0L)));
    if (!bytes.empty())
        datum.copy(bytes.data(), Exiv2::invalidByteOrder);
    return bytes;
}

// An IPTC stream among a maker note entry's bytes, where a camera's
// software keeps the IPTC it was given (Nikon's capture data does).
std::vector<StoredDataset> iptcIn(const Exiv2::Exifdatum &datum)
{
    if (datum.typeId() != Exiv2::undefined && datum.typeId() != Exiv2::unsignedByte)
        return {};
    const std::vector<Exiv2::byte> bytes = bytesOf(datum);
    const std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    const std::size_t start = text.find(iptcStart);
    if (start == std::string_view::npos)
        return {};
    return leadingDatasets(std::span(bytes).subspan(start));
}

// A picture editor's "Ducky" segment: tags of a number and a size, each
// text a count then its characters, up to a tag 0.
void readDucky(const JpegSegment &segment, CopiesLeftAlone &copies)
{
    ByteCursor tags(segment.payload, segment.payloadSize);
    if (!tags.startsWith(ducky))
        return;
    tags.skip(ducky.size());
    for (;;) {
        const std::optional<uint16_t> tag = tags.uint16();
        const std::optional<uint16_t> size = tag && *tag != 0 ? tags.uint16() : std::nullopt;
        const std::optional<std::span<const Exiv2::byte>> data = size ? tags.bytes(*size) : std::nullopt;
        if (!data)
            return;
        const bool holdsText = data->size() > 4;
        if (*tag == duckyComment && holdsText)
            copies.commentSegment = QStringLiteral("APP12");
        if (*tag == duckyCopyright && holdsText)
            copies.copyrightSegment = QStringLiteral("APP12");
    }
}

void readSegments(const Exiv2::byte *data, long size, CopiesLeftAlone &copies)
{
    forEachJpegSegment(const_cast<Exiv2::byte *>(data), size, [&](const JpegSegment &segment) {
        if (segment.marker == app12)
            readDucky(segment, copies);
        const ByteCursor payload(segment.payload, segment.payloadSize);
        if (segment.marker == app10 && payload.startsWith(unicodeComment)
            && payload.remaining() > unicodeComment.size())
            copies.commentSegment = QStringLiteral("APP10");
    });
}

// The sub-images' XMP, as one set of values; what does not parse holds
// none that can be told.
Exiv2::XmpData subImageValues(const std::vector<std::string> &packets)
{
    Exiv2::XmpData all;
    for (const std::string &packet : packets) {
        Exiv2::XmpData values;
        try {
            if (Exiv2::XmpParser::decode(values, packet) != 0)
                continue;
        } catch (const Exiv2::AnyError &) {
            continue;
        }
        for (const Exiv2::Xmpdatum &datum : values)
            all.add(datum);
    }
    return all;
}

bool isCopyright(const std::string &key)
{
    return key == "Exif.Image.Copyright" || key == "Iptc.Application2.Copyright";
}

} // namespace

CopiesLeftAlone copiesLeftAlone(const Exiv2::Image &image, const Exiv2::byte *data, long size)
{
    CopiesLeftAlone copies;
    for (const Exiv2::Exifdatum &datum : image.exifData()) {
        if (copies.makerNoteIptc.empty() && isMakerNote(datum))
            copies.makerNoteIptc = iptcIn(datum);
        if (datum.tag() == xmpPacketTag && datum.groupName() != "Image" && !isMakerNote(datum)) {
            const std::vector<Exiv2::byte> packet = bytesOf(datum);
            copies.subImageXmp.emplace_back(reinterpret_cast<const char *>(packet.data()), packet.size());
        }
    }
    if (image.imageType() == Exiv2::ImageType::jpeg && data)
        readSegments(data, size, copies);
    return copies;
}

void reportKeptCopies(const CopiesLeftAlone &copies, const ClearChoices &clear, const CopyReport &kept)
{
    if (clear.comment && !copies.commentSegment.isEmpty())
        kept("comment", inSegment(copies.commentSegment));
    if (clear.iptc && !copies.makerNoteIptc.empty())
        kept("iptc", inMakerNote());
    if (clear.xmp && !copies.subImageXmp.empty())
        kept("xmp", inSubImage());
}

void reportOlderCopies(
    const CopiesLeftAlone &copies, const std::vector<std::string> &written, const CopyReport &stays)
{
    const Exiv2::XmpData subImages = subImageValues(copies.subImageXmp);
    for (const std::string &key : written) {
        if (key.starts_with("Iptc.")) {
            const Exiv2::IptcKey iptcKey(key);
            const bool held = std::any_of(
                copies.makerNoteIptc.begin(), copies.makerNoteIptc.end(), [&](const StoredDataset &d) {
                    return d.record == iptcKey.record() && d.number == iptcKey.tag();
                });
            if (held)
                stays(key, inMakerNote());
        }
        if (key == "Exif.Photo.UserComment" && !copies.commentSegment.isEmpty())
            stays(key, inSegment(copies.commentSegment));
        if (isCopyright(key) && !copies.copyrightSegment.isEmpty())
            stays(key, inSegment(copies.copyrightSegment));
        if (subImages.empty())
            continue;
        const std::vector<std::string> properties = keyAndXmpCopies(key);
        if (std::any_of(properties.begin(), properties.end(),
                [&](const std::string &p) { return holdsProperty(subImages, p); }))
            stays(key, inSubImage());
    }
}

} // namespace engine::bridge
