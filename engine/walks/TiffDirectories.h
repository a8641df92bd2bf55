// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/walks/ByteCursor.h"

#include <exiv2/types.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

// TIFF directories read from a file's own bytes, within their bounds: the
// Exif of a JPEG's segment or of a TIFF-based file, and the directories a
// maker note keeps inside it. What the library decodes of them is not
// always what the file holds, and a write must know where each value lies.
namespace engine::bridge {

constexpr uint16_t exifPointerTag = 0x8769;
constexpr uint16_t gpsPointerTag = 0x8825;
constexpr uint16_t interoperabilityPointerTag = 0xa005;
constexpr uint16_t makerNoteTiffTag = 0x927c;
constexpr uint16_t thumbnailOffsetTag = 0x0201;
constexpr uint16_t thumbnailLengthTag = 0x0202;

// The size of one value of the type; none for a type TIFF does not define
// (the twelve of the standard and the directory type of its extension).
std::optional<std::size_t> tiffTypeSize(uint16_t type);

struct TiffEntry
{
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    // Where the entry's twelve bytes start, and its last four: the value,
    // or where it lies when it does not fit there.
    std::size_t at = 0;
    uint32_t field = 0;
    // The count times its type's size; none for an unknown type.
    std::optional<uint64_t> size;

    bool inlined() const { return size && *size <= 4; }
    std::size_t fieldAt() const { return at + 8; }
};

struct TiffDirectory
{
    std::size_t at = 0;
    std::vector<TiffEntry> entries;
    // Where its entries end, with the next directory's offset when it has
    // one.
    std::size_t end = 0;
    uint32_t next = 0;

    const TiffEntry *find(uint16_t tag) const;
};

// A TIFF structure: bytes whose offsets count from their start, in one
// byte order.
class TiffBytes
{
public:
    TiffBytes(std::span<const Exiv2::byte> bytes, Exiv2::ByteOrder order)
        : m_bytes(bytes)
        , m_order(order)
    { }
    // From a TIFF header ("II*\0" or "MM\0*") on; none without one.
    static std::optional<TiffBytes> withHeader(std::span<const Exiv2::byte> bytes);
    // From a TIFF-based file's header on: a TIFF header, or an Olympus raw
    // file's ("IIRO", "IIRS" or "MMOR"), which is one in all but its mark.
    static std::optional<TiffBytes> ofRawFile(std::span<const Exiv2::byte> bytes);

    std::span<const Exiv2::byte> bytes() const { return m_bytes; }
    Exiv2::ByteOrder order() const { return m_order; }

    // The first directory's offset, as the header gives it.
    std::optional<uint32_t> firstDirectory() const;
    // The directory at that offset, when its entries lie within the bytes;
    // some directories (a few maker notes') end without a next offset.
    std::optional<TiffDirectory> directory(std::size_t at, bool withNext = true) const;
    // Where the entry's value starts when its offsets count from base
    // (which may lie before the structure's start, or after it).
    std::optional<std::size_t> valueAt(const TiffEntry &entry, int64_t base = 0) const;
    // The entry's value bytes; none when they do not lie within the bytes.
    std::optional<std::span<const Exiv2::byte>> value(const TiffEntry &entry, int64_t base = 0) const;
    // The bytes from at on, count of them; none past the end.
    std::optional<std::span<const Exiv2::byte>> slice(uint64_t at, uint64_t count) const;
    std::optional<uint32_t> uint32At(std::size_t at) const;
    // The first of a short or long entry's numbers.
    std::optional<uint32_t> number(const TiffEntry &entry) const;

private:
    std::span<const Exiv2::byte> m_bytes;
    Exiv2::ByteOrder m_order = Exiv2::littleEndian;
};

// Where an image file's Exif lies: a TIFF-based file's own structure, or a
// JPEG's Exif segment; with the structure's offset in the file.
struct ExifInFile
{
    TiffBytes tiff;
    std::size_t offsetInFile = 0;
    // The bytes the structure lies in where they are not the file's own (a
    // PNG text chunk's, read from their hexadecimal digits).
    std::shared_ptr<const std::vector<Exiv2::byte>> decoded = {};

    // Where the file ends, as an offset from the structure's start.
    uint64_t fileEnd(std::size_t fileSize) const
    {
        return decoded ? tiff.bytes().size() : fileSize - std::min(fileSize, offsetInFile);
    }
};
std::optional<ExifInFile> exifInFile(std::span<const Exiv2::byte> file, bool tiffBased);

// The directories of a file's Exif that a write leaves as they were: the
// first, the Exif directory, the thumbnail's and the interoperability
// directory, and one the first directory names, as some cameras write it.
struct ExifDirectories
{
    std::optional<TiffDirectory> image;
    std::optional<TiffDirectory> photo;
    std::optional<TiffDirectory> thumbnail;
    std::optional<TiffDirectory> interoperability;
    std::optional<TiffDirectory> imageInteroperability;
};
ExifDirectories exifDirectories(const TiffBytes &tiff);

// The directory a pointer entry (a long, or an IFD) names.
std::optional<TiffDirectory> pointedDirectory(const TiffBytes &tiff, const TiffDirectory *in, uint16_t tag);

} // namespace engine::bridge
