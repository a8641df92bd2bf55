// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/IptcAsRead.h"
#include "engine/walks/WalkBudget.h"

#include <exiv2/types.hpp>

#include <span>
#include <vector>

// What other programs and cameras append to a JPEG after its picture,
// found from the file's end, one trailer before the other:
// - an "AXS" trailer, where another program keeps IPTC: it ends with
//   "AXS!" ("AXS*" in little-endian order), where it starts and four bytes,
//   and begins with the same mark, its version, how many entries it has
//   and four bytes, then each entry's name, size and offset from the file's
//   start. A write that changes the size of what comes before moves the
//   trailer but not its offsets, so they count from where its beginning is
//   found.
// - a trailer of records, each ending with its kind (1 is IPTC), its size
//   and the mark 0xa1b2c3d4.
// - a phone camera's trailer (the date taken, a second picture, a video):
//   it ends with the size of its directory and "SEFT"; the directory
//   ("SEFH", its version and count) gives each entry's kind, its distance
//   back from the directory and its size.
// The library copies what follows the picture as it is, and so does
// Calvorn: the trailers stay byte for byte.
namespace engine::bridge {

struct JpegTrailers
{
    // The IPTC datasets they hold.
    std::vector<StoredDataset> iptc;
    // Whether a camera's trailer is among them.
    bool cameraData = false;
    // A trailer ends as one of these but does not parse, or the IPTC in it
    // does not: it may hold more than is found.
    bool unreadable = false;
};

// Of the file's bytes, within those after imageStart (the image's segments),
// spending the file's budget on the entries and IPTC it reads: a trailer
// that takes more is taken for unreadable.
JpegTrailers jpegTrailers(std::span<const Exiv2::byte> file, std::size_t imageStart, WalkBudget &budget);

} // namespace engine::bridge
