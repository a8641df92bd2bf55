// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ExtendedXmp.h"

#include "engine/JpegSegments.h"

#include <cstring>

namespace engine::bridge {

namespace {

constexpr Exiv2::byte app1 = 0xe1;
constexpr char extension[] = "http://ns.adobe.com/xmp/extension/"; // then a NUL and the GUID
constexpr long guidSize = 32;

} // namespace

QByteArray withoutOrphanedExtendedXmp(Exiv2::byte *data, long size, const std::string &packet)
{
    QByteArray kept;
    long copiedTo = 0;
    bool dropped = false;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        if (segment.marker != app1 || segment.payloadSize < long(sizeof extension) + guidSize
            || std::memcmp(segment.payload, extension, sizeof extension) != 0)
            return;
        const std::string guid(reinterpret_cast<const char *>(segment.payload) + sizeof extension, guidSize);
        if (packet.find(guid) != std::string::npos)
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

} // namespace engine::bridge
