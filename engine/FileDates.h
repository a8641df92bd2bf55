// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/MetadataTag.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <limits>
#include <optional>

// Dates as files record them: a wall clock, and for many an offset from
// UTC that says where the photo was taken. A change of date works on the
// wall clock; the offset stays the photo's, so the same change gives the
// same file on a machine in any zone.

// A date text of a file and the offset it carries, in seconds; none for a
// text without one.
struct FileDate
{
    QDateTime date;
    std::optional<int> offsetSeconds;
};

// The first of the date forms found in files that reads the whole text.
std::optional<FileDate> readFileDate(const QString &text);

// The offset a text records: an offset alone, as Exif's offset tags hold it
// ("-04:00"), a time with one, as IPTC times read ("17:20:59-07:00"), or a
// date with one ("2008-03-15T09:52:01-04:00"). None when it has none, or
// one that does not read ("+1:00", "+25:00").
std::optional<int> recordedOffset(const QString &text);

// The ISO 8601 form of an offset: "+09:00", "-04:00", "+00:00".
QString offsetText(int seconds);

// A date text ending in an offset, with UTC written as former wrote it:
// "Z" where former ends in it, so that a date kept in UTC stays so
// written; otherwise date as it is.
QString inUtcFormOf(const QString &date, const QString &former);

// A copy of a date kept in a zone of its own (a photo manager keeps its
// XMP and IPTC dates in UTC beside the camera's local Exif dates), where it
// named the moment the wall clock it follows named (wallWas, in wallZone
// or, without one, in any zone a place on earth has), moved as far as that
// wall clock moved to wallNow: the moment the wall clock now names, still
// in the copy's zone. Taking the new wall clock with the copy's zone would
// name another moment. None for a copy that named another moment, or has
// no zone.
std::optional<QString> movedWithWallClock(
    const QString &copy, const QString &wallWas, const QString &wallNow, std::optional<int> wallZone);

// The Exif tag in which a camera records the offset of one of the three
// Exif dates ("Exif.Photo.DateTimeOriginal" has "Exif.Photo.OffsetTimeOriginal");
// empty for any other key.
QLatin1String exifOffsetKey(QLatin1String dateKey);

// The offsets one file recorded its dates with: a date field's (an XMP
// date in its own text, an Exif date in its offset tag) and the two IPTC
// times'. Thousands of records keep one, so it is eight whole numbers.
class DateOffsets
{
public:
    std::optional<int> of(MetadataTag tag) const;
    // Does nothing for a tag that holds no date.
    void set(MetadataTag tag, std::optional<int> seconds);

private:
    static constexpr std::array<MetadataTag, 8> tags { metadataTag(MetadataField::originalDate),
        metadataTag(MetadataField::creationDate), metadataTag(MetadataField::modifyDate),
        metadataTag(MetadataField::createDateXMP), metadataTag(MetadataField::modifyDateXMP),
        metadataTag(MetadataField::createDatePhotoshopXMP), MetadataTag::digitizationTime,
        MetadataTag::timeCreated };
    static constexpr std::int32_t none = std::numeric_limits<std::int32_t>::min();
    static std::optional<std::size_t> slotOf(MetadataTag tag);

    std::array<std::int32_t, tags.size()> m_seconds { none, none, none, none, none, none, none, none };
};
