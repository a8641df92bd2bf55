// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PngTextCopies.h"

#include "engine/PngChunks.h"

#include <algorithm>

namespace engine::bridge {

namespace {

// The namespace prefixes XMP packets use for their properties, as a
// converter keeps them in a copy's keyword. "exif" and "tiff" copy Exif
// values (from the Exif itself or from its XMP namespaces), the others XMP.
constexpr std::string_view xmpPrefixes[] = { "Iptc4xmpCore", "Iptc4xmpExt", "MicrosoftPhoto", "aux", "crs",
    "crss", "dc", "dcterms", "digiKam", "exifEX", "lr", "mwg-kw", "mwg-rs", "pdf", "photoshop", "plus", "xap",
    "xapMM", "xapRights", "xmp", "xmpBJ", "xmpDM", "xmpMM", "xmpNote", "xmpRights", "xmpTPg" };

bool isXmpPrefix(std::string_view prefix)
{
    return std::find(std::begin(xmpPrefixes), std::end(xmpPrefixes), prefix) != std::end(xmpPrefixes);
}

} // namespace

ClearChoices choicesTakingText(std::string_view keyword, bool descriptionIsComment)
{
    ClearChoices taking;
    if (isKeyword(keyword, "Comment") || (descriptionIsComment && keyword == "Description")) {
        taking.comment = true;
        return taking;
    }
    const std::size_t colon = keyword.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == keyword.size())
        return taking;
    const std::string_view prefix = keyword.substr(0, colon);
    const std::string_view name = keyword.substr(colon + 1);
    const bool exifCopy = prefix == "exif" || prefix == "tiff";
    if (!exifCopy && !isXmpPrefix(prefix))
        return taking;
    // A position goes with the GPS choice, and with the XMP it is part of.
    if (name.starts_with("GPS"))
        taking.gps = true;
    else if (exifCopy && name == "Orientation")
        taking.orientation = true;
    else if (prefix == "exif" && name == "UserComment")
        taking.comment = true;
    else if (exifCopy)
        taking.exif = true;
    taking.xmp = !exifCopy;
    return taking;
}

} // namespace engine::bridge
