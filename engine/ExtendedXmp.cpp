// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ExtendedXmp.h"

#include "engine/ByteCursor.h"
#include "engine/JpegSegments.h"

#include <optional>
#include <span>
#include <string_view>

namespace engine::bridge {

namespace {

constexpr Exiv2::byte app1 = 0xe1;
constexpr char extension[] = "http://ns.adobe.com/xmp/extension/"; // then a NUL and the GUID
constexpr std::size_t guidSize = 32;

} // namespace

QByteArray withoutOrphanedExtendedXmp(Exiv2::byte *data, long size, const std::string &packet)
{
    return withoutJpegSegments(data, size, [&](const JpegSegment &segment) {
        ByteCursor payload(segment.payload, segment.payloadSize);
        if (segment.marker != app1 || !payload.startsWith(std::string_view(extension, sizeof extension)))
            return false;
        payload.skip(sizeof extension);
        const std::optional<std::span<const Exiv2::byte>> guid = payload.bytes(guidSize);
        return guid
            && packet.find(reinterpret_cast<const char *>(guid->data()), 0, guid->size())
            == std::string::npos;
    });
}

} // namespace engine::bridge
