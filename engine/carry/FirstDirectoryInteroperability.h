// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"

#include <exiv2/image.hpp>

// Some cameras (a drone's thermal camera) name the interoperability
// directory from the first directory rather than from the Exif directory.
// The library knows that directory only under the Exif directory: it keeps
// the first directory's pointer as a bare number and writes it pointing at
// whatever the write puts there. So the directory travels as its bytes in
// the pointer's place, and the entry is made a pointer to them again after
// the write.
namespace engine::bridge {

// Hands the directory the first directory names to the write as its bytes,
// when the Exif about to be written still holds its pointer. Throws, so
// that the file stays as it was, when the directory holds a value outside
// its entries, which its bytes alone cannot carry.
void keepFirstDirectoryInteroperability(Exiv2::Image &image, const ImageKind &kind);

// After the write: makes the entry that carried the directory's bytes a
// pointer to them again.
void placeFirstDirectoryInteroperability(Exiv2::byte *written, long size, const ImageKind &kind);

} // namespace engine::bridge
