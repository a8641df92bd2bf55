// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <memory>

namespace platform::icusupport {

// Plumbing shared by the ICU-backed services (dates, calendar, collation).

icu::UnicodeString toIcu(const QString &text);
QString fromIcu(const icu::UnicodeString &text);

// The user's locale and time zone: the pinned ids when a test pinned them,
// else the host's.
icu::Locale userLocale();
std::unique_ptr<icu::TimeZone> userTimeZone();

QString userLocaleId();
QString timeZoneId();
void setUserLocaleId(const QString &icuLocaleId);
void setTimeZoneId(const QString &ianaZoneId);

// Takes a Gregorian-based calendar (Gregorian, Buddhist, Japanese...) back
// to the proleptic Gregorian rules of ISO 8601: no Julian days before 15
// October 1582. Other calendars are left as they are.
void makeProleptic(icu::Calendar &calendar);

// Changes whenever a pinned id changes, so per-thread caches drop what they
// built for the old locale or zone.
int generation();

} // namespace platform::icusupport
