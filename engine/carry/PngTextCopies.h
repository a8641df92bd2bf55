// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ClearChoices.h"

#include <string>
#include <string_view>
#include <vector>

// Image converters keep a text copy of every Exif and XMP value they read
// in a PNG's text chunks of their own, keyed "prefix:name"
// ("exif:GPSLatitude", "exif:thumbnail:Compression", "tiff:Make",
// "photoshop:City"), and often the comment under "comment". Other readers
// show those beside the PNG's Exif and XMP, so a clear takes them with the
// group they copy, and a write takes the copies of what it writes.
namespace engine::bridge {

// The choices of a clear that take the text chunk with this keyword: the
// comment under "Comment" in any letter case, and the copies of the values
// each choice takes. None take any other text (the registered keywords such
// as "Title" or "Creation Time", a converter's "date:", "icc:" or "png:"
// entries).
ClearChoices choicesTakingText(std::string_view keyword, bool descriptionIsComment = false);

// Whether the text chunk with this keyword holds the comment: "Comment" in
// any letter case, as readers take it, and, where the library does not read
// it, "Description".
bool isCommentText(std::string_view keyword, bool descriptionIsComment = false);

// Whether the keyword is that of a text copy of an Exif or an XMP value.
bool isTextCopy(std::string_view keyword);

// The keywords of the text copies of one value, by its Exiv2 key: "exif:"
// and "tiff:" with the tag's name for an Exif value (and with the Exif
// standard's name where the library's differs: the ISO is
// "exif:PhotographicSensitivity"), the property's "prefix:name" for an XMP
// value ("aux:Lens", "Iptc4xmpCore:Location"); none for other keys.
std::vector<std::string> textCopyKeywords(const std::string &key);

} // namespace engine::bridge
