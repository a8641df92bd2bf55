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

// The IPTC datasets that carry the digitized date, with their patterns.
struct IptcDatePart
{
    MetadataTag tag;
    const char *pattern;
};
// Times carry the user's offset from UTC at that wall clock, as the IPTC
// form HHMMSS±HHMM does.
constexpr IptcDatePart iptcDateParts[] = {
    { MetadataTag::digitizationDate, "yyyy-MM-dd" },
    { MetadataTag::digitizationTime, "HH:mm:ssxxx" },
    { MetadataTag::dateCreated, "yyyy-MM-dd" },
    { MetadataTag::timeCreated, "HH:mm:ssxxx" },
};

// Exif dates are wall clocks as they are; XMP dates add the user's offset.
QString datePattern(MetadataField field)
{
    return fieldKey(field).startsWith(QLatin1String("Xmp.")) ? QStringLiteral("yyyy-MM-dd'T'HH:mm:ssxxx")
                                                             : QStringLiteral("yyyy:MM:dd HH:mm:ss");
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
    values.insert(fieldKey(field), date ? fileDateText(*date, datePattern(field)) : QString());
    if (field != MetadataField::creationDate)
        return;
    for (const IptcDatePart &part : iptcDateParts)
        values.insert(key(part.tag), date ? fileDateText(*date, QLatin1String(part.pattern)) : QString());
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
