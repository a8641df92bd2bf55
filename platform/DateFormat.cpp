// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DateFormat.h"

#include "platform/IcuSupport.h"

#include <QTimeZone>

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
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

struct Cache
{
    int generation = -1;
    std::unordered_map<QString, std::unique_ptr<icu::SimpleDateFormat>> formatters;
};

// How a formatter resolves a text's fields into a moment. Strict: every
// field in range and the wall time one that exists in the user's zone.
// InGmt: the same in a zone without summer time. Lenient: a wall time that
// summer time skips is taken as the same time before the change.
enum class Resolution { Strict, InGmt, Lenient };

icu::SimpleDateFormat *formatter(
    const QString &pattern, DateFormat::Kind kind, Resolution resolution = Resolution::Strict)
{
    thread_local Cache cache;
    const int generation = icusupport::generation();
    if (cache.generation != generation) {
        cache.formatters.clear();
        cache.generation = generation;
    }
    const QString key = (kind == DateFormat::Kind::File ? QStringLiteral("F") : QStringLiteral("U"))
        + QString::number(int(resolution)) + QLatin1Char('|') + pattern;
    auto it = cache.formatters.find(key);
    if (it != cache.formatters.end())
        return it->second.get();

    UErrorCode status = U_ZERO_ERROR;
    auto made = std::make_unique<icu::SimpleDateFormat>(toIcu(pattern), localeFor(kind), status);
    if (U_FAILURE(status))
        return nullptr;
    if (resolution == Resolution::InGmt)
        made->adoptTimeZone(icu::TimeZone::getGMT()->clone());
    else
        made->adoptTimeZone(icusupport::userTimeZone().release());
    made->setLenient(false);
    if (resolution == Resolution::Lenient) {
        std::unique_ptr<icu::Calendar> calendar(made->getCalendar()->clone());
        calendar->setLenient(true);
        calendar->setSkippedWallTimeOption(UCAL_WALLTIME_LAST);
        made->adoptCalendar(calendar.release());
    }
    icu::SimpleDateFormat *raw = made.get();
    cache.formatters.emplace(key, std::move(made));
    return raw;
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

QString DateFormat::mediumDate(const QDateTime &date)
{
    return format(date, mediumDatePattern());
}

QString DateFormat::format(const QDateTime &date, const QString &pattern, Kind kind)
{
    if (!date.isValid())
        return QString();
    icu::SimpleDateFormat *f = formatter(pattern, kind);
    if (!f)
        return QString();
    icu::UnicodeString out;
    f->format(UDate(date.toMSecsSinceEpoch()), out);
    return fromIcu(out);
}

namespace {

std::optional<UDate> parseWhole(icu::SimpleDateFormat *f, const icu::UnicodeString &source)
{
    if (!f)
        return std::nullopt;
    icu::ParsePosition position(0);
    const UDate when = f->parse(source, position);
    if (position.getErrorIndex() != -1 || position.getIndex() != source.length())
        return std::nullopt;
    return when;
}

} // namespace

std::optional<QDateTime> DateFormat::parse(const QString &text, const QString &pattern, Kind kind)
{
    if (text.isEmpty())
        return std::nullopt;
    const icu::UnicodeString source = toIcu(text);
    std::optional<UDate> when = parseWhole(formatter(pattern, kind), source);
    // A wall time inside the hour that summer time skips reads strictly in
    // a zone without that hour; only then is it resolved leniently.
    if (!when && parseWhole(formatter(pattern, kind, Resolution::InGmt), source))
        when = parseWhole(formatter(pattern, kind, Resolution::Lenient), source);
    if (!when)
        return std::nullopt;
    // Qt::UTC rather than QTimeZone::utc(): a date of this Qt keeps no zone
    // object of its own then, which every loaded record paid for per date.
    return QDateTime::fromMSecsSinceEpoch(qint64(*when), Qt::UTC);
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
