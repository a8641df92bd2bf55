// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

// What a write or a clean was asked to change, as the check of the whole
// written file needs to know it: plain data, which the writing hands over
// without sharing any code or table with the check.
namespace engine::check {

// The directory an Exif value stands in, as the library groups the values.
enum class Place : std::uint8_t {
    // A page's own directory: the first, the second (a JPEG's thumbnail's),
    // and so on.
    Page,
    Exif,
    Gps,
    Interoperability,
    // A directory the first page's SubIFDs entry names.
    SubImage,
    MakerNote,
};

struct NamedTag
{
    Place place = Place::Page;
    // A page's number, or a sub-image's, counted from 1.
    std::uint16_t index = 1;
    std::uint16_t tag = 0;

    bool operator==(const NamedTag &) const = default;
};

// A value of the original's maker note as the library decodes it, its
// numbers in little-endian order: a second reading of the note, where the
// library knows its maker's layout.
struct DecodedNoteValue
{
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::vector<std::uint8_t> bytes;
};

struct WriteRequest
{
    // The Exif values a write set or removed (a copy another program keeps
    // of one in the other of the first and the Exif directory follows it).
    std::vector<NamedTag> written;
    // What a clean takes: the general Exif (all but the position, the
    // orientation, the user comment and what the picture needs), the
    // orientation, the GPS position, the user comment. A write that empties
    // the values it does not name takes all four.
    bool exifTaken = false;
    bool orientationTaken = false;
    bool gpsTaken = false;
    bool commentTaken = false;
    // Whether the IPTC, the XMP and the file's own comment may change.
    bool iptcMayChange = false;
    bool xmpMayChange = false;
    bool commentMayChange = false;
    std::vector<DecodedNoteValue> decodedNote;
};

} // namespace engine::check
