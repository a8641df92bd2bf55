// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/PngTextCopies.h"

#include "engine/walks/PngChunks.h"

#include <exiv2/error.hpp>
#include <exiv2/tags.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <algorithm>
#include <optional>
#include <utility>

namespace engine::bridge {

namespace {

// The namespace prefixes XMP packets use for their properties, as a
// converter keeps them in a copy's keyword. "exif" and "tiff" copy Exif
// values (from the Exif itself or from its XMP namespaces), the others XMP.
constexpr std::string_view xmpPrefixes[] = { "Iptc4xmpCore", "Iptc4xmpExt", "MicrosoftPhoto", "aux", "crs",
    "crss", "dc", "dcterms", "digiKam", "exifEX", "lr", "mwg-kw", "mwg-rs", "pdf", "photoshop", "plus", "xap",
    "xapMM", "xapRights", "xmp", "xmpBJ", "xmpDM", "xmpMM", "xmpNote", "xmpRights", "xmpTPg" };

// Where the library's name of an XMP namespace is not the prefix packets
// use.
constexpr std::pair<std::string_view, std::string_view> packetPrefixes[]
    = { { "iptc", "Iptc4xmpCore" }, { "iptcExt", "Iptc4xmpExt" } };

// Where the Exif standard names a tag otherwise than the library does, as
// converters name their copies.
constexpr std::pair<std::string_view, std::string_view> standardNames[]
    = { { "Exif.Photo.ISOSpeedRatings", "PhotographicSensitivity" } };

bool isXmpPrefix(std::string_view prefix)
{
    return std::find(std::begin(xmpPrefixes), std::end(xmpPrefixes), prefix) != std::end(xmpPrefixes);
}

// A keyword's prefix and name, split at its first colon; none without both.
std::optional<std::pair<std::string_view, std::string_view>> splitCopyKeyword(std::string_view keyword)
{
    const std::size_t colon = keyword.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == keyword.size())
        return std::nullopt;
    return std::pair(keyword.substr(0, colon), keyword.substr(colon + 1));
}

// Converters differ in the letter case of the Exif prefixes ("EXIF:Orientation").
bool isExifPrefix(std::string_view prefix)
{
    return isKeyword(prefix, "exif") || isKeyword(prefix, "tiff");
}

} // namespace

bool isCommentText(std::string_view keyword, bool descriptionIsComment)
{
    return isKeyword(keyword, "Comment") || (descriptionIsComment && keyword == "Description");
}

ClearChoices choicesTakingText(std::string_view keyword, bool descriptionIsComment)
{
    ClearChoices taking;
    if (isCommentText(keyword, descriptionIsComment)) {
        taking.comment = true;
        return taking;
    }
    const auto split = splitCopyKeyword(keyword);
    if (!split)
        return taking;
    const auto [prefix, name] = *split;
    const bool exifCopy = isExifPrefix(prefix);
    if (!exifCopy && !isXmpPrefix(prefix))
        return taking;
    // A position goes with the GPS choice, and with the XMP it is part of.
    if (name.starts_with("GPS"))
        taking.gps = true;
    else if (exifCopy && name == "Orientation")
        taking.orientation = true;
    else if (isKeyword(prefix, "exif") && name == "UserComment")
        taking.comment = true;
    else if (exifCopy)
        taking.exif = true;
    taking.xmp = !exifCopy;
    return taking;
}

bool isTextCopy(std::string_view keyword)
{
    const auto split = splitCopyKeyword(keyword);
    return split && (isExifPrefix(split->first) || isXmpPrefix(split->first));
}

std::vector<std::string> textCopyKeywords(const std::string &key)
{
    std::vector<std::string> keywords;
    try {
        if (key.starts_with("Exif.")) {
            const std::string name = Exiv2::ExifKey(key).tagName();
            keywords = { "exif:" + name, "tiff:" + name };
            for (const auto &[exifKey, standard] : standardNames) {
                if (key == exifKey)
                    keywords.push_back("exif:" + std::string(standard));
            }
        } else if (key.starts_with("Xmp.")) {
            const Exiv2::XmpKey xmpKey(key);
            std::string prefix = xmpKey.groupName();
            for (const auto &[library, packet] : packetPrefixes) {
                if (prefix == library)
                    prefix = packet;
            }
            keywords = { prefix + ':' + xmpKey.tagName() };
        }
    } catch (const Exiv2::AnyError &) {
        // A key the library does not know has no copies of its name.
    }
    return keywords;
}

} // namespace engine::bridge
