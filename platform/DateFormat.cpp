// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DateFormat.h"

#include "platform/Calendar.h"
#include "platform/IcuSupport.h"

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/simpletz.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <memory>
#include <unordered_map>

namespace platform {

namespace {

using icusupport::fromIcu;
using icusupport::toIcu;

icu::Locale localeFor(DateFormat::Kind kind)
{
    if (kind == DateFormat::Kind::File)
        return icu::Locale("en_US_POSIX@calendar=gregorian");
    return icusupport::userLocale();
}

// A cached formatter, and whether its pattern holds a zone field.
struct Formatter
{
    std::unique_ptr<icu::SimpleDateFormat> format;
    bool hasZone = false;
};

struct Cache
{
    int generation = -1;
    std::unordered_map<QString, Formatter> formatters;
};

// Whether an unquoted letter of the pattern is a zone field.
bool hasZoneField(const QString &pattern)
{
    bool quoted = false;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && QStringView(u"zZOvVxX").contains(c))
            return true;
    }
    return false;
}

// Formatters work in GMT, where the wall clock is the UTC fields, in the
// proleptic Gregorian calendar, strictly.
Formatter *formatter(const QString &pattern, DateFormat::Kind kind)
{
    thread_local Cache cache;
    const int generation = icusupport::generation();
    if (cache.generation != generation) {
        cache.formatters.clear();
        cache.generation = generation;
    }
    const QString key
        = (kind == DateFormat::Kind::File ? QStringLiteral("F|") : QStringLiteral("U|")) + pattern;
    auto it = cache.formatters.find(key);
    if (it != cache.formatters.end())
        return &it->second;

    UErrorCode status = U_ZERO_ERROR;
    auto made = std::make_unique<icu::SimpleDateFormat>(toIcu(pattern), localeFor(kind), status);
    if (U_FAILURE(status))
        return nullptr;
    std::unique_ptr<icu::Calendar> calendar(made->getCalendar()->clone());
    icusupport::makeProleptic(*calendar);
    calendar->adoptTimeZone(icu::TimeZone::getGMT()->clone());
    made->adoptCalendar(calendar.release());
    made->setLenient(false);
    Formatter &entry = cache.formatters[key];
    entry.format = std::move(made);
    entry.hasZone = hasZoneField(pattern);
    return &entry;
}

// The user locale's pattern of its medium date style.
QString mediumDatePattern()
{
    thread_local int generation = -1;
    thread_local QString pattern;
    if (generation == icusupport::generation() && !pattern.isEmpty())
        return pattern;
    std::unique_ptr<icu::DateFormat> made(
        icu::DateFormat::createDateInstance(icu::DateFormat::kMedium, icusupport::userLocale()));
    auto *simple = dynamic_cast<icu::SimpleDateFormat *>(made.get());
    icu::UnicodeString text;
    if (simple)
        simple->toPattern(text);
    pattern = text.isEmpty() ? QStringLiteral("yyyy-MM-dd") : fromIcu(text);
    generation = icusupport::generation();
    return pattern;
}

} // namespace

QString DateFormat::mediumDate(const QDateTime &instant)
{
    return format(Calendar::wallClock(instant), mediumDatePattern());
}

QString DateFormat::format(
    const QDateTime &date, const QString &pattern, Kind kind, std::optional<int> offsetSeconds)
{
    if (!date.isValid())
        return QString();
    Formatter *f = formatter(pattern, kind);
    if (!f)
        return QString();
    qint64 ms = date.toMSecsSinceEpoch();
    if (f->hasZone) {
        // The moment in a fixed zone of that offset shows the same wall
        // clock, with the offset.
        const int offset = offsetSeconds ? *offsetSeconds : Calendar::offsetSeconds(date);
        f->format->adoptTimeZone(new icu::SimpleTimeZone(offset * 1000, icu::UnicodeString(u"Offset")));
        ms -= qint64(offset) * 1000;
    }
    icu::UnicodeString out;
    f->format->format(UDate(ms), out);
    return fromIcu(out);
}

std::optional<DateFormat::Reading> DateFormat::read(const QString &text, const QString &pattern, Kind kind)
{
    if (text.isEmpty())
        return std::nullopt;
    Formatter *f = formatter(pattern, kind);
    if (!f)
        return std::nullopt;
    // A text without an offset of its own is read in GMT, so its moment is
    // the wall clock; one with an offset gives its calendar that zone.
    std::unique_ptr<icu::Calendar> calendar(f->format->getCalendar()->clone());
    calendar->adoptTimeZone(icu::TimeZone::getGMT()->clone());
    calendar->clear();
    const icu::UnicodeString source = toIcu(text);
    icu::ParsePosition position(0);
    f->format->parse(source, *calendar, position);
    if (position.getErrorIndex() != -1 || position.getIndex() != source.length())
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    const UDate when = calendar->getTime(status);
    const qint64 offsetMs
        = qint64(calendar->get(UCAL_ZONE_OFFSET, status)) + calendar->get(UCAL_DST_OFFSET, status);
    if (U_FAILURE(status))
        return std::nullopt;
    // Qt::UTC rather than QTimeZone::utc(): a date of this Qt keeps no zone
    // object of its own then, which every loaded record paid for per date.
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(qint64(when) + offsetMs, Qt::UTC);
    if (!date.isValid())
        return std::nullopt;
    Reading reading { date, std::nullopt };
    if (f->hasZone)
        reading.offsetSeconds = int(offsetMs / 1000);
    return reading;
}

std::optional<QDateTime> DateFormat::parse(const QString &text, const QString &pattern, Kind kind)
{
    if (std::optional<Reading> reading = read(text, pattern, kind))
        return reading->date;
    return std::nullopt;
}

void DateFormat::setUserLocale(const QString &icuLocaleId)
{
    icusupport::setUserLocaleId(icuLocaleId);
}

void DateFormat::setTimeZone(const QString &ianaZoneId)
{
    icusupport::setTimeZoneId(ianaZoneId);
}

QString DateFormat::userLocaleId()
{
    return icusupport::userLocaleId();
}

QString DateFormat::timeZoneId()
{
    return icusupport::timeZoneId();
}

} // namespace platform
