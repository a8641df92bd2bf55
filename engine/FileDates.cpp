// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileDates.h"

#include "engine/DateTexts.h"
#include "platform/DateFormat.h"

#include <QStringList>

#include <cstdlib>

namespace {

using platform::DateFormat;

// The date forms found in files, tried in this order; the first that reads
// the whole text wins. A text is the wall clock it reads, with or without
// an offset (no zone of the machine's shifts it). Month and weekday names
// are English, as files carry them whatever the user's language.
const QStringList &datePatterns()
{
    static const QStringList patterns {
        QStringLiteral("yyyy:MM:dd HH:mm:ss"), // Exif
        QStringLiteral("yyyy-MM-dd HH:mm:ss"),
        QStringLiteral("yyyy-MM-dd'T'HH:mm:ssZ"),
        QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"),
        QStringLiteral("MM-dd-yyyy HH:mm"),
        QStringLiteral("MMM d, h:mm a"),
        QStringLiteral("E, d MMM yyyy HH:mm:ss Z"),
        dateDisplayFormat,
        QStringLiteral("EEEE, MMM d, yyyy"),
        QStringLiteral("MM/dd/yyyy"),
        QStringLiteral("dd.MM.yy"),
        QStringLiteral("MMM d, yyyy"),
        QStringLiteral("MMM dd,yyyy"),
        QStringLiteral("MMMM yyyy"),
        // A closing Z is the UTC designator, not a letter to skip.
        QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.SSSZZZZZ"),
        // Any number of fraction digits, without a zone.
        QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.SSS"),
        QStringLiteral("hh:mm:ss a 'on' MMMM dd, yyyy"),
        QStringLiteral("yyyy-MM-dd'T'HH:mm:ssZZZZZ"),
        // The full date style: weekday, month name, day and year.
        QStringLiteral("EEEE, MMMM d, y"),
        // The other forms XMP dates take: without seconds, and a bare date.
        QStringLiteral("yyyy-MM-dd'T'HH:mmZZZZZ"),
        QStringLiteral("yyyy-MM-dd'T'HH:mm"),
        QStringLiteral("yyyy-MM-dd"),
    };
    return patterns;
}

std::optional<int> offsetIn(const QString &text, const QString &pattern)
{
    const std::optional<DateFormat::Reading> reading
        = DateFormat::read(text, pattern, DateFormat::Kind::File);
    return reading ? reading->offsetSeconds : std::nullopt;
}

struct OffsetTag
{
    const char *date;
    const char *offset;
};
constexpr OffsetTag offsetTags[] = {
    { "Exif.Photo.DateTimeOriginal", "Exif.Photo.OffsetTimeOriginal" },
    { "Exif.Photo.DateTimeDigitized", "Exif.Photo.OffsetTimeDigitized" },
    { "Exif.Image.DateTime", "Exif.Photo.OffsetTime" },
};

} // namespace

std::optional<FileDate> readFileDate(const QString &text)
{
    for (const QString &pattern : datePatterns()) {
        if (auto reading = DateFormat::read(text, pattern, DateFormat::Kind::File))
            return FileDate { reading->date, reading->offsetSeconds };
    }
    return std::nullopt;
}

std::optional<int> recordedOffset(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (const auto alone = offsetIn(trimmed, QStringLiteral("xxx")))
        return alone;
    if (const auto ofTime = offsetIn(trimmed, QStringLiteral("HH:mm:ssxxx")))
        return ofTime;
    const std::optional<FileDate> date = readFileDate(trimmed);
    return date ? date->offsetSeconds : std::nullopt;
}

QString offsetText(int seconds)
{
    // Seconds only where the offset has them.
    return DateFormat::format(
        QDateTime::fromMSecsSinceEpoch(0, Qt::UTC), QStringLiteral("xxxxx"), DateFormat::Kind::File, seconds);
}

QString inUtcFormOf(const QString &date, const QString &former)
{
    const QLatin1String utc("+00:00");
    if (!date.endsWith(utc) || !former.trimmed().endsWith(QLatin1Char('Z')))
        return date;
    return date.chopped(utc.size()) + QLatin1Char('Z');
}

std::optional<QString> movedWithWallClock(
    const QString &copy, const QString &wallWas, const QString &wallNow, std::optional<int> wallZone)
{
    constexpr qint64 widestZone = 14 * 3600;
    constexpr qint64 zoneStep = 15 * 60;
    const std::optional<FileDate> own = readFileDate(copy);
    const std::optional<FileDate> was = readFileDate(wallWas);
    const std::optional<FileDate> now = readFileDate(wallNow);
    if (!own || !own->offsetSeconds || !was || !now)
        return std::nullopt;
    const qint64 zone = own->date.secsTo(was->date) + *own->offsetSeconds;
    if (wallZone ? zone != *wallZone : (std::abs(zone) > widestZone || zone % zoneStep != 0))
        return std::nullopt;
    const QDateTime moved = own->date.addSecs(was->date.secsTo(now->date));
    return inUtcFormOf(platform::DateFormat::format(
                           moved, QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"), platform::DateFormat::Kind::File)
            + offsetText(*own->offsetSeconds),
        copy);
}

QLatin1String exifOffsetKey(QLatin1String dateKey)
{
    for (const OffsetTag &tag : offsetTags) {
        if (dateKey == QLatin1String(tag.date))
            return QLatin1String(tag.offset);
    }
    return QLatin1String();
}

std::optional<std::size_t> DateOffsets::slotOf(MetadataTag tag)
{
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (tags[i] == tag)
            return i;
    }
    return std::nullopt;
}

std::optional<int> DateOffsets::of(MetadataTag tag) const
{
    const std::optional<std::size_t> slot = slotOf(tag);
    if (!slot || m_seconds[*slot] == none)
        return std::nullopt;
    return m_seconds[*slot];
}

void DateOffsets::set(MetadataTag tag, std::optional<int> seconds)
{
    if (const std::optional<std::size_t> slot = slotOf(tag))
        m_seconds[*slot] = seconds ? *seconds : none;
}
