// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DateFormat.h"

#include <QDateTime>
#include <QVariantMap>

#include <initializer_list>
#include <utility>

#include <gtest/gtest.h>

// Dates are computed and shown in a fixed zone and locale, whatever the
// machine running the tests uses. The zone only matters where a wall clock
// meets a point in time (the clock, the file system, offsets written).
class PinnedDates : public testing::Test
{
protected:
    void SetUp() override
    {
        platform::DateFormat::setTimeZone(QStringLiteral("Europe/Berlin"));
        platform::DateFormat::setUserLocale(QStringLiteral("en_US"));
    }
    void TearDown() override
    {
        platform::DateFormat::setTimeZone(QString());
        platform::DateFormat::setUserLocale(QString());
    }

public:
    // A wall clock, as the engine holds a photo's dates.
    static QDateTime at(
        int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
    {
        return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms), Qt::UTC);
    }

    // A dictionary keyed by Exiv2 key texts, as the bridge and presets give.
    static QVariantMap entries(std::initializer_list<std::pair<const char *, QVariant>> list)
    {
        QVariantMap map;
        for (const auto &[key, value] : list)
            map.insert(QLatin1String(key), value);
        return map;
    }
};
