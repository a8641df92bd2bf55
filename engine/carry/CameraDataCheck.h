// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"
#include "engine/carry/MakerNotes.h"

#include <exiv2/exif.hpp>

#include <span>

// The library's own reading of a carried maker note, beside the check of
// the whole written file (engine/check), which compares everything else
// the file holds with the original: where the library decodes the note as
// its maker's layout says, it must decode the written file's as it did the
// original's, or the photo is left as it was.
namespace engine::bridge {

// Throws, saying which value would change, where the library's decoding of
// the written note (writtenExif) differs from its decoding of the original
// but for the offsets the write moved with the note. Reading the written
// note spends the file's budget; one that runs out fails too.
void checkCameraData(std::span<const Exiv2::byte> written, const ImageKind &kind,
    const CarriedMakerNote *carried, const Exiv2::ExifData &writtenExif, WalkBudget &budget);

} // namespace engine::bridge
