// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Rename.h"

#include "engine/PropertyList.h"

#include <array>
#include <utility>

namespace {

template <class Enum, size_t N> using RawTexts = std::array<std::pair<Enum, const char *>, N>;

constexpr RawTexts<DateAs, 2> DateAsTexts { { { DateAs::prefix, "Prefix" }, { DateAs::suffix, "Suffix" } } };

// "DD-MM-YYYY-HHMM" (seven) has a dash where its neighbours have "_"; it is
// the stored text and stays as it is.
constexpr RawTexts<DateFormat, 20> DateFormatTexts { {
    { DateFormat::one, "DDMMYYYY" },
    { DateFormat::two, "DDMMYYYY_HHMM" },
    { DateFormat::three, "DDMMYYYY_HH-MM" },
    { DateFormat::four, "DDMMYYYY_HHMMSS" },
    { DateFormat::five, "DDMMYYYY_HH-MM-SS" },
    { DateFormat::six, "DD-MM-YYYY" },
    { DateFormat::seven, "DD-MM-YYYY-HHMM" },
    { DateFormat::eight, "DD-MM-YYYY_HH-MM" },
    { DateFormat::nine, "DD-MM-YYYY_HHMMSS" },
    { DateFormat::ten, "DD-MM-YYYY_HH-MM-SS" },
    { DateFormat::eleven, "MM-DD-YYYY" },
    { DateFormat::twelve, "MM-DD-YYYY_HHMM" },
    { DateFormat::thirteen, "MM-DD-YYYY_HH-MM" },
    { DateFormat::fourteen, "MM-DD-YYYY_HHMMSS" },
    { DateFormat::fifteen, "MM-DD-YYYY_HH-MM-SS" },
    { DateFormat::sixteen, "YYYY-MM-DD" },
    { DateFormat::seventeen, "YYYY-MM-DD_HHMM" },
    { DateFormat::eighteen, "YYYY-MM-DD_HH-MM" },
    { DateFormat::nineteen, "YYYY-MM-DD_HHMMSS" },
    { DateFormat::twenty, "YYYY-MM-DD_HH-MM-SS" },
} };

constexpr RawTexts<ExifDateType, 3> ExifDateTypeTexts { {
    { ExifDateType::original, "Original Date/Time" },
    { ExifDateType::creation, "Creation Date" },
    { ExifDateType::modify, "Modify Date" },
} };

template <class Enum, size_t N> QString textOf(const RawTexts<Enum, N> &texts, Enum value)
{
    for (const auto &[e, text] : texts)
        if (e == value)
            return QString::fromLatin1(text);
    return QString();
}

template <class Enum, size_t N>
std::optional<Enum> valueOf(const RawTexts<Enum, N> &texts, const QString &text)
{
    for (const auto &[e, raw] : texts)
        if (text == QLatin1String(raw))
            return e;
    return std::nullopt;
}

// The fields of one kind, by name, in the rule's field order within that kind.
template <class T> using Fields = std::initializer_list<std::pair<const char *, T Rename::*>>;

const Fields<bool> BoolFields = {
    { "isKeepOriginalFileName", &Rename::isKeepOriginalFileName },
    { "isEditOriginalFileName", &Rename::isEditOriginalFileName },
    { "isReplaceFilename", &Rename::isReplaceFilename },
    { "isReplaceText", &Rename::isReplaceText },
    { "isAddText", &Rename::isAddText },
    { "isAddIndex", &Rename::isAddIndex },
    { "isAddCounter", &Rename::isAddCounter },
    { "isAddDateTime", &Rename::isAddDateTime },
    { "isAddExifLocation", &Rename::isAddExifLocation },
    { "isAppendWidthHeight", &Rename::isAppendWidthHeight },
    { "isAddCurrentDate", &Rename::isAddCurrentDate },
    { "isAddExifDate", &Rename::isAddExifDate },
    { "isPlace", &Rename::isPlace },
    { "isCity", &Rename::isCity },
    { "isState", &Rename::isState },
    { "isCountry", &Rename::isCountry },
};

const Fields<std::optional<QString>> TextFields = {
    { "replaceFilename", &Rename::replaceFilename },
    { "findReplaceText", &Rename::findReplaceText },
    { "replaceWithReplaceText", &Rename::replaceWithReplaceText },
    { "prefixAddText", &Rename::prefixAddText },
    { "suffixAddText", &Rename::suffixAddText },
};

const Fields<std::optional<qint64>> NumberFields = {
    { "prefixAddIndex", &Rename::prefixAddIndex },
    { "suffixAddIndex", &Rename::suffixAddIndex },
    { "prefixAddCounter", &Rename::prefixAddCounter },
    { "suffixAddCounter", &Rename::suffixAddCounter },
};

const QString DigitsKey = QStringLiteral("minNumberOfDigitsAddCounter");
const QString DateAsKey = QStringLiteral("asDateTime");
const QString DateFormatKey = QStringLiteral("dateFormat");
const QString ExifDateTypeKey = QStringLiteral("exifDateType");

} // namespace

QString rawValue(DateAs value)
{
    return textOf(DateAsTexts, value);
}
QString rawValue(DateFormat value)
{
    return textOf(DateFormatTexts, value);
}
QString rawValue(ExifDateType value)
{
    return textOf(ExifDateTypeTexts, value);
}
std::optional<DateAs> dateAsFromRaw(const QString &text)
{
    return valueOf(DateAsTexts, text);
}
std::optional<DateFormat> dateFormatFromRaw(const QString &text)
{
    return valueOf(DateFormatTexts, text);
}
std::optional<ExifDateType> exifDateTypeFromRaw(const QString &text)
{
    return valueOf(ExifDateTypeTexts, text);
}

QVariantMap Rename::dictionary() const
{
    QVariantMap d;
    for (const auto &[name, field] : BoolFields)
        d.insert(QLatin1String(name), this->*field);
    for (const auto &[name, field] : TextFields)
        if (const auto &text = this->*field)
            d.insert(QLatin1String(name), *text);
    for (const auto &[name, field] : NumberFields)
        if (const auto &number = this->*field)
            d.insert(QLatin1String(name), QVariant::fromValue<qint64>(*number));
    d.insert(DigitsKey, QVariant::fromValue<qint64>(minNumberOfDigitsAddCounter));
    d.insert(DateAsKey, rawValue(asDateTime));
    d.insert(DateFormatKey, rawValue(dateFormat));
    d.insert(ExifDateTypeKey, rawValue(exifDateType));
    return d;
}

Rename Rename::fromDictionary(const QVariantMap &dictionary)
{
    Rename rule;
    const auto entry = [&](const QString &key) { return dictionary.value(key); };
    for (const auto &[name, field] : BoolFields)
        if (const auto on = plist::boolean(entry(QLatin1String(name))))
            rule.*field = *on;
    for (const auto &[name, field] : TextFields)
        rule.*field = plist::text(entry(QLatin1String(name)));
    for (const auto &[name, field] : NumberFields)
        rule.*field = plist::integer(entry(QLatin1String(name)));
    if (const auto digits = plist::integer(entry(DigitsKey)))
        rule.minNumberOfDigitsAddCounter = qBound<qint64>(0, *digits, maxNumberOfDigitsAddCounter);
    if (const auto text = plist::text(entry(DateAsKey)))
        rule.asDateTime = dateAsFromRaw(*text).value_or(DateAs::prefix);
    if (const auto text = plist::text(entry(DateFormatKey)))
        rule.dateFormat = dateFormatFromRaw(*text).value_or(DateFormat::one);
    if (const auto text = plist::text(entry(ExifDateTypeKey)))
        rule.exifDateType = exifDateTypeFromRaw(*text).value_or(ExifDateType::original);
    return rule;
}
