// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/NewFileName.h"

#include "batch/FileValues.h"
#include "engine/FileInfo.h"
#include "engine/Metadata.h"
#include "platform/Calendar.h"

#include <limits>

namespace {

bool isUnsafe(char32_t c)
{
    if (c == U'/')
        return true;
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Other_Control || category == QChar::Separator_Line
        || category == QChar::Separator_Paragraph)
        return true;
    // Embedding, override and isolate controls reorder how a name reads.
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

qint64 steppedCounter(qint64 first, qint64 step)
{
    qint64 number = 0;
    if (__builtin_add_overflow(first, step, &number))
        return step > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return number;
}

// The date parts of the twenty patterns: four orders of the date, each
// with five forms of the time (none, hm, h-m, hms, h-m-s), in the order of
// DateFormat. D, M, Y, h, m and s stand for the two-character components.
constexpr const char *dateLayouts[] = { "DMY", "D-M-Y", "M-D-Y", "Y-M-D" };
constexpr const char *timeLayouts[] = { "", "_hm", "_h-m", "_hms", "_h-m-s" };
static_assert(int(DateFormat::twenty) + 1 == std::size(dateLayouts) * std::size(timeLayouts));

std::optional<QDateTime> nameDate(const NameSources &sources, ExifDateType type)
{
    switch (type) {
    case ExifDateType::original:
        return sources.originalDate;
    case ExifDateType::creation:
        return sources.creationDate;
    case ExifDateType::modify:
        return sources.modifyDate;
    }
    return std::nullopt;
}

// The date part of a name: the current date, replaced by the chosen
// metadata date when that is set; empty when neither applies.
QString datePart(const Rename &rule, const NameSources &sources, const QDateTime &now)
{
    QString text;
    if (rule.isAddCurrentDate)
        text = dateString(rule.dateFormat, now);
    if (rule.isAddExifDate) {
        if (const auto date = nameDate(sources, rule.exifDateType))
            text = dateString(rule.dateFormat, *date);
    }
    return text;
}

// The fields a name shows, with where each stands in the sources.
constexpr std::pair<MetadataField, std::optional<QDateTime> NameSources::*> nameDates[] = {
    { MetadataField::originalDate, &NameSources::originalDate },
    { MetadataField::creationDate, &NameSources::creationDate },
    { MetadataField::modifyDate, &NameSources::modifyDate },
};
constexpr std::pair<MetadataField, std::optional<QString> NameSources::*> namePlaces[] = {
    { MetadataField::subLocation, &NameSources::subLocation },
    { MetadataField::city, &NameSources::city },
    { MetadataField::provinceState, &NameSources::provinceState },
    { MetadataField::countryPrimaryLocationName, &NameSources::country },
};

} // namespace

NameSources NameSources::of(const FileInfo &file, const Metadata *edited)
{
    NameSources sources;
    sources.width = file.width;
    sources.height = file.height;
    const Metadata *own = file.metadata.get();
    for (const auto &[field, member] : nameDates) {
        const std::optional<QDateTime> ownDate = own ? own->date(field) : std::nullopt;
        sources.*member = edited && edited->isEdited(field) ? editedDate(*edited, field, ownDate) : ownDate;
    }
    for (const auto &[field, member] : namePlaces) {
        const Metadata *from = edited && edited->isEdited(field) ? edited : own;
        if (from)
            sources.*member = from->text(field);
    }
    return sources;
}

SplitName splitFileName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == fileName.size() - 1)
        return { fileName, QString() };
    return { fileName.left(dot), fileName.mid(dot + 1) };
}

QString joinFileName(const QString &stem, const QString &extension)
{
    return extension.isEmpty() ? stem : stem + QLatin1Char('.') + extension;
}

QString safeNamePart(const QString &text)
{
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const QChar low = text.at(++i);
            if (isUnsafe(QChar::surrogateToUcs4(c, low)))
                safe += QLatin1Char('_');
            else
                safe.append(c).append(low);
            continue;
        }
        safe += c.isSurrogate() || isUnsafe(c.unicode()) ? QChar(u'_') : c;
    }
    return safe;
}

QString twoDigits(qint64 n)
{
    const QString text = QString::number(n);
    return text.size() < 3 ? text.rightJustified(2, QLatin1Char('0')) : text.right(2);
}

QString dateString(DateFormat format, const QDateTime &date)
{
    const auto parts = platform::Calendar::parts(date);
    if (!parts)
        return QString();
    const int index = int(format);
    const QString layout = QLatin1String(dateLayouts[index / std::size(timeLayouts)])
        + QLatin1String(timeLayouts[index % std::size(timeLayouts)]);
    QString text;
    for (const QChar c : layout) {
        switch (c.unicode()) {
        case u'D':
            text += twoDigits(parts->day);
            break;
        case u'M':
            text += twoDigits(parts->month);
            break;
        case u'Y':
            text += QString::number(parts->year).rightJustified(4, QLatin1Char('0'));
            break;
        case u'h':
            text += twoDigits(parts->hour);
            break;
        case u'm':
            text += twoDigits(parts->minute);
            break;
        case u's':
            text += twoDigits(parts->second);
            break;
        default:
            text += c;
            break;
        }
    }
    return text;
}

QString counterText(qint64 number, qint64 minDigits)
{
    const qsizetype digits = qsizetype(qBound<qint64>(0, minDigits, Rename::maxNumberOfDigitsAddCounter));
    const QString text = QString::number(number);
    const bool isNegative = text.startsWith(QLatin1Char('-'));
    const QString body = isNegative ? text.mid(1) : text;
    if (body.size() >= digits)
        return text;
    return (isNegative ? QStringLiteral("-") : QString()) + body.rightJustified(digits, QLatin1Char('0'));
}

QString editedFileStem(
    const QString &originalStem, const Rename &rule, const AddedParts &parts, qint64 counterStep)
{
    if (rule.isKeepOriginalFileName || !rule.isEditOriginalFileName)
        return originalStem;

    QString name = originalStem;
    if (rule.isReplaceFilename && rule.replaceFilename)
        name = safeNamePart(*rule.replaceFilename);
    if (rule.isReplaceText && rule.findReplaceText && !rule.findReplaceText->isEmpty())
        name.replace(*rule.findReplaceText, safeNamePart(rule.replaceWithReplaceText.value_or(QString())));

    QString prefix;
    QString suffix;
    const auto addPrefix = [&](const QString &part) { prefix += part + QLatin1Char('_'); };
    const auto addSuffix = [&](const QString &part) { suffix += QLatin1Char('_') + part; };
    if (rule.isAddText) {
        if (rule.prefixAddText)
            addPrefix(safeNamePart(*rule.prefixAddText));
        if (rule.suffixAddText)
            addSuffix(safeNamePart(*rule.suffixAddText));
    }
    if (rule.isAddIndex) {
        if (rule.prefixAddIndex)
            addPrefix(QString::number(*rule.prefixAddIndex));
        if (rule.suffixAddIndex)
            addSuffix(QString::number(*rule.suffixAddIndex));
    }
    if (rule.isAddCounter) {
        const auto counter = [&](qint64 first) {
            return counterText(steppedCounter(first, counterStep), rule.minNumberOfDigitsAddCounter);
        };
        if (rule.prefixAddCounter)
            addPrefix(counter(*rule.prefixAddCounter));
        if (rule.suffixAddCounter)
            addSuffix(counter(*rule.suffixAddCounter));
    }
    if (rule.isAddDateTime && !parts.date.isEmpty())
        rule.asDateTime == DateAs::prefix ? addPrefix(parts.date) : addSuffix(parts.date);
    if (rule.isAddExifLocation) {
        for (const QString &place : parts.places)
            name += QLatin1Char('_') + safeNamePart(place);
    }
    if (rule.isAppendWidthHeight && parts.size)
        name += QLatin1Char('_') + safeNamePart(*parts.size);

    QString stem = prefix + name + suffix;
    if (stem.isEmpty() || stem == QLatin1String(".") || stem == QLatin1String(".."))
        return originalStem;
    // A leading dot would hide the copy from the file manager and from scans.
    if (stem.startsWith(QLatin1Char('.')))
        stem[0] = QLatin1Char('_');
    return stem;
}

QString exampleFileName(const Rename &rule)
{
    AddedParts parts;
    parts.date = QLatin1Char('{') + rawValue(rule.dateFormat) + QLatin1Char('}');
    for (const auto &[isOn, placeholder] : { std::pair { rule.isPlace, "{Place}" }, { rule.isCity, "{City}" },
             { rule.isState, "{State}" }, { rule.isCountry, "{Country}" } }) {
        if (isOn)
            parts.places << QLatin1String(placeholder);
    }
    parts.size = QStringLiteral("{Width}x{Height}");
    return editedFileStem(QStringLiteral("Filename"), rule, parts, 0);
}

QString newFileStem(const QString &originalStem, const Rename &rule, const NameSources &sources,
    qint64 counterStep, const QDateTime &now)
{
    if (rule.isKeepOriginalFileName || !rule.isEditOriginalFileName)
        return originalStem;
    AddedParts parts;
    if (rule.isAddDateTime)
        parts.date = datePart(rule, sources, now);
    if (rule.isAddExifLocation) {
        for (const auto &[isOn, place] :
            { std::pair { rule.isPlace, sources.subLocation }, { rule.isCity, sources.city },
                { rule.isState, sources.provinceState }, { rule.isCountry, sources.country } }) {
            if (isOn && place)
                parts.places << *place;
        }
    }
    if (sources.width && sources.height)
        parts.size = *sources.width + QLatin1Char('x') + *sources.height;
    return editedFileStem(originalStem, rule, parts, counterStep);
}
