// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/walks/TiffDirectories.h"
#include "engine/walks/WalkBudget.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The directories of a TIFF structure that the library reads, and lays out
// anew when it writes: the first four of the chain, the first directory's
// Exif and GPS directories and the Exif directory's interoperability
// directory, each found by the path that leads to it, so that a file's and
// its written copy's can be told apart path by path. What else the
// structure holds (further pages, sub-images, a maker's directories) the
// library does not lay out, or drops.
namespace engine::bridge {

// How many directories of the chain the library reads, and how many
// entries a directory may hold for the library to read it at all.
constexpr std::size_t chainTheLibraryReads = 4;
constexpr std::size_t mostEntriesTheLibraryReads = 256;

struct DirectoryPath
{
    enum class Branch : std::uint8_t { Chain, Exif, Gps, Interoperability };
    Branch branch = Branch::Chain;
    // Which of the chain's directories, for the chain's.
    std::uint8_t page = 0;

    bool operator==(const DirectoryPath &) const = default;
};

struct PlacedDirectory
{
    DirectoryPath path;
    TiffDirectory directory;
};

// The directories the library reads, in the order the paths lead to them;
// a pointer that names no directory, or one already found, leads nowhere.
// The walk spends the budget on each directory it reads, and stops where
// it runs out.
std::vector<PlacedDirectory> libraryDirectories(const TiffBytes &tiff, WalkBudget &budget);

// The directory the path leads to; none where it leads nowhere.
const TiffDirectory *directoryAt(const std::vector<PlacedDirectory> &directories, const DirectoryPath &path);

// The path a pointer entry of a directory leads to; none for an entry that
// is no pointer the library follows.
std::optional<DirectoryPath> pointedPath(const DirectoryPath &from, uint16_t tag);

// Whether the entry names data the library lays out anew with the
// directory (its picture's strips, tiles and thumbnail, its sub-images, a
// maker note, a DNG's private data), so that a written copy's offset for
// it says nothing of the original's.
bool namesLaidOutData(const DirectoryPath &in, uint16_t tag);

// The bytes [start, end) of the structure that something reads.
struct ByteRange
{
    std::size_t start = 0;
    std::size_t end = 0;
};

// What the directories and the data their entries name take of the
// structure: each directory's own bytes, each value outside its entry, and
// the strips, tiles and thumbnail their offsets name. The walk spends the
// budget on each range it reads; none when it runs out.
std::optional<std::vector<ByteRange>> rangesInUse(
    const TiffBytes &tiff, const std::vector<PlacedDirectory> &directories, WalkBudget &budget);

// Where the ranges in use lie, to tell which bytes nothing else reads.
class RangesInUse
{
public:
    explicit RangesInUse(std::vector<ByteRange> ranges);
    // Whether the range is in use once and overlaps nothing else in use:
    // bytes that a write may take back.
    bool alone(ByteRange range) const;

private:
    // By their start; and the furthest any of them up to each reaches.
    std::vector<ByteRange> m_ranges;
    std::vector<std::size_t> m_reach;
};

} // namespace engine::bridge
