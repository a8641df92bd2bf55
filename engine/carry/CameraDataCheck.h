// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"
#include "engine/carry/MakerNotes.h"

#include <exiv2/exif.hpp>

#include <span>

// The check a written file passes before it takes the original's place:
// the camera's data the user did not ask to change reads, byte for byte,
// as the original's does. The library rewrites what it decodes and drops
// what it cannot place; a photo it would damage is left as it was.
namespace engine::bridge {

// What of the camera's data the Exif handed to the library still holds,
// and so what the written file must keep as the original holds it.
struct KeptCameraData
{
    bool makerNote = false;
    bool thumbnail = false;
    bool interoperability = false;
    bool imageInteroperability = false;
};
KeptCameraData keptCameraData(const Exiv2::ExifData &handedOver);

// Compares, directory by directory and entry by entry, the maker note and
// everything it points to, the interoperability directory, the thumbnail
// and a multi-picture file's further pictures; throws, saying what would
// change, on any difference. A maker note that could not be read whole,
// which the write would move, fails too: what was not read may be anywhere.
// Where the note reads as its maker's layout says, the library's decoding
// of the written file (writtenExif) must agree with its decoding of the
// original as well. Reading the written note and comparing its values spend
// the file's budget; one that runs out fails too.
void checkCameraData(std::span<const Exiv2::byte> original, std::span<const Exiv2::byte> written,
    const ImageKind &kind, const KeptCameraData &kept, const CarriedMakerNote *carried,
    const Exiv2::ExifData &writtenExif, WalkBudget &budget);

} // namespace engine::bridge
