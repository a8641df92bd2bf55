// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/walks/WalkBudget.h"

#include <exiv2/types.hpp>

#include <span>

// A multi-picture JPEG (a camera's larger preview, or the second picture of
// a pair, after the main one) indexes its further pictures in an APP2
// "MPF" segment by their offset from that segment's TIFF header. The
// library copies the pictures and the segment as they are, so every byte a
// write inserts or removes between the two leaves the index pointing off.
namespace engine::bridge {

// Moves the written file's index to where its further pictures now stand:
// after the main picture, where the write leaves them byte for byte, as
// far from the file's end as they were.
void placeFurtherPictures(
    std::span<const Exiv2::byte> original, std::span<Exiv2::byte> written, WalkBudget &budget);

} // namespace engine::bridge
