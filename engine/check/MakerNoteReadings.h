// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/check/ByteView.h"
#include "engine/check/WriteRequest.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// How the check reads a maker note as a directory: the makers' layouts it
// knows (where the directory starts, where its offsets count from, its byte
// order, which entries name further directories and pictures), and, for a
// note no layout settles, the one reading every entry of which is
// plausible, or that the library's own decoding confirms. A note that reads
// plausibly in no way and of no known maker is only its bytes.
namespace engine::check {

// Where the note's offsets count from.
enum class NoteBase : std::uint8_t {
    // The Exif's TIFF header.
    Tiff,
    // The note's first byte.
    NoteStart,
    // A TIFF header inside the note.
    InnerHeader,
    // Where its footer says the note stood when its offsets were written.
    Footer,
};

// An entry of one of the note's directories that names a block (a
// preview) by its offset, with the entry giving its length.
struct NoteBlock
{
    // The sub-directory's tag; 0 for the note's first directory.
    std::uint16_t directory = 0;
    std::uint16_t offsetTag = 0;
    // None where the data says its own length.
    std::uint16_t lengthTag = 0;
    // Whether the offset counts from the file's start rather than as the
    // note's others do.
    bool fromFileStart = false;
};

// An entry that names a further directory of the note: by its offset, or
// as the directory's own bytes, at bytes into them, after a header.
struct NoteSubDirectory
{
    std::uint16_t tag = 0;
    std::string_view header = {};
    std::uint16_t at = 0;
};

struct NoteLayout
{
    // As a person names the maker.
    std::string_view maker;
    // The note's first bytes; empty for a bare directory, told by the make.
    std::string_view signature = {};
    std::string_view make = {};
    enum class Start : std::uint8_t {
        // at bytes after the note's start.
        Fixed,
        // Where the TIFF header at `at` says.
        InnerHeader,
        // Where a little-endian number at `at` says.
        LittleOffset,
        // The note is no directory: only its bytes.
        None,
    } start = Start::Fixed;
    std::uint16_t at = 0;
    NoteBase base = NoteBase::Tiff;
    // Where "II" or "MM" stands, or whether the note is always little-endian;
    // else the Exif's own order.
    std::optional<std::uint16_t> orderMark = {};
    bool littleEndian = false;
    // Whether it may end with a TIFF header mark and its own offset.
    bool footer = false;
    std::span<const NoteSubDirectory> subDirectories = {};
    std::span<const NoteBlock> blocks = {};
};

struct NoteReading
{
    // None for a note of a maker no layout knows.
    const NoteLayout *layout = nullptr;
    // Where the first directory starts in the note.
    std::uint64_t directoryAt = 0;
    Order order = Order::Little;
    NoteBase base = NoteBase::Tiff;
    // Where the TIFF header inside the note starts, for its base.
    std::uint64_t innerAt = 0;

    bool operator==(const NoteReading &) const = default;
};

// The layout the note's first bytes, or the camera's make, tell.
const NoteLayout *noteLayout(ByteView note, std::string_view make);

// The offset the note's footer gives, where it ends with one.
std::optional<std::uint32_t> footerOffset(ByteView note);

// Where the reading's offsets count from, as an offset in the Exif's
// structure, for a note that stands at noteAt there.
std::optional<std::int64_t> baseOf(const NoteReading &reading, ByteView note, std::uint64_t noteAt);

// Where, as offsets in the Exif's structure, a note's values may lie: the
// structure, and the file around it.
struct NotePlace
{
    ByteView structure;
    std::uint64_t noteAt = 0;
    ByteView note;
    // The file's extent around the structure: from -before to after.
    std::int64_t fileStart = 0;
    std::int64_t fileEnd = 0;
};

struct NoteChoice
{
    // None where the note is only its bytes.
    std::optional<NoteReading> reading = {};
    // Why the note cannot be read, where it cannot.
    std::optional<std::string> unreadable = {};
};

// How the original's note reads.
NoteChoice chooseReading(const NotePlace &place, std::string_view make,
    std::span<const DecodedNoteValue> decoded, ReadBudget &budget);

// The size of one value of a TIFF type; 0 for a type TIFF does not define.
std::uint64_t typeSize(std::uint16_t type);

} // namespace engine::check
