// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"
#include "engine/carry/DecodedMakerNote.h"
#include "engine/walks/MakerNoteWalk.h"

#include <exiv2/image.hpp>

#include <memory>
#include <optional>
#include <vector>

// Maker notes through a write. The library writes a maker note again from
// what it decoded of it, which loses or garbles what it does not decode
// whole (a Nikon scanner's settings directory, a Canon note another program
// moved without its offsets); it decodes a DNG's private data as a maker
// note where the make says so, and writes that back changed, or, when it
// updates a TIFF-based file's directories in place, with no size at all.
// So every note travels as the bytes the file holds.
namespace engine::bridge {

// Why a note whose directories, or the values they name, take more reading
// than the file's budget holds is left as it was.
inline constexpr const char *noteOverBudget = "its maker note names the same data over and over, more than a "
                                              "camera writes, so it cannot be read whole";

// A stretch [from, to) of the Exif's structure that the carried note's
// block holds, inBlock bytes after its start.
struct CarriedStretch
{
    std::size_t from = 0;
    std::size_t to = 0;
    std::size_t inBlock = 0;
};

// The maker note a write hands over as the file's bytes, as it was read
// there.
struct CarriedMakerNote
{
    MakerNoteReading reading;
    // Where the original's Exif lies in its file.
    std::size_t offsetInFile = 0;
    // What the library decoded of it.
    DecodedMakerNote decoded;
    // The bytes the reading's values lie in, where they are not the
    // original file's own (a PNG text chunk's).
    std::shared_ptr<const std::vector<Exiv2::byte>> exifBytes = {};
    // The stretches the block handed over holds, and its size.
    std::vector<CarriedStretch> stretches = {};
    std::size_t blockSize = 0;
};

// Hands the file's DNG private data and its maker note to the write as the
// bytes the file holds: the note with everything its entries point to past
// its own count, as one block, and has the library write a TIFF-based
// file's directories anew rather than in place. The image's Exif must be
// the one that is about to be written. Throws when the note points to data
// that cannot be carried with it, or its directories take more reading than
// the file's budget holds, so that the file stays as it was. Where the
// file's structure stays where it stands, the note does not move, and goes
// to the library as only the bytes its entry counts, which the finished
// file does not take from the library.
std::optional<CarriedMakerNote> keepMakerNotesAsStored(
    Exiv2::Image &image, const ImageKind &kind, WalkBudget &budget, bool inPlace = false);

// After the write: moves the carried note's offsets that count from the
// Exif's start (or the file's) by exactly as far as the write moved it, so
// that every reader finds each value where it found it before. Throws when
// finding where its values outside the Exif now stand takes more reading
// than the file's budget holds.
void placeCarriedMakerNote(const CarriedMakerNote &carried, std::span<const Exiv2::byte> original,
    Exiv2::byte *written, long size, const ImageKind &kind, WalkBudget &budget);

// How far each stretch of the carried note moved, where the written Exif
// holds its block at writtenAt: the differences its offsets may show.
std::vector<int64_t> carriedMoves(const CarriedMakerNote &carried, std::size_t writtenAt);

} // namespace engine::bridge
