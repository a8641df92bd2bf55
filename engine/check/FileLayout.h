// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/check/ByteView.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A file as the check reads it: where each format the library writes Exif
// into keeps it (a TIFF's own structure, a JPEG's or an Exiv2 sidecar's
// APP1 segment, a PNG's eXIf chunk or the text the library writes, a
// WebP's EXIF chunk, a Photoshop file's Exif resource, a JPEG 2000 file's
// Exif box, the small PNG a PGF file's header holds), and every other part
// of the file, with what a write may do to it.
namespace engine::check {

enum class Format : std::uint8_t { Unknown, Jpeg, Exv, Tiff, Png, WebP, Psd, Jpeg2000, Pgf };

// Where the file keeps its Exif's TIFF structure.
struct ExifPlace
{
    ByteView tiff;
    // Where the structure starts in the file; none where it is read from a
    // text (a PNG's), and so lies nowhere in it.
    std::optional<std::uint64_t> offsetInFile;
    // Whether the structure is a part of the file (a segment, a chunk), so
    // that its own values must lie within it; a TIFF's is the whole file.
    bool segment = true;
    // The bytes a text held, where the structure is read from one.
    std::shared_ptr<const std::vector<Byte>> decoded = {};
    // Whether the file holds the metadata alone (an Exiv2 sidecar), so that
    // the pictures its Exif names are elsewhere.
    bool sidecar = false;
};

// A part of the file beside its Exif, and what a write may do to it.
struct FilePart
{
    enum class Kind : std::uint8_t {
        // Stays as it is, where it is among the others.
        Kept,
        // Changes with the XMP, the IPTC, the file's comment.
        Xmp,
        Iptc,
        Comment,
        // The colour profile, which a write may cut into other pieces or
        // compress anew: compared as the profile itself.
        Profile,
        // A camera's own segment, which goes with the Exif.
        Camera,
        // A thermal camera's records, whose position goes with the GPS and
        // with the Exif.
        Thermal,
        // Kept where both files have it (a header a write may add).
        KeptWhereBoth,
        // The texts another part of the writing keeps in step.
        Unchecked,
    };
    Kind kind = Kind::Kept;
    // As a person reads it: "its APP2 segment".
    std::string name;
    ByteSpan bytes;
    // Stretches (offset, length) of bytes that may differ: offsets a move
    // changes, flags a write sets.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> masked = {};
    // What its offsets name, where they may differ: the further pictures
    // of a multi-picture index, compared by their bytes.
    std::vector<std::optional<ByteSpan>> named = {};
    // The bytes the part is read into, where they are not the file's own.
    std::shared_ptr<const std::vector<Byte>> decoded = {};
};

struct FileLayout
{
    Format format = Format::Unknown;
    std::optional<ExifPlace> exif;
    std::vector<FilePart> parts;
    // A JPEG's picture size, as its frame header gives it, and its JFIF
    // header's density.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> pictureSize;
    struct Density
    {
        std::uint8_t unit = 0;
        std::uint16_t x = 0;
        std::uint16_t y = 0;
    };
    std::optional<Density> jfif;
    // Why the file cannot be read whole, where it cannot.
    std::optional<std::string> unreadable;
};

FileLayout layoutOf(ByteSpan file, ReadBudget &budget);

// What opens an Exif block outside a TIFF, which some containers hold and
// others leave out.
inline constexpr std::string_view exifHeader("Exif\0\0", 6);
// The TIFF structure, past the header where there is one.
ByteView withoutExifHeader(ByteView bytes);

// A part read into bytes of its own.
FilePart decodedPart(FilePart::Kind kind, std::string name, std::vector<Byte> bytes);

// The compressed bytes inflated, within what the budget allows; none when
// they are damaged or would inflate past that.
std::optional<std::vector<Byte>> inflated(ByteSpan compressed, ReadBudget &budget);

// The Exif a PNG keeps (an eXIf chunk, or the raw profile text the library
// and image converters write), with the PNG's parts.
void readPng(ByteView png, FileLayout &layout, ReadBudget &budget);
void readWebP(ByteView webp, FileLayout &layout, ReadBudget &budget);
void readPsd(ByteView psd, FileLayout &layout, ReadBudget &budget);
void readJpeg2000(ByteView jp2, FileLayout &layout, ReadBudget &budget);
void readPgf(ByteView pgf, FileLayout &layout, ReadBudget &budget);

} // namespace engine::check
