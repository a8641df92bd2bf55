// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ClearChoices.h"

#include <string_view>

// Image converters keep a text copy of every Exif and XMP value they read
// in a PNG's text chunks of their own, keyed "prefix:name"
// ("exif:GPSLatitude", "exif:thumbnail:Compression", "tiff:Make",
// "photoshop:City"), and often the comment under "comment". Other readers
// show those beside the PNG's Exif and XMP, so a clear takes them with the
// group they copy.
namespace engine::bridge {

// The choices of a clear that take the text chunk with this keyword: the
// comment under "Comment" in any letter case, and the copies of the values
// each choice takes. None take any other text (the registered keywords such
// as "Title" or "Creation Time", a converter's "date:", "icc:" or "png:"
// entries).
ClearChoices choicesTakingText(std::string_view keyword, bool descriptionIsComment = false);

} // namespace engine::bridge
