// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/IcuSupport.h"

#include <unicode/gregocal.h>

#include <atomic>
#include <mutex>

namespace platform::icusupport {

namespace {

struct Pinned
{
    std::mutex mutex;
    QString locale;
    QString zone;
    std::atomic<int> generation { 0 };
};

Pinned &pinned()
{
    static Pinned p;
    return p;
}

} // namespace

icu::UnicodeString toIcu(const QString &text)
{
    // Not utf16(): on a literal it makes the string a copy of its own, which
    // races between threads reading one shared pattern.
    return icu::UnicodeString(reinterpret_cast<const char16_t *>(text.constData()), int32_t(text.size()));
}

QString fromIcu(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

icu::Locale userLocale()
{
    const QString id = userLocaleId();
    return id.isEmpty() ? icu::Locale::getDefault() : icu::Locale(id.toLatin1().constData());
}

std::unique_ptr<icu::TimeZone> userTimeZone()
{
    const QString id = timeZoneId();
    if (id.isEmpty())
        return std::unique_ptr<icu::TimeZone>(icu::TimeZone::detectHostTimeZone());
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(toIcu(id)));
}

QString userLocaleId()
{
    auto &p = pinned();
    std::lock_guard lock(p.mutex);
    return p.locale;
}

QString timeZoneId()
{
    auto &p = pinned();
    std::lock_guard lock(p.mutex);
    return p.zone;
}

void setUserLocaleId(const QString &icuLocaleId)
{
    auto &p = pinned();
    std::lock_guard lock(p.mutex);
    p.locale = icuLocaleId;
    ++p.generation;
}

void setTimeZoneId(const QString &ianaZoneId)
{
    auto &p = pinned();
    std::lock_guard lock(p.mutex);
    p.zone = ianaZoneId;
    ++p.generation;
}

void makeProleptic(icu::Calendar &calendar)
{
    // The earliest moment ICU's calendars take: the change never happens.
    constexpr UDate earliest = -184303902528000000.0;
    if (auto *gregorian = dynamic_cast<icu::GregorianCalendar *>(&calendar)) {
        UErrorCode status = U_ZERO_ERROR;
        gregorian->setGregorianChange(earliest, status);
    }
}

int generation()
{
    return pinned().generation.load();
}

} // namespace platform::icusupport
