// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/BridgeFrame.h"
#include "engine/check/WriteRequest.h"

#include <exiv2/exif.hpp>
#include <exiv2/image.hpp>

#include <string>
#include <vector>

// What a write or a clean asked for, handed to the check of the whole
// written file as the plain data it reads: where each Exif value it set or
// removed stands, what a clean takes, which other groups may change, and
// the library's decoding of the maker note, a second reading of it beside
// the check's own.
namespace engine::bridge {

// The place of an Exif key's value ("Exif.Photo.FNumber": the Exif
// directory's tag 0x829d).
check::NamedTag namedTag(const Exiv2::ExifKey &key);

// Made from the image about to be written, before the write hands its
// maker note over as its bytes.
check::WriteRequest writtenFileRequest(const Exiv2::Image &image, const SavedContent &content);

} // namespace engine::bridge
