// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"

#include <exiv2/image.hpp>

// Maker notes through a write. The library writes a maker note again from
// what it decoded of it, which loses what it does not decode (a Nikon
// scanner's settings directory); it decodes a DNG's private data as a
// maker note where the make says so, and writes that back changed, or, when
// it updates a TIFF-based file's directories in place, with no size at all.
namespace engine::bridge {

// Hands the file's DNG private data, and a maker note that counts its
// offsets from its own start (Nikon, Olympus, Fujifilm), to the write as
// the bytes the file holds, and has the library write a TIFF-based file's
// directories anew rather than in place. The image's Exif must be the one
// that is about to be written.
void keepMakerNotesAsStored(Exiv2::Image &image, const ImageKind &kind);

} // namespace engine::bridge
