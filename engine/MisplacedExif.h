// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exiv2/exif.hpp>

#include <string>

// Exif values other programs put in a directory other than their own: a
// user comment in the first directory, a description in the Exif
// directory. The library reads such a value as an unknown tag of the
// directory it is in ("Exif.Image.0x9286"); other readers show it by its
// name beside the one in its own directory, so it is a copy of that value:
// a write brings it in step and a clear takes it with the value's group.
namespace engine::bridge {

// The key of the datum's value in its own directory ("Exif.Image.0x9286"
// gives "Exif.Photo.UserComment"); its key, where it is in its own.
std::string homeKey(const Exiv2::Exifdatum &datum);

// Whether the datum is such a copy of the value of key.
bool isMisplacedCopy(const Exiv2::Exifdatum &datum, const Exiv2::ExifKey &key);

// Where the copy is, as the result screen says it: "the Exif directory".
const char *directoryName(const Exiv2::Exifdatum &datum);

} // namespace engine::bridge
