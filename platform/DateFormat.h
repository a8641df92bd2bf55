// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace platform {

// Dates to text and back with Unicode (UTS #35) patterns, through ICU.
//
// The dates are wall clocks (see Calendar): a day and a time of day held
// in a QDateTime's UTC fields, written and read as they are, without the
// user's zone and without a Julian switch before 1582. A pattern with a
// zone field (Z, x, X, O...) writes the user's offset from UTC at that wall
// clock; a text that carries an offset is read as the user's wall clock at
// the moment it names.
//
// Two kinds of text: what the user reads follows the user's locale and
// calendar; what goes into or comes out of a file's metadata uses the
// POSIX locale, the Gregorian calendar and ASCII digits, so a Buddhist or
// Arabic-digit locale never leaks into a file. Formatters are cached per
// thread, pattern, kind and locale.
class DateFormat
{
public:
    enum class Kind { User, File };

    // offsetSeconds: the offset a zone field writes; the user's when absent.
    static QString format(const QDateTime &date, const QString &pattern, Kind kind = Kind::User,
        std::optional<int> offsetSeconds = std::nullopt);

    // A text's wall clock and, when the pattern has a zone field, the
    // offset from UTC the text gives, in seconds.
    struct Reading
    {
        QDateTime date;
        std::optional<int> offsetSeconds;
    };
    // Absent unless the whole text matches the pattern (a strict parse: no
    // field out of its range, no offset beyond 23:59).
    static std::optional<Reading> read(const QString &text, const QString &pattern, Kind kind = Kind::User);
    // The wall clock of read().
    static std::optional<QDateTime> parse(
        const QString &text, const QString &pattern, Kind kind = Kind::User);
    // The day of a point in time (a file's own date) on the user's clock,
    // in the user's medium style ("14 Jul 2019" or "Jul 14, 2019", as the
    // user's locale writes it).
    static QString mediumDate(const QDateTime &instant);

    // Test seams: pin the user's locale (an ICU id such as "th_TH") and the
    // time zone (an IANA id); an empty id goes back to the system's.
    static void setUserLocale(const QString &icuLocaleId);
    static void setTimeZone(const QString &ianaZoneId);
    static QString userLocaleId();
    static QString timeZoneId();
};

} // namespace platform
