// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exiv2/types.hpp>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// How each camera maker lays out its maker note: how the note is known, where
// its directory starts, where its offsets count from, and which of its
// entries name data elsewhere (further directories, a preview picture).
// A write carries the note as the bytes the file holds and moves its
// offsets by as far as it moved the note; this table is what it needs to
// know to do so, maker by maker, and what the check after the write reads
// the note by.
namespace engine::bridge {

// Where a maker note's offsets count from.
enum class OffsetBase : std::uint8_t {
    // The Exif's TIFF header, as the file's own directories do: the note
    // must move with its offsets.
    TiffHeader,
    // The note's own start, or a TIFF header inside it: the note reads
    // the same wherever it stands.
    NoteStart,
    InnerTiffHeader,
    // Each entry's own start.
    EachEntry,
};

// Where the note's directory starts.
enum class DirectoryStart : std::uint8_t {
    // A fixed count of bytes after the note's start.
    Fixed,
    // Where a little-endian offset at byte 8 of the note says.
    OffsetAtEight,
    // Where the TIFF header at byte `at` says.
    InnerTiffHeader,
};

// Where the note's byte order comes from.
enum class NoteByteOrder : std::uint8_t {
    // The Exif's own.
    File,
    // "II" or "MM" at byte `orderAt`; the Exif's own when neither.
    Marked,
    LittleEndian,
};

// An entry whose number is the offset of data elsewhere, as the note's
// other offsets count, with the entry giving its length (0 when the data
// says its own length or none gives it).
struct DataPointer
{
    uint16_t offsetTag = 0;
    uint16_t lengthTag = 0;
    // The offset counts from the file's start rather than as the note's
    // other offsets do.
    bool fromFileStart = false;
};

// An entry that holds a further directory of the note: as its offset, or as
// the directory's own bytes, `at` bytes after the header they start with.
struct SubDirectory
{
    uint16_t tag = 0;
    std::string_view header = {};
    std::size_t at = 0;
};

struct MakerNoteLayout
{
    // The bytes the note starts with; empty for a note that is a bare
    // directory, told by the make.
    std::string_view signature = {};
    // The start of the camera's make (any case) for a bare directory.
    std::string_view make = {};
    DirectoryStart directoryStart = DirectoryStart::Fixed;
    std::size_t at = 0;
    OffsetBase base = OffsetBase::TiffHeader;
    NoteByteOrder order = NoteByteOrder::File;
    std::size_t orderAt = 0;
    // Whether its directories end with a next directory's offset.
    bool nextOffset = true;
    // Whether the note may end with a TIFF header mark and its own offset,
    // by which readers tell that it moved.
    bool footer = false;
    std::span<const SubDirectory> directories = {};
    std::span<const DataPointer> pointers = {};

    // Whether a row of the table knows it, rather than a guess at an
    // unknown maker's.
    constexpr bool known() const { return !signature.empty() || !make.empty(); }
};

// The layout the note's first bytes and the camera's make tell; none for a
// note of a layout this table does not know, which a write carries as the
// bytes it counts.
const MakerNoteLayout *makerNoteLayout(std::span<const Exiv2::byte> note, std::string_view make);

// How a note no row knows may be read: as a directory, bare or after a
// header of its maker's of up to 32 bytes, whose values count from the TIFF
// header or from the note's own start, whichever they land on. The first
// is the bare directory.
std::span<const MakerNoteLayout> unknownMakerLayouts();

} // namespace engine::bridge
