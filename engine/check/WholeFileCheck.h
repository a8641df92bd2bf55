// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/check/WriteRequest.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The check a written file passes before it takes the original's place, in
// place or as a copy: an inventory of the original's bytes beside one of
// the written file's, each taken by a reading of the whole file that shares
// nothing with the writing. What the request names may differ, and what a
// new Exif directory needs; everything else reads the same: every part of
// the file beside its Exif, every directory of every chain, every entry
// and every block an entry names, wherever the write moved it. A file the
// check cannot read whole (cut short, a value past where it may lie, a
// directory or a maker note that does not read plausibly) is refused too:
// what was not read may be lost.
//
// This library links nothing of the writing; the writing is handed it as a
// function (see MetadataOperation).
namespace engine::check {

// Why the written file may not take the original's place, as the result
// screen says it to a person; none when it may.
std::optional<std::string> refusal(std::span<const std::uint8_t> original,
    std::span<const std::uint8_t> written, const WriteRequest &request);

} // namespace engine::check
