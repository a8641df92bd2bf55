// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DateTime.h"

#include "engine/DateTexts.h"
#include "engine/PropertyList.h"
#include "platform/Calendar.h"

#include <array>

using platform::Calendar;

namespace {

// One step of the date or time modes: an amount of a unit, unless its keep
// flag is set.
struct UnitStep
{
    Calendar::Unit unit;
    bool keep;
    const std::optional<qint64> &amount;
};

// The wall clock moved by each step in turn, as the calendar adds: each
// carries into the larger units (an hour on 23:37 is 00:37 of the next
// day), and a month or year step onto a day the target month lacks gives
// its last day (31 January plus one month is the end of February). A step
// the calendar cannot take is left out. Whole seconds.
std::optional<QDateTime> stepped(const QDateTime &original, const std::array<UnitStep, 3> &steps)
{
    QDateTime working = original;
    for (const UnitStep &s : steps) {
        if (s.keep || !s.amount || *s.amount == 0)
            continue;
        if (const auto moved = Calendar::adding(s.unit, *s.amount, working))
            working = *moved;
    }
    const auto parts = Calendar::parts(working);
    return parts ? Calendar::compose(*parts) : std::nullopt;
}

// The dictionary form, by kind of field. Keys are the field names.
template <typename Member> struct Entry
{
    const char *key;
    Member DateTime::*member;
};

constexpr Entry<bool> booleanEntries[] = {
    { "isKeepOriginal", &DateTime::isKeepOriginal },
    { "isEmptyValue", &DateTime::isEmptyValue },
    { "isSelectDate", &DateTime::isSelectDate },
    { "isUpdateDate", &DateTime::isUpdateDate },
    { "isIDOriginalDate", &DateTime::isIDOriginalDate },
    { "isIDOriginalTime", &DateTime::isIDOriginalTime },
    { "isKeepOriginalDayUpdateDate", &DateTime::isKeepOriginalDayUpdateDate },
    { "isKeepOriginalMonthUpdateDate", &DateTime::isKeepOriginalMonthUpdateDate },
    { "isKeepOriginalYearUpdateDate", &DateTime::isKeepOriginalYearUpdateDate },
    { "isKeepOriginalTimeUpdateDate", &DateTime::isKeepOriginalTimeUpdateDate },
    { "isKeepOriginalDayIDOriginalDate", &DateTime::isKeepOriginalDayIDOriginalDate },
    { "isKeepOriginalMonthIDOriginalDate", &DateTime::isKeepOriginalMonthIDOriginalDate },
    { "isKeepOriginalYearIDOriginalDate", &DateTime::isKeepOriginalYearIDOriginalDate },
    { "isKeepOriginalHourIDOriginalTime", &DateTime::isKeepOriginalHourIDOriginalTime },
    { "isKeepOriginalMinuteIDOriginalTime", &DateTime::isKeepOriginalMinuteIDOriginalTime },
    { "isKeepOriginalSecondIDOriginalTime", &DateTime::isKeepOriginalSecondIDOriginalTime },
};

constexpr Entry<QString> textEntries[] = {
    { "textFieldEditorString", &DateTime::textFieldEditorString },
    { "dayIDOriginalDateString", &DateTime::dayIDOriginalDateString },
    { "monthIDOriginalDateString", &DateTime::monthIDOriginalDateString },
    { "yearIDOriginalDateString", &DateTime::yearIDOriginalDateString },
    { "hourIDOriginalTimeString", &DateTime::hourIDOriginalTimeString },
    { "minuteIDOriginalTimeString", &DateTime::minuteIDOriginalTimeString },
    { "secondIDOriginalTimeString", &DateTime::secondIDOriginalTimeString },
};

constexpr Entry<std::optional<qint64>> integerEntries[] = {
    { "dayUpdateDate", &DateTime::dayUpdateDate },
    { "monthUpdateDate", &DateTime::monthUpdateDate },
    { "yearUpdateDate", &DateTime::yearUpdateDate },
    { "dayIDOriginalDate", &DateTime::dayIDOriginalDate },
    { "monthIDOriginalDate", &DateTime::monthIDOriginalDate },
    { "yearIDOriginalDate", &DateTime::yearIDOriginalDate },
    { "hourIDOriginalTime", &DateTime::hourIDOriginalTime },
    { "minuteIDOriginalTime", &DateTime::minuteIDOriginalTime },
    { "secondIDOriginalTime", &DateTime::secondIDOriginalTime },
};

constexpr Entry<std::optional<QDateTime>> dateEntries[] = {
    { "originalDate", &DateTime::originalDate },
    { "selectDate", &DateTime::selectDate },
    { "timeUpdateDate", &DateTime::timeUpdateDate },
};

static_assert(
    std::size(booleanEntries) + std::size(textEntries) + std::size(integerEntries) + std::size(dateEntries)
    == 35);

template <typename Entries, typename Read>
void readEntries(DateTime &rule, const QVariantMap &dictionary, const Entries &entries, Read read)
{
    for (const auto &entry : entries) {
        const auto found = dictionary.constFind(QLatin1String(entry.key));
        if (found == dictionary.constEnd())
            continue;
        if (const auto value = read(*found))
            rule.*entry.member = *value;
    }
}

template <typename Entries>
void writeOptionals(const DateTime &rule, QVariantMap &dictionary, const Entries &entries)
{
    for (const auto &entry : entries)
        if (const auto &value = rule.*entry.member)
            dictionary.insert(QLatin1String(entry.key), QVariant::fromValue(*value));
}

} // namespace

DateTime::DateTime(const std::optional<QDateTime> &originalDate)
    : DateTime(originalDate, QDateTime::currentDateTimeUtc())
{ }

DateTime::DateTime(const std::optional<QDateTime> &originalDate, const QDateTime &madeAt)
    : originalDate(originalDate)
    , m_tempDate(Calendar::wallClock(madeAt))
{
    if (originalDate)
        textFieldEditorString = displayText(*originalDate);
}

DateTime DateTime::fromDictionary(const QVariantMap &dictionary)
{
    DateTime rule;
    readEntries(rule, dictionary, booleanEntries, plist::boolean);
    readEntries(rule, dictionary, textEntries, plist::text);
    readEntries(rule, dictionary, integerEntries, plist::integer);
    readEntries(rule, dictionary, dateEntries, plist::date);
    return rule;
}

QVariantMap DateTime::dictionary() const
{
    QVariantMap dictionary;
    for (const auto &entry : booleanEntries)
        dictionary.insert(QLatin1String(entry.key), this->*entry.member);
    for (const auto &entry : textEntries)
        dictionary.insert(QLatin1String(entry.key), this->*entry.member);
    writeOptionals(*this, dictionary, integerEntries);
    writeOptionals(*this, dictionary, dateEntries);
    return dictionary;
}

QDateTime DateTime::originalDateOrNow() const
{
    return originalDate ? *originalDate : m_tempDate;
}

std::optional<QDateTime> DateTime::newDateFromOriginal() const
{
    return newDate(originalDate);
}

bool DateTime::isAnyOptionSelected() const
{
    return isKeepOriginal || isEmptyValue || isSelectDate || isUpdateDate || isIDOriginalDate
        || isIDOriginalTime;
}

std::optional<QDateTime> DateTime::newDate(const std::optional<QDateTime> &original) const
{
    if (isKeepOriginal)
        return original;
    if (isEmptyValue)
        return std::nullopt;
    if (isSelectDate)
        return selectDate ? selectDate : original;
    if (isUpdateDate)
        return original ? updatedDate(*original) : std::nullopt;
    if (isIDOriginalDate)
        return original ? steppedDate(*original) : std::nullopt;
    if (isIDOriginalTime)
        return original ? steppedTime(*original) : std::nullopt;
    return original;
}

std::optional<QDateTime> DateTime::updatedDate(const QDateTime &original) const
{
    const auto parts = Calendar::parts(original);
    if (!parts)
        return std::nullopt;
    const qint64 day = isKeepOriginalDayUpdateDate || !dayUpdateDate ? parts->day : *dayUpdateDate;
    const qint64 month = isKeepOriginalMonthUpdateDate || !monthUpdateDate ? parts->month : *monthUpdateDate;
    const qint64 year = isKeepOriginalYearUpdateDate || !yearUpdateDate ? parts->year : *yearUpdateDate;
    const std::optional<QDateTime> timeSource = isKeepOriginalTimeUpdateDate ? original : timeUpdateDate;
    if (day == 0 && month == 0 && year == 0 && !timeSource)
        return original;

    const auto time = timeSource ? Calendar::parts(*timeSource) : parts;
    if (!time)
        return std::nullopt;
    return Calendar::compose({ year, month, day, time->hour, time->minute, time->second });
}

std::optional<QDateTime> DateTime::steppedDate(const QDateTime &original) const
{
    return stepped(original,
        { { { Calendar::Unit::Day, isKeepOriginalDayIDOriginalDate, dayIDOriginalDate },
            { Calendar::Unit::Month, isKeepOriginalMonthIDOriginalDate, monthIDOriginalDate },
            { Calendar::Unit::Year, isKeepOriginalYearIDOriginalDate, yearIDOriginalDate } } });
}

std::optional<QDateTime> DateTime::steppedTime(const QDateTime &original) const
{
    return stepped(original,
        { { { Calendar::Unit::Hour, isKeepOriginalHourIDOriginalTime, hourIDOriginalTime },
            { Calendar::Unit::Minute, isKeepOriginalMinuteIDOriginalTime, minuteIDOriginalTime },
            { Calendar::Unit::Second, isKeepOriginalSecondIDOriginalTime, secondIDOriginalTime } } });
}
