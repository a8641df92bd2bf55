// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/JpegSegments.h"

namespace engine::bridge {

bool forEachJpegSegment(Exiv2::byte *data, long size, const std::function<void(const JpegSegment &)> &visit)
{
    if (size < 4 || data[0] != 0xff || data[1] != 0xd8)
        return false;
    for (long at = 2; at + 4 <= size && data[at] == 0xff;) {
        const Exiv2::byte marker = data[at + 1];
        if (marker == 0xff) { // fill
            ++at;
            continue;
        }
        if (marker == 0xda || marker == 0xd9) // the image data, or its end
            break;
        const long length = long(data[at + 2]) << 8 | data[at + 3];
        if (length < 2 || at + 2 + length > size)
            break;
        visit({ marker, at, 2 + length, data + at + 4, length - 2 });
        at += 2 + length;
    }
    return true;
}

namespace {

constexpr Exiv2::byte commentMarker = 0xfe;

} // namespace

QByteArray withoutJpegComments(Exiv2::byte *data, long size)
{
    QByteArray kept;
    long copiedTo = 0;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        if (segment.marker != commentMarker)
            return;
        kept.append(reinterpret_cast<const char *>(data) + copiedTo, segment.start - copiedTo);
        copiedTo = segment.start + segment.length;
    });
    if (copiedTo == 0)
        return QByteArray();
    kept.append(reinterpret_cast<const char *>(data) + copiedTo, size - copiedTo);
    return kept;
}

bool holdsJpegComment(Exiv2::byte *data, long size)
{
    bool holds = false;
    forEachJpegSegment(
        data, size, [&](const JpegSegment &segment) { holds = holds || segment.marker == commentMarker; });
    return holds;
}

} // namespace engine::bridge
