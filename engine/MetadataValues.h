// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/MetadataFields.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <variant>
#include <vector>

// One value of a metadata record: absent, or a value of its field's kind.
using MetadataValue = std::variant<std::monostate, QString, qint64, double, QDateTime>;

// The values of one metadata record that are set, packed in field order
// behind a bit per field. A photograph sets about fifty of the 75 fields
// and thousands of records stay loaded, so an absent value costs one bit
// rather than a slot.
//
// A reference to a stored value stays valid until a value is next set or
// cleared.
class MetadataValues
{
public:
    MetadataValues() = default;
    MetadataValues(const MetadataValues &) = default;
    MetadataValues &operator=(const MetadataValues &) = default;
    // The source is left without values.
    MetadataValues(MetadataValues &&other) noexcept;
    MetadataValues &operator=(MetadataValues &&other) noexcept;

    bool contains(MetadataField field) const
    {
        const auto i = std::size_t(field);
        return (m_present[i / 64] >> (i % 64)) & 1;
    }
    // std::monostate for an absent value.
    const MetadataValue &value(MetadataField field) const;
    // std::monostate removes the value.
    void set(MetadataField field, MetadataValue value);

    // Room for every field, for filling a record; pack() then gives back
    // what was not used.
    void reserveAll() { m_values.reserve(std::size_t(metadataFieldCount)); }
    // Gives back unused room and moves the texts into one shared block of
    // characters, a text repeated under several keys (Exif, IPTC, XMP) in
    // it once. The texts stay ordinary implicitly shared QStrings: the
    // block lives while any of them does, and changing one copies it out.
    void pack();

private:
    // The position of field's value among the stored ones.
    std::size_t slotOf(MetadataField field) const;

    std::array<std::uint64_t, 2> m_present {};
    std::vector<MetadataValue> m_values;
};
static_assert(metadataFieldCount <= 128);
