// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/MakerNotes.h"

#include "engine/carry/JpegPlaces.h"
#include "engine/walks/ExifContainers.h"
#include "engine/walks/TiffDirectories.h"

#include <exiv2/error.hpp>
#include <exiv2/exif.hpp>
#include <exiv2/tags.hpp>

#include <algorithm>
#include <vector>

namespace engine::bridge {

namespace {

constexpr uint16_t dngPrivateDataTag = 0xc634;

bool isDecodedMakerNote(const Exiv2::Exifdatum &datum)
{
    const std::string group = datum.groupName();
    return group == "MakerNote" || Exiv2::ExifTags::isMakerGroup(group);
}

void eraseDecodedMakerNotes(Exiv2::ExifData &exif)
{
    for (auto datum = exif.begin(); datum != exif.end();)
        datum = isDecodedMakerNote(*datum) ? exif.erase(datum) : std::next(datum);
}

void setBytes(Exiv2::ExifData &exif, const char *key, uint16_t type, std::span<const Exiv2::byte> bytes)
{
    const Exiv2::Value::AutoPtr value
        = Exiv2::Value::create(type == 1 ? Exiv2::unsignedByte : Exiv2::undefined);
    value->read(bytes.data(), long(bytes.size()), Exiv2::invalidByteOrder);
    exif[key].setValue(value.get());
}

// The note and what its entries point to past its count, as one block.
// A note whose offsets count from the TIFF header, as the structure's
// own do, takes each stretch its entries point to right after the one
// before, where it stands in the structure on an even byte where it did,
// so that no other structure's bytes travel with it (a thumbnail between
// the note and a preview after it would take room in the Exif twice); its
// offsets are set to where each stretch goes. Any other note reads its
// values where they stand from its own start, so the block spans them as
// they stand, the bytes between that are other structures' left out as
// zeros.
std::pair<std::vector<Exiv2::byte>, std::vector<CarriedStretch>> blockOf(
    const TiffBytes &exif, const MakerNoteReading &reading)
{
    const MakerNoteExtent &extent = reading.extent;
    const std::span<const Exiv2::byte> all = exif.bytes();
    if (!reading.movesWithItsOffsets()) {
        std::vector<Exiv2::byte> block(extent.end - extent.start, 0);
        std::copy_n(all.begin() + long(extent.start), extent.count, block.begin());
        for (const auto &[from, to] : extent.beyondCount)
            std::copy(
                all.begin() + long(from), all.begin() + long(to), block.begin() + long(from - extent.start));
        return { std::move(block), { { extent.start, extent.end, 0 } } };
    }
    std::vector<std::pair<std::size_t, std::size_t>> stretches = extent.beyondCount;
    std::sort(stretches.begin(), stretches.end());
    std::vector<Exiv2::byte> block(
        all.begin() + long(extent.start), all.begin() + long(extent.start + extent.count));
    std::vector<CarriedStretch> placed { { extent.start, extent.start + extent.count, 0 } };
    for (const auto &[from, to] : stretches) {
        CarriedStretch &last = placed.back();
        if (from < last.to) {
            // Overlapping the one before: it grows by what lies past it.
            if (to > last.to) {
                block.insert(block.end(), all.begin() + long(last.to), all.begin() + long(to));
                last.to = to;
            }
            continue;
        }
        if ((block.size() & 1) != (from & 1))
            block.push_back(0);
        placed.push_back({ from, to, block.size() });
        block.insert(block.end(), all.begin() + long(from), all.begin() + long(to));
    }
    return { std::move(block), std::move(placed) };
}

[[noreturn]] void overBudget()
{
    throw Exiv2::Error(Exiv2::kerErrorMessage,
        std::string("the camera's data would not survive the write: ") + noteOverBudget);
}

[[noreturn]] void cannotCarry(const WalkBudget &budget)
{
    if (budget.spent())
        overBudget();
    throw Exiv2::Error(Exiv2::kerErrorMessage,
        "the camera's data would not survive the write: its maker note points to data that cannot be carried "
        "with it");
}

void addToNumber(Exiv2::byte *at, int64_t moved, Exiv2::ByteOrder order)
{
    const uint32_t number = Exiv2::getULong(at, order);
    Exiv2::ul2Data(at, uint32_t(int64_t(number) + moved), order);
}

} // namespace

std::optional<CarriedMakerNote> keepMakerNotesAsStored(
    Exiv2::Image &image, const ImageKind &kind, WalkBudget &budget, bool inPlace)
{
    Exiv2::BasicIo &io = image.io();
    if (io.open() != 0)
        return std::nullopt;
    Exiv2::IoCloser closer(io);
    const std::span<const Exiv2::byte> file(io.mmap(false), std::size_t(io.size()));
    const std::optional<ExifInFile> exifFound = exifOfImage(file, kind);
    if (!exifFound) {
        io.munmap();
        return std::nullopt;
    }
    const TiffBytes &tiff = exifFound->tiff;
    Exiv2::ExifData &exif = image.exifData();
    const ExifDirectories directories = exifDirectories(tiff);
    const std::optional<std::pair<std::size_t, std::size_t>> note = makerNoteEntry(tiff);
    const TiffEntry *privateData
        = kind.tiffBased && directories.image ? directories.image->find(dngPrivateDataTag) : nullptr;
    const std::optional<std::span<const Exiv2::byte>> privateBytes
        = privateData ? tiff.value(*privateData) : std::nullopt;

    // Only what the Exif about to be written still holds.
    const bool decoded = std::any_of(exif.begin(), exif.end(), isDecodedMakerNote);
    const bool holdsNote = decoded || exif.findKey(Exiv2::ExifKey("Exif.Photo.MakerNote")) != exif.end();
    const bool keepsPrivateData = privateBytes
        && ((decoded && !note) || exif.findKey(Exiv2::ExifKey("Exif.Image.DNGPrivateData")) != exif.end());
    std::optional<CarriedMakerNote> carried;
    if (note && holdsNote && inPlace) {
        eraseDecodedMakerNotes(exif);
        setBytes(exif, "Exif.Photo.MakerNote", directories.photo->find(makerNoteTiffTag)->type,
            *tiff.slice(note->first, note->second));
    } else if (note && holdsNote) {
        std::optional<MakerNoteReading> reading = readMakerNote(tiff,
            { exifFound->offsetInFile, exifFound->fileEnd(file.size()),
                kind.jpeg ? file : std::span<const Exiv2::byte>() },
            note->first, note->second, cameraMake(exif), budget);
        if (!reading) {
            io.munmap();
            cannotCarry(budget);
        }
        const uint16_t type = directories.photo->find(makerNoteTiffTag)->type;
        auto [block, stretches] = blockOf(tiff, *reading);
        // The library's reading is compared only where it reads the note
        // as its layout says.
        DecodedMakerNote decodedNote
            = reading->asItsLayoutSays ? decodedMakerNote(exif) : DecodedMakerNote {};
        eraseDecodedMakerNotes(exif);
        setBytes(exif, "Exif.Photo.MakerNote", type, block);
        carried = CarriedMakerNote { std::move(*reading), exifFound->offsetInFile, std::move(decodedNote),
            exifFound->decoded, std::move(stretches), block.size() };
    } else if (keepsPrivateData && decoded) {
        eraseDecodedMakerNotes(exif);
    }
    if (keepsPrivateData)
        setBytes(exif, "Exif.Image.DNGPrivateData", privateData->type, *privateBytes);
    io.munmap();
    // A tag of the library's own maker note group, which it never writes:
    // with a tag left over, it lays the directories out anew.
    if (kind.tiffBased && !inPlace && (carried || keepsPrivateData))
        exif.add(Exiv2::ExifKey("Exif.MakerNote.0xffff"), Exiv2::Value::create(Exiv2::undefined).get());
    return carried;
}

void placeCarriedMakerNote(const CarriedMakerNote &carried, std::span<const Exiv2::byte> original,
    Exiv2::byte *written, long size, const ImageKind &kind, WalkBudget &budget)
{
    const std::span<Exiv2::byte> file(written, std::size_t(std::max(size, 0L)));
    const std::optional<ExifInFile> exif = exifOfImage(file, kind);
    const std::optional<std::pair<std::size_t, std::size_t>> note
        = exif && !exif->decoded ? makerNoteEntry(exif->tiff) : std::nullopt;
    const MakerNoteReading &reading = carried.reading;
    const std::size_t start = reading.extent.start;
    // Gone, or not the block handed over: the check after the write tells.
    if (!note || note->second != carried.blockSize)
        return;
    const int64_t moved = int64_t(note->first) - int64_t(start);
    const int64_t movedInFile = moved + int64_t(exif->offsetInFile) - int64_t(carried.offsetInFile);
    Exiv2::byte *block = written + exif->offsetInFile + note->first;
    // Where a place in the original structure stands in the written one:
    // in the stretch of the block that holds it, else as far on as the
    // note moved.
    const auto now = [&](int64_t at) {
        // The stretches lie apart, in the order of where they stood.
        const auto after = std::upper_bound(carried.stretches.begin(), carried.stretches.end(), at,
            [](int64_t place, const CarriedStretch &stretch) { return place < int64_t(stretch.from); });
        if (after == carried.stretches.begin() || at >= int64_t(std::prev(after)->to))
            return at + moved;
        const CarriedStretch &stretch = *std::prev(after);
        return int64_t(note->first + stretch.inBlock) + at - int64_t(stretch.from);
    };
    // Where a field the note's reading found, counted from its start,
    // stands in the block; none where it lies in no stretch or past it.
    const auto field = [&](std::size_t offset) -> std::optional<std::size_t> {
        const int64_t at = now(int64_t(start + offset)) - int64_t(note->first);
        if (at < 0 || uint64_t(at) + 4 > note->second)
            return std::nullopt;
        return std::size_t(at);
    };
    if (reading.movesWithItsOffsets()) {
        for (const std::size_t offset : reading.offsets) {
            const std::optional<std::size_t> at = field(offset);
            if (!at)
                continue;
            const int64_t target = int64_t(Exiv2::getULong(block + *at, reading.order)) + reading.base;
            Exiv2::ul2Data(block + *at, uint32_t(now(target) - reading.base), reading.order);
        }
    }
    for (const std::size_t offset : reading.fileOffsets) {
        const std::optional<std::size_t> at = field(offset);
        if (!at)
            continue;
        const int64_t target
            = int64_t(Exiv2::getULong(block + *at, reading.order)) - int64_t(carried.offsetInFile);
        const int64_t moves = now(target) - target - moved;
        addToNumber(block + *at, movedInFile + moves, reading.order);
    }
    // What lies outside the Exif is where the write left it.
    std::optional<PlacesAfterWrite> places;
    if (!reading.outside.empty())
        places.emplace(original, file, budget);
    for (const OutsideValue &value : reading.outside) {
        const std::optional<std::size_t> standsAt
            = places->place(carried.offsetInFile + std::size_t(value.at), value.size);
        const std::optional<std::size_t> at = field(value.offsetAt);
        if (!standsAt || !at)
            continue;
        const int64_t from = value.counting == OutsideValue::Counting::Fixed ? value.from
            : value.counting == OutsideValue::Counting::InNote               ? value.from + moved
                                                                             : -int64_t(exif->offsetInFile);
        Exiv2::ul2Data(
            block + *at, uint32_t(int64_t(*standsAt) - int64_t(exif->offsetInFile) - from), reading.order);
    }
    if (budget.spent())
        overBudget();
    exifBytesChanged(file, kind);
}

std::vector<int64_t> carriedMoves(const CarriedMakerNote &carried, std::size_t writtenAt)
{
    std::vector<int64_t> moves;
    for (const CarriedStretch &stretch : carried.stretches)
        moves.push_back(int64_t(writtenAt + stretch.inBlock) - int64_t(stretch.from));
    return moves;
}

} // namespace engine::bridge
