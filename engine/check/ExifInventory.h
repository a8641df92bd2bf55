// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/check/ByteView.h"
#include "engine/check/FileLayout.h"
#include "engine/check/MakerNoteReadings.h"
#include "engine/check/WriteRequest.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Everything a file's Exif holds, as the check reads it: every directory of
// every chain (all pages, their sub-images however deep, the Exif, GPS and
// interoperability directories, a maker's own directories the others name,
// the maker note where it plainly is one), each entry's tag, type, count
// and value bytes, and every block an entry names (strips, tiles,
// thumbnails, previews) as its bytes. Each directory is named by the way
// to it from the first, not by where it lies, so that the original's and
// the written file's inventories compare wherever the write put things.
namespace engine::check {

enum class DirectoryKind : std::uint8_t {
    Page,
    SubImage,
    Exif,
    Gps,
    Interoperability,
    // A directory of the camera maker's own that another names (a Kodak
    // back's, named from the first directory).
    MakersOwn,
    MakerNote,
    // A further directory of the maker note.
    NoteDirectory,
    // A raw file's header naming its raw picture's directory.
    RawHeader,
};

struct Entry
{
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    // Of a type TIFF defines, so that its value can be found.
    bool typed = true;
    ByteSpan value = {};
    // Whether its value lies outside the entry, and where its offset
    // stands in the Exif's structure.
    bool outOfLine = false;
    std::uint64_t fieldAt = 0;
    enum class Names : std::uint8_t { Nothing, Directories, Blocks, MakerNote } names = Names::Nothing;
    // A number the check found to name a directory of the maker's own,
    // where no table says so.
    bool foundPointer = false;
    // Whether its value is itself the directory it names.
    bool inlined = false;
    // For a number that names a place in the maker note: where, from the
    // note's start.
    std::optional<std::uint64_t> inNote = {};
    std::vector<std::string> directories = {};
    // The blocks it names; none for one past where it may lie.
    std::vector<ByteSpan> blocks = {};
};

struct Directory
{
    std::string path;
    DirectoryKind kind = DirectoryKind::Page;
    // The page it belongs to, and a sub-image's number among its page's.
    std::uint16_t page = 1;
    std::uint16_t index = 0;
    Order order = Order::Little;
    std::vector<Entry> entries = {};

    // Where each tag's entries stand, the first and any later ones, by the
    // tag and its count before (made by indexEntries once they are all
    // read); and each entry's own key.
    std::vector<std::pair<std::uint64_t, std::size_t>> byTag = {};
    std::vector<std::uint64_t> keys = {};

    // The entry of the tag, the first or a later one of the same tag.
    const Entry *find(std::uint16_t tag, std::size_t occurrence = 0) const;
    // The same entry in another directory: the same tag, as many of it
    // before it.
    const Entry *counterpart(const Directory &other, std::size_t at) const;
    void indexEntries();
};

struct MakerNote
{
    std::uint64_t at = 0;
    ByteSpan bytes;
    // None where the note is read as its bytes alone.
    std::optional<NoteReading> reading = {};
    // Where, in the note, numbers stand that are offsets, which a move may
    // change.
    std::vector<std::uint64_t> offsets = {};
    // How far from the note its footer says it stood.
    std::optional<std::int64_t> footerDistance = {};
    // Why it cannot be read whole, where it cannot: which matters only
    // where it is to stay.
    std::optional<std::string> unreadable = {};
};

struct ExifInventory
{
    std::vector<Directory> directories;
    std::optional<MakerNote> makerNote;
    // The camera's make, and whether the file holds raw sensor data.
    std::string make;
    bool raw = false;
    std::uint16_t pages = 0;
    // Why the Exif cannot be read whole, where it cannot.
    std::optional<std::string> unreadable;

    const Directory *find(std::string_view path) const;
    void add(Directory directory);

private:
    std::unordered_map<std::string, std::size_t> m_byPath;
};

// The inventory of the Exif at place in the file. The written file's is
// read as the original's was: its maker note in the same reading, and the
// numbers the original's reading found to name directories read as such.
ExifInventory inventoryOf(const ExifPlace &place, ByteSpan file, ReadBudget &budget,
    std::span<const DecodedNoteValue> decoded, const ExifInventory *original = nullptr);

// As the result screen names the maker: "Kodak".
std::string makerName(const ExifInventory &inventory);

} // namespace engine::check
