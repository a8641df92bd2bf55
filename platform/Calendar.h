// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

#include <optional>

namespace platform {

// Gregorian calendar arithmetic on points in time, in the user's time zone
// (the zone DateFormat uses, pinned by its test seam). Dates it makes come
// back in UTC, like DateFormat's.
class Calendar
{
public:
    enum class Unit { Year, Month, Day, Hour, Minute, Second };

    // Wall-clock parts; month 1-12.
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

    // Adds without wrapping: an overflow carries into the larger units, and a
    // day the target month lacks becomes that month's last day (31 January
    // plus one month is the end of February). Absent when no date results.
    static std::optional<QDateTime> adding(Unit unit, qint64 amount, const QDateTime &date);

    // Leniently: values outside a unit's range roll into the neighbouring
    // unit (day 31 of February 2023 is 3 March 2023). Whole seconds.
    static std::optional<QDateTime> compose(const Parts &parts);
};

} // namespace platform
