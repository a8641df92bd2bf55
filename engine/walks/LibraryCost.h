// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"
#include "engine/walks/WalkBudget.h"

#include <exiv2/types.hpp>

#include <optional>
#include <span>
#include <string>

// What the library would join, walk or copy to read a file, counted from
// the file's bytes before it parses them. The library reads most files in
// time and memory in proportion to their bytes, but not all: it joins a
// JPEG's Photoshop segments one at a time and checks the joined block
// after each, in time growing as the square of their number; it reads a
// WebP's EXIF chunks into one list it searches as it goes, in time growing
// as the square of theirs; and it copies the value of every entry of a
// TIFF structure's directories and of a maker note it knows, so that 250
// entries naming one block of a megabyte cost it 250 MB. A file past what
// any photo comes near is not handed to it at all.
namespace engine::bridge {

// Why the library should not read the file, as the photo's listing says
// it; none when it reads it in proportion to its bytes. The walk spends
// the file's budget; one that runs out takes the file for one the library
// should not read.
std::optional<std::string> beyondTheLibrary(
    std::span<const Exiv2::byte> file, const ImageKind &kind, WalkBudget &budget);

} // namespace engine::bridge
