// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/check/ExifInventory.h"
#include "engine/check/WhatMayChange.h"

#include <optional>
#include <string>

// The original's Exif beside the written file's: every directory the
// original holds is found by the same way in the written file, every entry
// in it with the same tag, type, count and value bytes, and every block it
// names with the same bytes, wherever the write put them; the maker note
// reads the same, but for the offsets in it, which a move changes. Only
// what the request lets differ may. Gives why the written file may not
// stand, as the result screen says it.
namespace engine::check {

std::optional<std::string> exifDifference(
    const ExifInventory &was, const ExifInventory &is, const WhatMayChange &allowed, Format format);

} // namespace engine::check
