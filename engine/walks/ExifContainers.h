// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"
#include "engine/walks/TiffDirectories.h"

#include <exiv2/types.hpp>

#include <functional>
#include <optional>
#include <span>

// Where each format the engine writes keeps its Exif's TIFF structure: a
// TIFF-based file's own, a JPEG's or an Exiv2 sidecar's APP1 segment, a
// PNG's eXIf chunk (or the text chunk the library writes it in), a WebP's
// EXIF chunk, a Photoshop file's Exif resource and a JPEG 2000 file's
// Exif box. What a write carries of the camera's data, and the check after
// it, read the Exif there.
namespace engine::bridge {

// The file's Exif; none for a format that keeps it elsewhere, or a file
// that holds none. A PNG's text chunk is read into bytes of its own.
std::optional<ExifInFile> exifOfImage(std::span<const Exiv2::byte> file, const ImageKind &kind);

// The first directory of the file's Exif, where the Exif lies in the file's
// own bytes (not in a PNG text): its offsets count from structure.
struct FirstDirectoryInFile
{
    ExifInFile exif;
    TiffDirectory directory;
    Exiv2::byte *structure = nullptr;
};
// Hands the written file's first directory to change, where there is one,
// and brings in step what the format keeps of the Exif's bytes when change
// says it changed them.
void changeFirstDirectory(Exiv2::byte *written, long size, const ImageKind &kind,
    const std::function<bool(const FirstDirectoryInFile &found)> &change);

// After the Exif's bytes changed where they lie in the file: brings in step
// what the format keeps of them (a PNG chunk's check sum).
void exifBytesChanged(std::span<Exiv2::byte> file, const ImageKind &kind);

} // namespace engine::bridge
