// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Calendar.h"

#include "platform/IcuSupport.h"

#include <unicode/basictz.h>
#include <unicode/gregocal.h>

#include <limits>
#include <memory>

namespace platform {

namespace {

// One zone-free calendar per thread.
icu::GregorianCalendar *calendar()
{
    thread_local const std::unique_ptr<icu::GregorianCalendar> made = [] {
        UErrorCode status = U_ZERO_ERROR;
        auto cal = std::make_unique<icu::GregorianCalendar>(
            icu::TimeZone::getGMT()->clone(), icu::Locale("en_US_POSIX"), status);
        if (U_FAILURE(status))
            return std::unique_ptr<icu::GregorianCalendar>();
        icusupport::makeProleptic(*cal);
        cal->setLenient(true);
        return cal;
    }();
    return made.get();
}

// The user's zone, per thread, rebuilt when a test pins another one.
const icu::TimeZone *userZone()
{
    struct Cache
    {
        int generation = -1;
        std::unique_ptr<icu::TimeZone> zone;
    };
    thread_local Cache cache;
    const int generation = icusupport::generation();
    if (cache.generation != generation || !cache.zone) {
        cache.zone = icusupport::userTimeZone();
        cache.generation = generation;
    }
    return cache.zone.get();
}

// The user's offset in milliseconds at a wall clock (given in UTC fields).
qint64 offsetAtWallClock(qint64 wallMs)
{
    const icu::TimeZone *zone = userZone();
    if (!zone)
        return 0;
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0;
    int32_t dst = 0;
    if (const auto *basic = dynamic_cast<const icu::BasicTimeZone *>(zone))
        basic->getOffsetFromLocal(
            UDate(wallMs), UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_FORMER, raw, dst, status);
    else
        zone->getOffset(UDate(wallMs), true, raw, dst, status);
    return U_FAILURE(status) ? 0 : qint64(raw) + dst;
}

bool fitsInt32(qint64 value)
{
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

UCalendarDateFields fieldOf(Calendar::Unit unit)
{
    switch (unit) {
    case Calendar::Unit::Year:
        return UCAL_YEAR;
    case Calendar::Unit::Month:
        return UCAL_MONTH;
    case Calendar::Unit::Day:
        return UCAL_DATE;
    case Calendar::Unit::Hour:
        return UCAL_HOUR_OF_DAY;
    case Calendar::Unit::Minute:
        return UCAL_MINUTE;
    case Calendar::Unit::Second:
        break;
    }
    return UCAL_SECOND;
}

std::optional<QDateTime> timeOf(icu::GregorianCalendar *cal)
{
    UErrorCode status = U_ZERO_ERROR;
    const UDate when = cal->getTime(status);
    if (U_FAILURE(status))
        return std::nullopt;
    const QDateTime result = QDateTime::fromMSecsSinceEpoch(qint64(when), Qt::UTC);
    if (!result.isValid())
        return std::nullopt;
    return result;
}

} // namespace

std::optional<Calendar::Parts> Calendar::parts(const QDateTime &date)
{
    icu::GregorianCalendar *cal = calendar();
    if (!cal || !date.isValid())
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(UDate(date.toMSecsSinceEpoch()), status);
    Parts p;
    p.year = cal->get(UCAL_EXTENDED_YEAR, status);
    p.month = cal->get(UCAL_MONTH, status) + 1;
    p.day = cal->get(UCAL_DATE, status);
    p.hour = cal->get(UCAL_HOUR_OF_DAY, status);
    p.minute = cal->get(UCAL_MINUTE, status);
    p.second = cal->get(UCAL_SECOND, status);
    if (U_FAILURE(status))
        return std::nullopt;
    return p;
}

std::optional<QDateTime> Calendar::adding(Unit unit, qint64 amount, const QDateTime &date)
{
    icu::GregorianCalendar *cal = calendar();
    if (!cal || !date.isValid() || !fitsInt32(amount))
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(UDate(date.toMSecsSinceEpoch()), status);
    cal->add(fieldOf(unit), int32_t(amount), status);
    if (U_FAILURE(status))
        return std::nullopt;
    return timeOf(cal);
}

std::optional<QDateTime> Calendar::compose(const Parts &p)
{
    icu::GregorianCalendar *cal = calendar();
    // The month is stored zero-based, so it needs one value of headroom.
    if (!cal || !fitsInt32(p.year) || !fitsInt32(p.month) || p.month == std::numeric_limits<int32_t>::min()
        || !fitsInt32(p.day) || !fitsInt32(p.hour) || !fitsInt32(p.minute) || !fitsInt32(p.second))
        return std::nullopt;
    cal->clear();
    cal->set(UCAL_EXTENDED_YEAR, int32_t(p.year));
    cal->set(UCAL_MONTH, int32_t(p.month - 1));
    cal->set(UCAL_DATE, int32_t(p.day));
    cal->set(UCAL_HOUR_OF_DAY, int32_t(p.hour));
    cal->set(UCAL_MINUTE, int32_t(p.minute));
    cal->set(UCAL_SECOND, int32_t(p.second));
    return timeOf(cal);
}

QDateTime Calendar::wallClock(const QDateTime &instant)
{
    if (!instant.isValid())
        return QDateTime();
    const qint64 ms = instant.toMSecsSinceEpoch();
    qint64 offset = 0;
    if (const icu::TimeZone *zone = userZone()) {
        UErrorCode status = U_ZERO_ERROR;
        int32_t raw = 0;
        int32_t dst = 0;
        zone->getOffset(UDate(ms), false, raw, dst, status);
        if (U_SUCCESS(status))
            offset = qint64(raw) + dst;
    }
    return QDateTime::fromMSecsSinceEpoch(ms + offset, Qt::UTC);
}

QDateTime Calendar::instant(const QDateTime &wallClock)
{
    if (!wallClock.isValid())
        return QDateTime();
    const qint64 ms = wallClock.toMSecsSinceEpoch();
    return QDateTime::fromMSecsSinceEpoch(ms - offsetAtWallClock(ms), Qt::UTC);
}

int Calendar::offsetSeconds(const QDateTime &wallClock)
{
    if (!wallClock.isValid())
        return 0;
    return int(offsetAtWallClock(wallClock.toMSecsSinceEpoch()) / 1000);
}

QDateTime Calendar::now()
{
    return wallClock(QDateTime::currentDateTimeUtc());
}

} // namespace platform
