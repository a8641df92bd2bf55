// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <exiv2/exif.hpp>
#include <exiv2/image.hpp>

#include <string>
#include <vector>

// Which Exif tags describe the picture rather than the photograph, so that
// clearing Exif never takes what a reader needs to show the image, and what
// the Exif standard requires of a directory a write creates.
namespace engine::bridge {

struct ImageKind
{
    // TIFF and the raw formats built on it: their Exif directories are the
    // file's own structure and point at its image data.
    bool tiffBased = false;
    // A TIFF-based file of camera sensor data, which raw converters decode
    // with the camera's make, model and maker note.
    bool raw = false;
    bool jpeg = false;
    // A TIFF-based file whose second directory is a page of its own (a
    // scanned document's), not a smaller copy of the first: what it holds
    // describes that page, as a sub-image's holds describe the sub-image.
    bool paged = false;
    // The library's type of the image (Exiv2::ImageType).
    int imageType = 0;
};
ImageKind imageKind(const Exiv2::Image &image);

// A tag that a clear of the Exif keeps: the structure of each directory a
// TIFF-based file's image data needs (sizes, samples, strips and tiles,
// sub-images, colour, DNG and GeoTIFF tags), the resolution and colour
// tags where another format's first directory holds them, the Exif
// directory's version, colour space and pixel size, the interoperability
// directory, and on raw files the make, model and maker note.
bool isKeptByClear(const Exiv2::Exifdatum &datum, const ImageKind &kind);

// After a clear or a write: drops the pointers to directories that are now
// empty; and where the change took the Exif as such (a clear of it, a write
// that empties the rest), the kept tags that it left describing nothing (an
// Exif directory that now holds only its version; on formats other than
// TIFF, Exif that now holds only the description of the picture). A clear
// of the orientation, the position or the comment alone leaves the
// description of the picture as it was: it is the picture's own where no
// other header gives it.
void dropIdleTags(
    Exiv2::ExifData &exif, const Exiv2::ExifData &before, const ImageKind &kind, bool exifTaken);

// Gives each directory that before did not have and exif now has the tags
// the Exif standard requires of it there: the Exif version, the GPS
// version and, in a JPEG, resolution, YCbCr position, components, colour
// space and pixel size; in a TIFF, the FlashPix version, the colour space
// and the GPS processing method ("MANUAL", the position was entered). An
// Exif version older than the tags the directory holds is raised to theirs.
void addRequiredTags(
    Exiv2::ExifData &exif, const Exiv2::ExifData &before, const Exiv2::Image &image, const ImageKind &kind);

// Takes the entries of no type TIFF defines out of the Exif about to be
// written: the library writes them, sorted among the others, where another
// reader that meets one first takes the whole directory for damaged. Gives
// their keys.
std::vector<std::string> dropEntriesOfNoType(Exiv2::ExifData &exif);
// Why such an entry is left out, as the photo's listing says it.
QString noTypeReason();

// Whether the Exif holds a maker note, whose layout depends on the make.
bool hasMakerNote(const Exiv2::ExifData &exif);
// The camera's make as the Exif holds it; empty without one.
std::string cameraMake(const Exiv2::ExifData &exif);

} // namespace engine::bridge
