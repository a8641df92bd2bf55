// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Metadata.h"

#include "engine/DateTexts.h"
#include "engine/MetadataOperation.h"
#include "platform/DateFormat.h"

namespace {

// The date forms found in files, tried in this order; the first that reads
// the whole text wins. A text without a zone is the wall clock it reads
// (no zone of the machine's shifts it); one with an offset is the user's
// wall clock at that moment. Month and weekday names are English, as files
// carry them whatever the user's language.
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

} // namespace

std::optional<QDateTime> Metadata::dateFrom(const QString &text)
{
    for (const QString &pattern : datePatterns()) {
        if (auto date = platform::DateFormat::parse(text, pattern, platform::DateFormat::Kind::File))
            return date;
    }
    return std::nullopt;
}

const MetadataOperation &sharedMetadataOperation()
{
    static const MetadataOperation operation;
    return operation;
}

Metadata Metadata::fromFile(const QString &path)
{
    return fromReading(sharedMetadataOperation().getMetadata(path));
}

Metadata Metadata::fromReading(const std::optional<QVariantMap> &reading)
{
    Metadata metadata;
    if (reading)
        metadata.takeValues(*reading, DateEntries::Texts);
    metadata.refreshDateTimes();
    return metadata;
}
