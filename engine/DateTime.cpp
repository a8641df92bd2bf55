#include "engine/DateTime.h"

#include "engine/DateTexts.h"
#include "engine/PropertyList.h"
#include "platform/Calendar.h"

using platform::Calendar;

namespace {

// A step runs only when it has a non-zero amount and is not held back.
bool takesStep(bool keep, const std::optional<qint64> &amount)
{
    return !keep && amount && *amount != 0;
}

// Moves working by amount units; on success gives the parts of the new
// date, and a step the calendar cannot take leaves working as it was.
std::optional<Calendar::Parts> step(QDateTime &working, Calendar::Unit unit, qint64 amount)
{
    const auto moved = Calendar::adding(unit, amount, working);
    if (!moved)
        return std::nullopt;
    const auto movedParts = Calendar::parts(*moved);
    if (movedParts)
        working = *moved;
    return movedParts;
}

// The dictionary form, by kind of field. Keys are the field names.
template<typename Member>
struct Entry
{
    const char *key;
    Member DateTime::*member;
};

constexpr Entry<bool> booleanEntries[] = {
    {"isKeepOriginal", &DateTime::isKeepOriginal},
    {"isEmptyValue", &DateTime::isEmptyValue},
    {"isSelectDate", &DateTime::isSelectDate},
    {"isUpdateDate", &DateTime::isUpdateDate},
    {"isIDOriginalDate", &DateTime::isIDOriginalDate},
    {"isIDOriginalTime", &DateTime::isIDOriginalTime},
    {"isKeepOriginalDayUpdateDate", &DateTime::isKeepOriginalDayUpdateDate},
    {"isKeepOriginalMonthUpdateDate", &DateTime::isKeepOriginalMonthUpdateDate},
    {"isKeepOriginalYearUpdateDate", &DateTime::isKeepOriginalYearUpdateDate},
    {"isKeepOriginalTimeUpdateDate", &DateTime::isKeepOriginalTimeUpdateDate},
    {"isKeepOriginalDayIDOriginalDate", &DateTime::isKeepOriginalDayIDOriginalDate},
    {"isKeepOriginalMonthIDOriginalDate", &DateTime::isKeepOriginalMonthIDOriginalDate},
    {"isKeepOriginalYearIDOriginalDate", &DateTime::isKeepOriginalYearIDOriginalDate},
    {"isKeepOriginalHourIDOriginalTime", &DateTime::isKeepOriginalHourIDOriginalTime},
    {"isKeepOriginalMinuteIDOriginalTime", &DateTime::isKeepOriginalMinuteIDOriginalTime},
    {"isKeepOriginalSecondIDOriginalTime", &DateTime::isKeepOriginalSecondIDOriginalTime},
};

constexpr Entry<QString> textEntries[] = {
    {"textFieldEditorString", &DateTime::textFieldEditorString},
    {"dayIDOriginalDateString", &DateTime::dayIDOriginalDateString},
    {"monthIDOriginalDateString", &DateTime::monthIDOriginalDateString},
    {"yearIDOriginalDateString", &DateTime::yearIDOriginalDateString},
    {"hourIDOriginalTimeString", &DateTime::hourIDOriginalTimeString},
    {"minuteIDOriginalTimeString", &DateTime::minuteIDOriginalTimeString},
    {"secondIDOriginalTimeString", &DateTime::secondIDOriginalTimeString},
};

constexpr Entry<std::optional<qint64>> integerEntries[] = {
    {"dayUpdateDate", &DateTime::dayUpdateDate},
    {"monthUpdateDate", &DateTime::monthUpdateDate},
    {"yearUpdateDate", &DateTime::yearUpdateDate},
    {"dayIDOriginalDate", &DateTime::dayIDOriginalDate},
    {"monthIDOriginalDate", &DateTime::monthIDOriginalDate},
    {"yearIDOriginalDate", &DateTime::yearIDOriginalDate},
    {"hourIDOriginalTime", &DateTime::hourIDOriginalTime},
    {"minuteIDOriginalTime", &DateTime::minuteIDOriginalTime},
    {"secondIDOriginalTime", &DateTime::secondIDOriginalTime},
};

constexpr Entry<std::optional<QDateTime>> dateEntries[] = {
    {"originalDate", &DateTime::originalDate},
    {"selectDate", &DateTime::selectDate},
    {"timeUpdateDate", &DateTime::timeUpdateDate},
};

static_assert(std::size(booleanEntries) + std::size(textEntries) + std::size(integerEntries) + std::size(dateEntries)
              == 35);

template<typename Entries, typename Read>
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

template<typename Entries>
void writeOptionals(const DateTime &rule, QVariantMap &dictionary, const Entries &entries)
{
    for (const auto &entry : entries)
        if (const auto &value = rule.*entry.member)
            dictionary.insert(QLatin1String(entry.key), QVariant::fromValue(*value));
}

} // namespace

DateTime::DateTime(const std::optional<QDateTime> &originalDate)
    : originalDate(originalDate)
    , m_tempDate(QDateTime::currentDateTime())
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
    return isKeepOriginal || isEmptyValue || isSelectDate || isUpdateDate || isIDOriginalDate || isIDOriginalTime;
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
    return Calendar::compose({year, month, day, time->hour, time->minute, time->second});
}

// The day is read back only after the day step, so a day that a month or
// year step shortened rolls on in the lenient composition (31 January plus
// one month is 3 March).
std::optional<QDateTime> DateTime::steppedDate(const QDateTime &original) const
{
    const auto parts = Calendar::parts(original);
    if (!parts)
        return std::nullopt;
    QDateTime working = original;
    qint64 day = parts->day;
    qint64 month = parts->month;
    qint64 year = parts->year;

    if (takesStep(isKeepOriginalDayIDOriginalDate, dayIDOriginalDate)) {
        if (const auto p = step(working, Calendar::Unit::Day, *dayIDOriginalDate)) {
            day = p->day;
            month = p->month;
            year = p->year;
        }
    }
    if (takesStep(isKeepOriginalMonthIDOriginalDate, monthIDOriginalDate)) {
        if (const auto p = step(working, Calendar::Unit::Month, *monthIDOriginalDate)) {
            month = p->month;
            year = p->year;
        }
    }
    if (takesStep(isKeepOriginalYearIDOriginalDate, yearIDOriginalDate)) {
        if (const auto p = step(working, Calendar::Unit::Year, *yearIDOriginalDate))
            year = p->year;
    }
    return Calendar::compose({year, month, day, parts->hour, parts->minute, parts->second});
}

// Likewise each of hour, minute and second turns over within its own range
// and never carries into the calendar date.
std::optional<QDateTime> DateTime::steppedTime(const QDateTime &original) const
{
    const auto parts = Calendar::parts(original);
    if (!parts)
        return std::nullopt;
    QDateTime working = original;
    qint64 hour = parts->hour;
    qint64 minute = parts->minute;
    qint64 second = parts->second;

    if (takesStep(isKeepOriginalHourIDOriginalTime, hourIDOriginalTime)) {
        if (const auto p = step(working, Calendar::Unit::Hour, *hourIDOriginalTime)) {
            hour = p->hour;
            minute = p->minute;
            second = p->second;
        }
    }
    if (takesStep(isKeepOriginalMinuteIDOriginalTime, minuteIDOriginalTime)) {
        if (const auto p = step(working, Calendar::Unit::Minute, *minuteIDOriginalTime)) {
            minute = p->minute;
            second = p->second;
        }
    }
    if (takesStep(isKeepOriginalSecondIDOriginalTime, secondIDOriginalTime)) {
        if (const auto p = step(working, Calendar::Unit::Second, *secondIDOriginalTime))
            second = p->second;
    }
    return Calendar::compose({parts->year, parts->month, parts->day, hour, minute, second});
}
