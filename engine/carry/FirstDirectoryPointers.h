// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"

#include <exiv2/image.hpp>

#include <cstdint>
#include <vector>

// Some cameras name a directory from the first directory by an entry the
// library takes for a bare number: a drone's thermal camera its
// interoperability directory, a Kodak professional back a directory of
// Kodak's own. The library keeps the number and writes it pointing at
// whatever the write puts there. So each such directory travels as its
// bytes, with the values it holds, in the pointer's place, and the entry is
// made a pointer to them again after the write.
namespace engine::bridge {

// An entry of the first directory that the write handed over as the bytes
// of the directory it names, and the type it had.
struct FirstDirectoryPointer
{
    uint16_t tag = 0;
    uint16_t type = 0;
};

// Hands each directory the first directory names to the write as its
// bytes, when the Exif about to be written still holds its pointer. Throws,
// so that the file stays as it was, when the directory holds what its bytes
// cannot carry: a value outside the Exif, of no type, or a directory of
// its own.
std::vector<FirstDirectoryPointer> keepFirstDirectoryPointers(Exiv2::Image &image, const ImageKind &kind);

// After the write: makes each entry that carried a directory's bytes a
// pointer to them again, and the directory's offsets count from where it
// now stands.
void placeFirstDirectoryPointers(const std::vector<FirstDirectoryPointer> &carried, Exiv2::byte *written,
    long size, const ImageKind &kind);

} // namespace engine::bridge
