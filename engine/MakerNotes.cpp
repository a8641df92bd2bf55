// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MakerNotes.h"

#include "engine/JpegSegments.h"

#include <exiv2/exif.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/tags.hpp>

#include <algorithm>
#include <cstring>
#include <optional>
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
    const Exiv2::byte *data = nullptr;
    long size = 0;
    bool bigEndian = false;

    uint32_t read(long at, int bytes) const
    {
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= uint32_t(data[at + (bigEndian ? i : bytes - 1 - i)]) << (8 * (bytes - 1 - i));
        return value;
    }
};

// One directory entry's type and bytes.
struct Entry
{
    uint16_t type = 0;
    long offset = 0; // of its bytes, from the header
    const Exiv2::byte *bytes = nullptr;
    long size = 0;
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

std::optional<Entry> findEntry(const Tiff &tiff, long directory, uint16_t tag)
{
    if (directory < 8 || directory + 2 > tiff.size)
        return std::nullopt;
    const long count = long(tiff.read(directory, 2));
    for (long i = 0; i < count; ++i) {
        const long at = directory + 2 + 12 * i;
        if (at + 12 > tiff.size)
            return std::nullopt;
        if (tiff.read(at, 2) != tag)
            continue;
        Entry entry;
        entry.type = uint16_t(tiff.read(at + 2, 2));
        const uint64_t size = uint64_t(tiff.read(at + 4, 4)) * uint64_t(typeSize(entry.type));
        const uint64_t offset = size <= 4 ? uint64_t(at + 8) : tiff.read(at + 8, 4);
        if (size == 0 || offset + size > uint64_t(tiff.size))
            return std::nullopt;
        entry.offset = long(offset);
        entry.bytes = tiff.data + offset;
        entry.size = long(size);
        return entry;
    }
    return std::nullopt;
}

std::optional<Tiff> tiffAt(const Exiv2::byte *data, long size)
{
    if (size < 8)
        return std::nullopt;
    Tiff tiff { data, size, false };
    if (data[0] == 'M' && data[1] == 'M')
        tiff.bigEndian = true;
    else if (data[0] != 'I' || data[1] != 'I')
        return std::nullopt;
    return tiff;
}

// Where the Exif's TIFF structure starts: the file's start, or a JPEG's
// Exif segment.
std::optional<Tiff> exifStructure(Exiv2::byte *data, long size, const ImageKind &kind, int imageType)
{
    if (kind.tiffBased)
        return tiffAt(data, size);
    if (imageType != Exiv2::ImageType::jpeg && imageType != Exiv2::ImageType::exv)
        return std::nullopt;
    std::optional<Tiff> found;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        if (!found && segment.marker == app1 && segment.payloadSize > 14
            && std::memcmp(segment.payload, "Exif\0\0", 6) == 0)
            found = tiffAt(segment.payload + 6, segment.payloadSize - 6);
    });
    return found;
}

// Maker notes that count their offsets from their own start, so that their
// bytes read the same wherever they stand.
bool isSelfContained(const Entry &makerNote)
{
    const std::string_view head(reinterpret_cast<const char *>(makerNote.bytes), std::size_t(makerNote.size));
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
    value->read(entry.bytes, entry.size, Exiv2::invalidByteOrder);
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
    const long firstDirectory = long(tiff->read(4, 4));
    const std::optional<Entry> exifDirectory = findEntry(*tiff, firstDirectory, exifPointer);
    const std::optional<Entry> makerNote = exifDirectory && exifDirectory->size == 4
        ? findEntry(*tiff, long(tiff->read(exifDirectory->offset, 4)), makerNoteTag)
        : std::nullopt;
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
