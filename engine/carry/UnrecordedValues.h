// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"

#include <exiv2/image.hpp>

#include <cstdint>
#include <vector>

// The Exif standard says that the first directory of a compressed
// picture's Exif records no photometric interpretation and no rows per
// strip, and the library leaves them out of the Exif it writes for one (a
// JPEG's, a PNG's, a Photoshop or WebP file's). Programs that save
// pictures write them all the same, and other readers show them. So each
// travels under a tag of no meaning, and takes its own again after the
// write.
namespace engine::bridge {

// An entry of the first directory that travelled under another tag.
struct StandIn
{
    uint16_t tag = 0;
    uint16_t standIn = 0;
};

// Hands the first directory's values the library leaves out to the write
// under tags of no meaning. The image's Exif must be the one about to be
// written.
std::vector<StandIn> keepUnrecordedValues(Exiv2::Image &image, const ImageKind &kind);

// After the write: gives each its own tag again, in the order of the
// directory's tags.
void placeUnrecordedValues(
    const std::vector<StandIn> &carried, Exiv2::byte *written, long size, const ImageKind &kind);

} // namespace engine::bridge
