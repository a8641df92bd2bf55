// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace platform {

// Dates to text and back with Unicode (UTS #35) patterns, through ICU.
//
// Two kinds of text: what the user reads follows the user's locale,
// calendar and time zone; what goes into or comes out of a file's metadata
// uses the POSIX locale, the Gregorian calendar and ASCII digits (in the
// user's time zone), so a Buddhist or Arabic-digit locale never leaks into
// a file. Formatters are cached per thread, pattern, kind, locale and zone.
class DateFormat
{
public:
    enum class Kind { User, File };

    static QString format(const QDateTime &date, const QString &pattern, Kind kind = Kind::User);
    // Absent unless the whole text matches the pattern (a strict parse). A
    // wall time that summer time skips (02:30 on the night the clocks go
    // forward) is taken as the same time before the change, an hour on.
    // The point in time comes back in UTC, which costs nothing to compare
    // or format again; its wall clock in the user's zone is what format()
    // and Calendar::parts() give.
    static std::optional<QDateTime> parse(
        const QString &text, const QString &pattern, Kind kind = Kind::User);
    // The date alone in the user's medium style ("14 Jul 2019" or "Jul 14,
    // 2019", as the user's locale writes it).
    static QString mediumDate(const QDateTime &date);

    // Test seams: pin the user's locale (an ICU id such as "th_TH") and the
    // time zone (an IANA id); an empty id goes back to the system's.
    static void setUserLocale(const QString &icuLocaleId);
    static void setTimeZone(const QString &ianaZoneId);
    static QString userLocaleId();
    static QString timeZoneId();
};

} // namespace platform
