// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The TIFF and Exif tags and types the check reads by number, in one place
// for the inventory and for the rules of what a write may change.
namespace engine::check::tags {

inline constexpr std::uint16_t photometric = 0x0106;
inline constexpr std::uint16_t make = 0x010f;
inline constexpr std::uint16_t model = 0x0110;
inline constexpr std::uint16_t orientation = 0x0112;
inline constexpr std::uint16_t xResolution = 0x011a;
inline constexpr std::uint16_t yResolution = 0x011b;
inline constexpr std::uint16_t resolutionUnit = 0x0128;
inline constexpr std::uint16_t subImages = 0x014a;
inline constexpr std::uint16_t thumbnail = 0x0201;
inline constexpr std::uint16_t exif = 0x8769;
inline constexpr std::uint16_t gps = 0x8825;
inline constexpr std::uint16_t exifVersion = 0x9000;
inline constexpr std::uint16_t userComment = 0x9286;
inline constexpr std::uint16_t makerNote = 0x927c;
inline constexpr std::uint16_t pixelWidth = 0xa002;
inline constexpr std::uint16_t pixelHeight = 0xa003;
inline constexpr std::uint16_t interoperability = 0xa005;
inline constexpr std::uint16_t dngVersion = 0xc612;

inline constexpr std::uint16_t shortType = 3;
inline constexpr std::uint16_t longType = 4;
inline constexpr std::uint16_t undefinedType = 7;
inline constexpr std::uint16_t signedLongType = 9;
inline constexpr std::uint16_t directoryType = 13;

} // namespace engine::check::tags
