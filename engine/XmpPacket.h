// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exiv2/image.hpp>
#include <exiv2/xmp_exiv2.hpp>

// The XMP packet as the file holds it, for writes that leave XMP alone.
namespace engine::bridge {

// True when the file holds an XMP packet that the library cannot parse, so
// its values are not among the image's XMP data.
bool hasUnreadableXmp(const Exiv2::Image &image);
// True when the file holds an XMP packet, readable or not.
bool holdsXmpPacket(const Exiv2::Image &image);
// The write puts the packet back byte for byte, parsed or not.
void keepXmpAsItIs(Exiv2::Image &image);
// Removes the arrays and structures whose items and fields are all gone.
void dropEmptyContainers(Exiv2::XmpData &xmp);
// The write leaves no XMP at all, whichever way the format writes it.
void removeXmp(Exiv2::Image &image);

} // namespace engine::bridge
