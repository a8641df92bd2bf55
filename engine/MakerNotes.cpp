// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MakerNotes.h"

#include "engine/ByteCursor.h"
#include "engine/JpegSegments.h"

#include <exiv2/exif.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/tags.hpp>

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>

namespace engine::bridge {

namespace {

constexpr uint16_t exifPointer = 0x8769;
constexpr uint16_t makerNoteTag = 0x927c;
constexpr uint16_t dngPrivateDataTag = 0xc634;
constexpr Exiv2::byte app1 = 0xe1;

// A TIFF structure's bytes from its header on.
struct Tiff
{
    ByteCursor bytes;
    Exiv2::ByteOrder order = Exiv2::littleEndian;
};

// One directory entry's type and bytes.
struct Entry
{
    uint16_t type = 0;
    std::span<const Exiv2::byte> bytes;
};

long typeSize(uint16_t type)
{
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7:
        return 1;
    case 3:
    case 8:
        return 2;
    case 4:
    case 9:
    case 11:
    case 13:
        return 4;
    case 5:
    case 10:
    case 12:
        return 8;
    default:
        return 0;
    }
}

constexpr std::size_t entrySize = 12;
constexpr std::size_t inlineValue = 4;

// The entry of the tag in the directory at that offset, when its bytes lie
// within the structure.
std::optional<Entry> findEntry(const Tiff &tiff, uint32_t directory, uint16_t tag)
{
    if (directory < 8)
        return std::nullopt;
    std::optional<ByteCursor> entries = tiff.bytes.at(directory);
    const std::optional<uint16_t> count = entries ? entries->uint16(tiff.order) : std::nullopt;
    if (!count)
        return std::nullopt;
    for (uint32_t i = 0; i < *count; ++i) {
        const std::size_t at = entries->position();
        const std::optional<std::span<const Exiv2::byte>> bytes = entries->bytes(entrySize);
        if (!bytes)
            return std::nullopt;
        ByteCursor entry(*bytes);
        if (entry.uint16(tiff.order) != tag)
            continue;
        Entry found;
        found.type = *entry.uint16(tiff.order);
        const uint64_t size = uint64_t(*entry.uint32(tiff.order)) * uint64_t(typeSize(found.type));
        const uint64_t offset = size <= inlineValue ? at + 8 : *entry.uint32(tiff.order);
        std::optional<ByteCursor> value = tiff.bytes.at(std::size_t(offset));
        const std::optional<std::span<const Exiv2::byte>> valueBytes
            = value ? value->bytes(std::size_t(size)) : std::nullopt;
        if (size == 0 || !valueBytes)
            return std::nullopt;
        found.bytes = *valueBytes;
        return found;
    }
    return std::nullopt;
}

std::optional<Tiff> tiffAt(const Exiv2::byte *data, long size)
{
    const ByteCursor bytes(data, size);
    if (bytes.remaining() < 8)
        return std::nullopt;
    if (bytes.startsWith("MM"))
        return Tiff { bytes, Exiv2::bigEndian };
    if (bytes.startsWith("II"))
        return Tiff { bytes, Exiv2::littleEndian };
    return std::nullopt;
}

// Where the Exif's TIFF structure starts: the file's start, or a JPEG's
// Exif segment.
std::optional<Tiff> exifStructure(Exiv2::byte *data, long size, const ImageKind &kind, int imageType)
{
    if (kind.tiffBased)
        return tiffAt(data, size);
    if (imageType != Exiv2::ImageType::jpeg && imageType != Exiv2::ImageType::exv)
        return std::nullopt;
    constexpr std::string_view exifHeader("Exif\0\0", 6);
    std::optional<Tiff> found;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        const ByteCursor payload(segment.payload, segment.payloadSize);
        if (!found && segment.marker == app1 && payload.remaining() > 14 && payload.startsWith(exifHeader))
            found
                = tiffAt(segment.payload + exifHeader.size(), segment.payloadSize - long(exifHeader.size()));
    });
    return found;
}

// Maker notes that count their offsets from their own start, so that their
// bytes read the same wherever they stand.
bool isSelfContained(const Entry &makerNote)
{
    const std::string_view head(
        reinterpret_cast<const char *>(makerNote.bytes.data()), makerNote.bytes.size());
    for (const std::string_view header : { std::string_view("Nikon\0\2", 7), std::string_view("OLYMPUS\0", 8),
             std::string_view("OM SYSTEM\0", 10), std::string_view("FUJIFILM", 8) }) {
        if (head.substr(0, header.size()) == header)
            return true;
    }
    return false;
}

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

void setBytes(Exiv2::ExifData &exif, const char *key, const Entry &entry)
{
    const Exiv2::TypeId type = entry.type == 1 ? Exiv2::unsignedByte : Exiv2::undefined;
    const Exiv2::Value::AutoPtr value = Exiv2::Value::create(type);
    value->read(entry.bytes.data(), long(entry.bytes.size()), Exiv2::invalidByteOrder);
    exif[key].setValue(value.get());
}

} // namespace

void keepMakerNotesAsStored(Exiv2::Image &image, const ImageKind &kind)
{
    Exiv2::BasicIo &io = image.io();
    if (io.open() != 0)
        return;
    Exiv2::IoCloser closer(io);
    Exiv2::byte *data = io.mmap(false);
    const std::optional<Tiff> tiff = exifStructure(data, long(io.size()), kind, image.imageType());
    if (!tiff) {
        io.munmap();
        return;
    }
    Exiv2::ExifData &exif = image.exifData();
    // The header's eight bytes end with it.
    const uint32_t firstDirectory = *tiff->bytes.at(4)->uint32(tiff->order);
    const std::optional<Entry> exifDirectory = findEntry(*tiff, firstDirectory, exifPointer);
    const std::optional<uint32_t> exifOffset = exifDirectory && exifDirectory->bytes.size() == 4
        ? ByteCursor(exifDirectory->bytes).uint32(tiff->order)
        : std::nullopt;
    const std::optional<Entry> makerNote
        = exifOffset ? findEntry(*tiff, *exifOffset, makerNoteTag) : std::nullopt;
    const std::optional<Entry> privateData
        = kind.tiffBased ? findEntry(*tiff, firstDirectory, dngPrivateDataTag) : std::nullopt;
    // Only what the Exif about to be written still holds.
    const bool decoded = std::any_of(exif.begin(), exif.end(), isDecodedMakerNote);
    const bool keepsMakerNote = makerNote && decoded && isSelfContained(*makerNote);
    const bool keepsPrivateData = privateData
        && ((decoded && !makerNote)
            || exif.findKey(Exiv2::ExifKey("Exif.Image.DNGPrivateData")) != exif.end());
    if (keepsMakerNote || (keepsPrivateData && !makerNote))
        eraseDecodedMakerNotes(exif);
    if (keepsMakerNote)
        setBytes(exif, "Exif.Photo.MakerNote", *makerNote);
    if (keepsPrivateData)
        setBytes(exif, "Exif.Image.DNGPrivateData", *privateData);
    io.munmap();
    // A tag of the library's own maker note group, which it never writes:
    // with a tag left over, it lays the directories out anew.
    if (kind.tiffBased && (keepsMakerNote || keepsPrivateData))
        exif.add(Exiv2::ExifKey("Exif.MakerNote.0xffff"), Exiv2::Value::create(Exiv2::undefined).get());
}

} // namespace engine::bridge
