// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

#include <optional>

namespace platform {

// Gregorian calendar arithmetic on wall-clock dates: a day and a time of
// day without a zone, as a photo's metadata records them, held in a
// QDateTime whose UTC fields are that wall clock. No zone takes part, so
// no summer-time change skips or repeats an hour, and the calendar is the
// proleptic Gregorian one of ISO 8601 (no Julian switch in 1582).
//
// Points in time (the clock, the file system's dates) meet wall clocks
// through wallClock() and instant(), in the user's time zone (the zone
// DateFormat uses, pinned by its test seam).
class Calendar
{
public:
    enum class Unit { Year, Month, Day, Hour, Minute, Second };

    // Wall-clock parts; month 1-12; year 0 is 1 BC.
    struct Parts
    {
        qint64 year = 0;
        qint64 month = 0;
        qint64 day = 0;
        qint64 hour = 0;
        qint64 minute = 0;
        qint64 second = 0;
    };

    static std::optional<Parts> parts(const QDateTime &date);

    // Adds without wrapping: an overflow carries into the larger units (an
    // hour on 23:37 is 00:37 of the next day), and a day the target month
    // lacks becomes that month's last day (31 January plus one month is the
    // end of February). Absent when no date results.
    static std::optional<QDateTime> adding(Unit unit, qint64 amount, const QDateTime &date);

    // Leniently: values outside a unit's range roll into the neighbouring
    // unit (day 31 of February 2023 is 3 March 2023). Whole seconds.
    static std::optional<QDateTime> compose(const Parts &parts);

    // The user's wall clock at a point in time.
    static QDateTime wallClock(const QDateTime &instant);
    // The point in time a wall clock stands for in the user's zone. A wall
    // time that summer time skips counts in the offset before the change
    // (02:30 on the spring night in Berlin is 01:30 UTC); one that occurs
    // twice is its first occurrence.
    static QDateTime instant(const QDateTime &wallClock);
    // The user's offset from UTC at a wall clock, resolved the same way.
    static int offsetSeconds(const QDateTime &wallClock);
    // The user's wall clock now.
    static QDateTime now();
};

} // namespace platform
