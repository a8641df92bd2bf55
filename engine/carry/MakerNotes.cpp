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

// The note and what its entries point to past its count, as one block;
// the bytes between that are other structures' carry no value of the note
// and are left out as zeros, so that no copy of them travels with it.
std::vector<Exiv2::byte> blockOf(const TiffBytes &exif, const MakerNoteExtent &extent)
{
    const std::span<const Exiv2::byte> bytes = *exif.slice(extent.start, extent.end - extent.start);
    std::vector<Exiv2::byte> block(bytes.size(), 0);
    std::copy_n(bytes.begin(), extent.count, block.begin());
    for (const auto &[from, to] : extent.beyondCount)
        std::copy(exif.bytes().begin() + long(from), exif.bytes().begin() + long(to),
            block.begin() + long(from - extent.start));
    return block;
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
    Exiv2::Image &image, const ImageKind &kind, WalkBudget &budget)
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
    if (note && holdsNote) {
        std::optional<MakerNoteReading> reading = readMakerNote(tiff,
            { exifFound->offsetInFile, exifFound->fileEnd(file.size()),
                kind.jpeg ? file : std::span<const Exiv2::byte>() },
            note->first, note->second, cameraMake(exif), budget);
        if (!reading) {
            io.munmap();
            cannotCarry(budget);
        }
        const uint16_t type = directories.photo->find(makerNoteTiffTag)->type;
        const std::vector<Exiv2::byte> block = blockOf(tiff, reading->extent);
        // The library's reading is compared only where it reads the note
        // as its layout says.
        DecodedMakerNote decodedNote
            = reading->asItsLayoutSays ? decodedMakerNote(exif) : DecodedMakerNote {};
        eraseDecodedMakerNotes(exif);
        setBytes(exif, "Exif.Photo.MakerNote", type, block);
        carried = CarriedMakerNote { std::move(*reading), exifFound->offsetInFile, std::move(decodedNote),
            exifFound->decoded };
    } else if (keepsPrivateData && decoded) {
        eraseDecodedMakerNotes(exif);
    }
    if (keepsPrivateData)
        setBytes(exif, "Exif.Image.DNGPrivateData", privateData->type, *privateBytes);
    io.munmap();
    // A tag of the library's own maker note group, which it never writes:
    // with a tag left over, it lays the directories out anew.
    if (kind.tiffBased && (carried || keepsPrivateData))
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
    const MakerNoteExtent &extent = reading.extent;
    // Gone, or not the block handed over: the check after the write tells.
    if (!note || note->second != extent.end - extent.start)
        return;
    const int64_t moved = int64_t(note->first) - int64_t(extent.start);
    const int64_t movedInFile = moved + int64_t(exif->offsetInFile) - int64_t(carried.offsetInFile);
    Exiv2::byte *block = written + exif->offsetInFile + note->first;
    const auto move = [&](const std::vector<std::size_t> &offsets, int64_t by) {
        for (const std::size_t offset : offsets) {
            if (by != 0 && offset + 4 <= note->second)
                addToNumber(block + offset, by, reading.order);
        }
    };
    if (reading.movesWithItsOffsets())
        move(reading.offsets, moved);
    move(reading.fileOffsets, movedInFile);
    // What lies outside the Exif is where the write left it.
    std::optional<PlacesAfterWrite> places;
    if (!reading.outside.empty())
        places.emplace(original, file, budget);
    for (const OutsideValue &value : reading.outside) {
        const std::optional<std::size_t> now
            = places->place(carried.offsetInFile + std::size_t(value.at), value.size);
        if (!now || value.offsetAt + 4 > note->second)
            continue;
        const int64_t from = value.counting == OutsideValue::Counting::Fixed ? value.from
            : value.counting == OutsideValue::Counting::InNote               ? value.from + moved
                                                                             : -int64_t(exif->offsetInFile);
        Exiv2::ul2Data(block + value.offsetAt, uint32_t(int64_t(*now) - int64_t(exif->offsetInFile) - from),
            reading.order);
    }
    if (budget.spent())
        overBudget();
    exifBytesChanged(file, kind);
}

} // namespace engine::bridge
