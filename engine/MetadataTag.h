// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/MetadataFields.h"

#include <optional>

// The Exiv2 keys the program reads and writes: the 75 value fields in field
// order, with the four IPTC date and time datasets (written from the date
// values, never read into a field) standing between the GPS and IPTC text
// fields. Tag t belongs to field t below 37 and to field t - 4 above 40.
enum class MetadataTag : std::uint8_t {
    digitizationDate = 37,
    digitizationTime = 38,
    dateCreated = 39,
    timeCreated = 40,
    last = 78,
};

inline constexpr int metadataTagCount = 79;

namespace metadatatag_detail {

inline constexpr int firstWriteOnly = 37;
inline constexpr std::array<std::string_view, 4> writeOnlyKeys { "Iptc.Application2.DigitizationDate",
    "Iptc.Application2.DigitizationTime", "Iptc.Application2.DateCreated", "Iptc.Application2.TimeCreated" };

constexpr auto buildKeys()
{
    std::array<std::string_view, metadataTagCount> keys {};
    for (int t = 0; t < metadataTagCount; ++t) {
        if (t < firstWriteOnly)
            keys[std::size_t(t)] = metadataFields[std::size_t(t)].key;
        else if (t < firstWriteOnly + int(writeOnlyKeys.size()))
            keys[std::size_t(t)] = writeOnlyKeys[std::size_t(t - firstWriteOnly)];
        else
            keys[std::size_t(t)] = metadataFields[std::size_t(t - int(writeOnlyKeys.size()))].key;
    }
    return keys;
}

} // namespace metadatatag_detail

inline constexpr auto metadataTagKeys = metadatatag_detail::buildKeys();
static_assert(metadataTagKeys.size() == std::size_t(MetadataTag::last) + 1);
static_assert(metadataFieldCount + int(metadatatag_detail::writeOnlyKeys.size()) == metadataTagCount);

constexpr MetadataTag metadataTag(MetadataField field)
{
    const int n = int(field);
    return MetadataTag(n < metadatatag_detail::firstWriteOnly ? n : n + 4);
}

// The value field of a tag; none for the four IPTC date and time tags.
constexpr std::optional<MetadataField> fieldOfTag(MetadataTag tag)
{
    const int t = int(tag);
    if (t < metadatatag_detail::firstWriteOnly)
        return MetadataField(t);
    if (t < metadatatag_detail::firstWriteOnly + 4)
        return std::nullopt;
    return MetadataField(t - 4);
}

// How a write converts the tag's value: as its field says; the IPTC date
// and time datasets read their texts by their own types.
constexpr WriteConversion tagConversion(MetadataTag tag)
{
    const std::optional<MetadataField> field = fieldOfTag(tag);
    return field ? fieldInfo(*field).conversion : WriteConversion::Text;
}

inline QLatin1String key(MetadataTag tag)
{
    const std::string_view k = metadataTagKeys[std::size_t(tag)];
    return QLatin1String(k.data(), qsizetype(k.size()));
}
