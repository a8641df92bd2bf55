// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"
#include "engine/walks/TiffDirectories.h"

#include <exiv2/image.hpp>

#include <optional>
#include <span>

// A thumbnail whose bytes run past the end of the Exif, where the file goes
// on and a reader still finds them: the library drops its bytes, yet keeps
// the thumbnail directory pointing where they were, at whatever the write
// puts there. So they travel into the written Exif, whatever they hold (a
// program that cut the Exif short leaves the pointer naming what follows
// it, which other readers take for the thumbnail all the same).
namespace engine::bridge {

// The bytes a reader takes for the thumbnail, where the thumbnail directory
// says, in the file, even past the Exif's own end; none where they do not
// lie within the file.
std::optional<std::span<const Exiv2::byte>> thumbnailBytes(
    std::span<const Exiv2::byte> file, const ExifInFile &exif);

// Hands the thumbnail to the write as those bytes when the library dropped
// them; the image's Exif must be the one about to be written.
void keepThumbnailAsStored(Exiv2::Image &image, const ImageKind &kind);

} // namespace engine::bridge
