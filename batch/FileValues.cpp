// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/FileValues.h"

#include "engine/Metadata.h"
#include "engine/MetadataTag.h"
#include "platform/Calendar.h"
#include "platform/Console.h"
#include "platform/DateFormat.h"
#include "platform/FileOps.h"

namespace {

using platform::DateFormat;

QString fileDateText(const QDateTime &date, const QString &pattern)
{
    return DateFormat::format(date, pattern, DateFormat::Kind::File);
}

DateRule ruleOf(MetadataField field)
{
    for (int i = 0; i < dateRuleCount; ++i) {
        if (dateRules[std::size_t(i)].field == field)
            return DateRule(i);
    }
    Q_UNREACHABLE();
}

// The IPTC datasets that carry the digitized date, with their patterns;
// a time carries an offset, as the IPTC form HHMMSS±HHMM does.
struct IptcDatePart
{
    MetadataTag tag;
    const char *pattern;
    bool isTime;
};
constexpr IptcDatePart iptcDateParts[] = {
    { MetadataTag::digitizationDate, "yyyy-MM-dd", false },
    { MetadataTag::digitizationTime, "HH:mm:ssxxxxx", true },
    { MetadataTag::dateCreated, "yyyy-MM-dd", false },
    { MetadataTag::timeCreated, "HH:mm:ssxxxxx", true },
};

bool isXmp(MetadataField field)
{
    return fieldKey(field).startsWith(QLatin1String("Xmp."));
}

// The offset an XMP date of one file is written with: the one the file's
// date had, or none when it had none; a date the file did not have takes
// the user's offset at its wall clock.
std::optional<int> xmpOffset(const Metadata *fileMetadata, MetadataField field, const QDateTime &date)
{
    if (fileMetadata && fileMetadata->date(field))
        return fileMetadata->dateOffset(metadataTag(field));
    return platform::Calendar::offsetSeconds(date);
}

// The offset of an IPTC time: its own, else the one the Exif records for
// the digitized date it follows, else the user's at that wall clock.
int iptcTimeOffset(const Metadata *fileMetadata, MetadataTag time, const QDateTime &date)
{
    if (fileMetadata) {
        if (const std::optional<int> own = fileMetadata->dateOffset(time))
            return *own;
        if (const std::optional<int> exif
            = fileMetadata->dateOffset(metadataTag(MetadataField::creationDate)))
            return *exif;
    }
    return platform::Calendar::offsetSeconds(date);
}

// Exif dates are wall clocks as they are; XMP dates add their offset.
QString dateText(const Metadata *fileMetadata, MetadataField field, const QDateTime &date)
{
    if (!isXmp(field))
        return fileDateText(date, QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    const std::optional<int> offset = xmpOffset(fileMetadata, field, date);
    const QString pattern = QStringLiteral("yyyy-MM-dd'T'HH:mm:ss");
    return offset
        ? DateFormat::format(date, pattern + QStringLiteral("xxxxx"), DateFormat::Kind::File, offset)
        : fileDateText(date, pattern);
}

// The date a rule gives one file: none when it yields no date.
std::optional<QDateTime> ruleDate(const Metadata &metadata, const Metadata *fileMetadata, MetadataField field)
{
    return editedDate(metadata, field, fileMetadata ? fileMetadata->date(field) : std::nullopt);
}

void enterDate(
    QVariantMap &values, const Metadata &metadata, const Metadata *fileMetadata, MetadataField field)
{
    const bool isEmptied = metadata.dateTime(ruleOf(field))->isEmptyValue;
    const std::optional<QDateTime> date = ruleDate(metadata, fileMetadata, field);
    if (!isEmptied && !date)
        return;
    values.insert(fieldKey(field), date ? dateText(fileMetadata, field, *date) : QString());
    if (field != MetadataField::creationDate)
        return;
    for (const IptcDatePart &part : iptcDateParts) {
        QString text;
        if (date && part.isTime)
            text = DateFormat::format(*date, QLatin1String(part.pattern), DateFormat::Kind::File,
                iptcTimeOffset(fileMetadata, part.tag, *date));
        else if (date)
            text = fileDateText(*date, QLatin1String(part.pattern));
        values.insert(key(part.tag), text);
    }
}

QVariant entryOf(const Metadata::Value &value)
{
    if (const auto *text = std::get_if<QString>(&value))
        return *text;
    if (const auto *number = std::get_if<qint64>(&value))
        return QVariant::fromValue(*number);
    if (const auto *real = std::get_if<double>(&value))
        return *real;
    return QVariant();
}

} // namespace

std::optional<QDateTime> editedDate(
    const Metadata &metadata, MetadataField field, const std::optional<QDateTime> &own)
{
    // The empty value is asked first, whatever other mode the rule has.
    const DateTime &rule = *metadata.dateTime(ruleOf(field));
    if (rule.isEmptyValue)
        return std::nullopt;
    return rule.newDate(own);
}

QVariantMap metadataDictionary(const Metadata &metadata, const Metadata *fileMetadata)
{
    QVariantMap values;
    for (const MetadataField field : allMetadataFields()) {
        if (!metadata.isEdited(field))
            continue;
        if (fieldKind(field) == FieldKind::Date)
            enterDate(values, metadata, fileMetadata, field);
        else
            values.insert(
                fieldKey(field), entryOf(metadata.value(field))); // emptied: a null entry removes it
    }
    return values;
}

std::optional<QDateTime> newModificationDate(
    const Metadata &metadata, const Metadata *fileMetadata, bool /*isEmpty*/, bool isCleared)
{
    if (isCleared || !metadata.isModifyDateEdited())
        return std::nullopt;
    return ruleDate(metadata, fileMetadata, MetadataField::modifyDate);
}

void updateFileSystemDates(
    const QString &path, const Metadata &metadata, const Metadata *fileMetadata, bool isEmpty, bool isCleared)
{
    const std::optional<QDateTime> date = newModificationDate(metadata, fileMetadata, isEmpty, isCleared);
    if (!date)
        return;
    // The file system keeps a point in time: the wall clock on the user's.
    const platform::FileOps::Result result
        = platform::FileOps::setModificationTime(path, platform::Calendar::instant(*date));
    if (!result.ok())
        platform::Console::err(result.message);
}
