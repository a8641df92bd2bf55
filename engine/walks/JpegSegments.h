// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <exiv2/types.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

// The marker segments of a JPEG file ahead of its image data, for the few
// things the library leaves as it found them.
namespace engine::bridge {

struct JpegSegment
{
    Exiv2::byte marker = 0;
    long start = 0; // of the marker
    long length = 0; // from the marker to the segment's end
    Exiv2::byte *payload = nullptr;
    long payloadSize = 0;
};

// Calls visit with each segment up to the image data; false when the bytes
// are no JPEG file.
bool forEachJpegSegment(Exiv2::byte *data, long size, const std::function<void(const JpegSegment &)> &visit);

// The JPEG file without the segments drop names; null when it names none.
QByteArray withoutJpegSegments(
    Exiv2::byte *data, long size, const std::function<bool(const JpegSegment &)> &drop);

// The JPEG file without its comment segments (a file may hold several, of
// which the library reads and writes only the first) but for the first that
// holds the kept text, the one the library wrote; null when it holds no
// other.
QByteArray withoutJpegComments(Exiv2::byte *data, long size, std::string_view kept = {});
// Whether it holds any.
bool holdsJpegComment(Exiv2::byte *data, long size);

// The pixel density a JFIF header gives: its unit (0 for none, only the
// aspect ratio; 1 dots per inch; 2 per centimetre) and the two densities.
struct JfifDensity
{
    uint8_t unit = 0;
    uint16_t x = 0;
    uint16_t y = 0;
};
std::optional<JfifDensity> jfifDensity(Exiv2::byte *data, long size);

} // namespace engine::bridge
