// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/JpegSegments.h"

#include "engine/walks/ByteCursor.h"

namespace engine::bridge {

bool forEachJpegSegment(Exiv2::byte *data, long size, const std::function<void(const JpegSegment &)> &visit)
{
    ByteCursor jpeg(data, size);
    if (jpeg.remaining() < 4 || !jpeg.startsWith("\xff\xd8"))
        return false;
    jpeg.skip(2);
    // A segment's marker and length, then its payload.
    while (jpeg.remaining() >= 4 && jpeg.peek() == 0xff) {
        const long start = long(jpeg.position());
        ByteCursor segment = jpeg;
        segment.skip(1);
        const Exiv2::byte marker = *segment.byte();
        if (marker == 0xff) { // fill
            jpeg.skip(1);
            continue;
        }
        if (marker == 0xda || marker == 0xd9) // the image data, or its end
            break;
        const uint16_t length = *segment.uint16();
        if (length < 2 || !segment.skip(length - 2u))
            break;
        visit({ marker, start, 2 + long(length), data + start + 4, long(length) - 2 });
        jpeg = segment;
    }
    return true;
}

namespace {

constexpr Exiv2::byte commentMarker = 0xfe;

} // namespace

QByteArray withoutJpegSegments(
    Exiv2::byte *data, long size, const std::function<bool(const JpegSegment &)> &drop)
{
    QByteArray kept;
    long copiedTo = 0;
    bool dropped = false;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        if (!drop(segment))
            return;
        kept.append(reinterpret_cast<const char *>(data) + copiedTo, segment.start - copiedTo);
        copiedTo = segment.start + segment.length;
        dropped = true;
    });
    if (!dropped)
        return QByteArray();
    kept.append(reinterpret_cast<const char *>(data) + copiedTo, size - copiedTo);
    return kept;
}

QByteArray withoutJpegComments(Exiv2::byte *data, long size, std::string_view keptText)
{
    bool keptOne = keptText.empty();
    return withoutJpegSegments(data, size, [&](const JpegSegment &segment) {
        if (segment.marker != commentMarker)
            return false;
        // The library ends the comment it writes with a NUL.
        std::string_view text(
            reinterpret_cast<const char *>(segment.payload), std::size_t(segment.payloadSize));
        if (text.ends_with('\0'))
            text.remove_suffix(1);
        if (!keptOne && text == keptText) {
            keptOne = true;
            return false;
        }
        return true;
    });
}

bool holdsJpegComment(Exiv2::byte *data, long size)
{
    bool holds = false;
    forEachJpegSegment(
        data, size, [&](const JpegSegment &segment) { holds = holds || segment.marker == commentMarker; });
    return holds;
}

std::optional<JfifDensity> jfifDensity(Exiv2::byte *data, long size)
{
    constexpr Exiv2::byte app0 = 0xe0;
    std::optional<JfifDensity> found;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        ByteCursor payload(segment.payload, segment.payloadSize);
        if (found || segment.marker != app0 || !payload.startsWith(std::string_view("JFIF\0", 5)))
            return;
        payload.skip(7); // the name and the version
        const std::optional<uint8_t> unit = payload.byte();
        const std::optional<uint16_t> x = payload.uint16();
        const std::optional<uint16_t> y = payload.uint16();
        if (unit && x && y && *unit <= 2 && *x > 0 && *y > 0)
            found = JfifDensity { *unit, *x, *y };
    });
    return found;
}

} // namespace engine::bridge
