// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <QString>

#include <string>
#include <utility>
#include <vector>

// The XMP properties that repeat an Exif value, so that a write leaves no
// old value where readers that prefer XMP look.
namespace engine::bridge {

// The properties of the TIFF, Exif and Exif extension namespaces that
// repeat an Exif tag ("Exif.Image.Orientation" gives "Xmp.tiff.Orientation");
// a GPS reference is repeated in its coordinate's property.
std::vector<std::string> xmpCopiesOf(const std::string &exifKey);

// Whether the XMP holds the property, as a value or as a structure's fields.
bool holdsProperty(const Exiv2::XmpData &xmp, const std::string &property);

// The Exif dates a file holds, as texts by key, taken before a write: the
// copy of a date the write changes moves with it.
using ExifDateTexts = std::vector<std::pair<std::string, QString>>;
ExifDateTexts exifDateTexts(const Exiv2::ExifData &exif);
// The text a write found of an Exif date; empty where the file had none.
QString exifDateBefore(const ExifDateTexts &datesBefore, const std::string &exifKey);

// The offset the Exif records for one of its dates in the date's offset tag.
std::optional<int> exifDateZone(const Exiv2::ExifData &exif, const std::string &dateKey);

// Gives every copy that xmp holds of the Exif keys the value exif now
// holds, in its XMP form, and removes the copies of the keys exif no
// longer holds. A date's copy that named the moment the Exif date named in
// datesBefore, in a zone of its own, moves as far as the Exif date did and
// keeps its zone. True when xmp held any of them.
bool updateXmpCopies(Exiv2::XmpData &xmp, const Exiv2::ExifData &exif,
    const std::vector<std::string> &exifKeys, const ExifDateTexts &datesBefore);

// The properties that repeat an IPTC dataset, as the library converts
// IPTC to XMP ("Iptc.Application2.City" gives "Xmp.photoshop.City").
std::vector<std::string> xmpCopiesOfIptc(const std::string &iptcKey);

// The key and the XMP properties a write of it changes with it: the
// copies of an Exif or IPTC value; none beside an XMP key.
std::vector<std::string> keyAndXmpCopies(const std::string &key);

// The same for IPTC datasets: the copies xmp holds take the values iptc
// now holds, or go with them; the properties in kept stay as they are.
// True when every copy xmp holds of the datasets now agrees with them.
bool updateXmpCopiesOfIptc(Exiv2::XmpData &xmp, const Exiv2::IptcData &iptc,
    const std::vector<std::string> &iptcKeys, const std::vector<std::string> &kept);

} // namespace engine::bridge
