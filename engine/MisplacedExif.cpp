// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MisplacedExif.h"

#include <exiv2/tags.hpp>

namespace engine::bridge {

namespace {

// The first directory and the Exif directory share their tags' numbers;
// the other directories number theirs apart.
const char *otherDirectory(const std::string &group)
{
    if (group == "Image")
        return "Photo";
    if (group == "Photo")
        return "Image";
    return nullptr;
}

bool isKnownName(const std::string &tagName)
{
    return tagName.rfind("0x", 0) != 0;
}

} // namespace

std::string homeKey(const Exiv2::Exifdatum &datum)
{
    const char *other = otherDirectory(datum.groupName());
    if (!other || isKnownName(datum.tagName()))
        return datum.key();
    const Exiv2::ExifKey home(datum.tag(), other);
    return isKnownName(home.tagName()) ? home.key() : datum.key();
}

bool isMisplacedCopy(const Exiv2::Exifdatum &datum, const Exiv2::ExifKey &key)
{
    return datum.tag() == key.tag() && datum.groupName() != key.groupName() && homeKey(datum) == key.key();
}

const char *directoryName(const Exiv2::Exifdatum &datum)
{
    return datum.groupName() == "Image" ? "the first directory" : "the Exif directory";
}

} // namespace engine::bridge
