// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/walks/MakerNoteLayouts.h"
#include "engine/walks/TiffDirectories.h"
#include "engine/walks/WalkBudget.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// A maker note as its layout reads it from the file's bytes: the bytes it
// spans with everything its entries point to, the numbers in it that are
// offsets, and every value it holds, for a write to carry it whole and for
// the check after the write to compare it with the original, entry by entry.
namespace engine::bridge {

// One value of the note: its entry and the bytes it holds, or, for an
// entry that names a directory or data elsewhere, the bytes found there.
struct MakerNoteValue
{
    // Which of the note's directories, in the order they were found.
    std::size_t directory = 0;
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    std::span<const Exiv2::byte> bytes;

    bool operator==(const MakerNoteValue &other) const;
};

struct MakerNoteExtent
{
    std::size_t start = 0; // where the note starts in the Exif's structure
    std::size_t count = 0; // the bytes its entry counts
    std::size_t end = 0; // where what it and its entries span ends
    // What its entries point to past its own count; the rest of the bytes
    // up to its end are other structures' and carry no value of the note.
    std::vector<std::pair<std::size_t, std::size_t>> beyondCount;
};

// A value of the note that lies in the file but outside the Exif's
// structure (a camera's preview after the picture, in a JPEG), which a write
// does not carry with the note: its offset is set to where the write leaves
// the value.
struct OutsideValue
{
    // Where its offset stands, from the note's start.
    std::size_t offsetAt = 0;
    // Where the value lies, from the structure's start, and its size.
    int64_t at = 0;
    std::size_t size = 0;
    // What its offset counts from, from the structure's start: a fixed
    // place (the TIFF header, or where another program left the note's
    // base), a place in the note, or the file's start.
    int64_t from = 0;
    enum class Counting : std::uint8_t { Fixed, InNote, FileStart } counting = Counting::Fixed;
};

struct MakerNoteReading
{
    // None for a note that reads as no TIFF directory: only its bytes are
    // known.
    const MakerNoteLayout *layout = nullptr;
    MakerNoteExtent extent;
    // What its offsets count from: as its layout says, or, where its values
    // do not land there, what they land on.
    OffsetBase counting = OffsetBase::TiffHeader;
    // Where its offsets count from, in the structure; for a note whose
    // offsets were off by a constant when it came in (another program moved
    // it without them), that constant is part of it.
    int64_t base = 0;
    // The order its directories read in, which need not be its file's, nor
    // what its own mark says.
    Exiv2::ByteOrder order = Exiv2::littleEndian;
    // Where the numbers that are offsets stand, from the note's start: those
    // that count as its other offsets do, and those that count from the
    // file's start.
    std::vector<std::size_t> offsets;
    std::vector<std::size_t> fileOffsets;
    std::vector<OutsideValue> outside;
    std::vector<MakerNoteValue> values;
    // Whether every entry's value was found where its offset says, so that
    // its values are all the note holds; what could not be reached may be
    // anywhere, and is lost when the note moves.
    bool whole = false;
    // Whether it reads as its layout says, in the order and from the base
    // the layout gives, as the library reads the makers' notes it knows.
    bool asItsLayoutSays = false;

    bool movesWithItsOffsets() const { return layout && counting == OffsetBase::TiffHeader; }
};

// Where the Exif's structure lies in its file, and where the file ends, as
// an offset from the structure's start: what lies past it no reader finds.
struct StructurePlace
{
    std::size_t offsetInFile = 0;
    uint64_t fileEnd = 0;
    // The file around the structure, where readers find values outside it
    // (a JPEG's); empty where they find none.
    std::span<const Exiv2::byte> file = {};
};

// Reads the note that starts at start in the Exif's structure and counts
// count bytes. Its
// byte order is the one its first directory plausibly reads in; a note of
// a maker no layout knows is read as a bare directory whose values count
// from where they land. None when what it points to cannot be carried with
// it: data before its start that no constant explains, or data of no known
// length outside it; or when its directories take more reading than the
// file's budget holds (budget.spent() tells).
std::optional<MakerNoteReading> readMakerNote(const TiffBytes &exif, const StructurePlace &place,
    std::size_t start, std::size_t count, std::string_view make, WalkBudget &budget);

// Reads the note a write carried, now at start in the written Exif, as the
// original was read: by the same layout, order and base, with the offsets
// that count from the Exif's start moved with it, and the constant they
// were off by kept. None when it no longer reads as a plausible directory,
// or the budget runs out.
std::optional<MakerNoteReading> readCarriedMakerNote(const MakerNoteReading &original, const TiffBytes &exif,
    const StructurePlace &place, std::size_t start, std::size_t count, WalkBudget &budget);

// What the entries of the note that starts at start and counts count bytes
// name within the structure in all, as often as they name them (each
// directory read once), read by its maker's layout in the order its first
// directory plausibly reads in: what a reader that copies each value of a
// note it knows copies. 0 for a note of no known layout, which such a
// reader takes as its bytes.
uint64_t makerNoteNamedBytes(
    const TiffBytes &exif, std::size_t start, std::size_t count, std::string_view make, WalkBudget &budget);

// The note the Exif directory holds, when it holds one that lies within
// the structure.
std::optional<std::pair<std::size_t, std::size_t>> makerNoteEntry(const TiffBytes &exif);

} // namespace engine::bridge
