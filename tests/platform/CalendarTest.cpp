// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Calendar.h"
#include "platform/DateFormat.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <limits>

using platform::Calendar;

namespace {

class CalendarTest : public testing::Test
{
protected:
    void SetUp() override { platform::DateFormat::setTimeZone(QStringLiteral("America/New_York")); }
    void TearDown() override { platform::DateFormat::setTimeZone(QString()); }

    static QDateTime newYork(int y, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
    {
        return QDateTime(
            QDate(y, m, d), QTime(h, mi, s, ms), QTimeZone(QByteArrayLiteral("America/New_York")));
    }
};

} // namespace

TEST_F(CalendarTest, PartsAreTheWallClockOfTheUserZone)
{
    const auto parts = Calendar::parts(newYork(2024, 2, 29, 23, 59, 58, 900));
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->year, 2024);
    EXPECT_EQ(parts->month, 2);
    EXPECT_EQ(parts->day, 29);
    EXPECT_EQ(parts->hour, 23);
    EXPECT_EQ(parts->minute, 59);
    EXPECT_EQ(parts->second, 58);

    platform::DateFormat::setTimeZone(QStringLiteral("Asia/Tokyo"));
    const auto tokyo = Calendar::parts(newYork(2024, 2, 29, 23, 59, 58));
    ASSERT_TRUE(tokyo);
    EXPECT_EQ(tokyo->month, 3);
    EXPECT_EQ(tokyo->day, 1);
    EXPECT_EQ(tokyo->hour, 13);
}

TEST_F(CalendarTest, AddingClampsToTheMonthEndAndCarries)
{
    EXPECT_EQ(Calendar::adding(Calendar::Unit::Month, 1, newYork(2023, 1, 31, 8)), newYork(2023, 2, 28, 8));
    EXPECT_EQ(Calendar::adding(Calendar::Unit::Month, 1, newYork(2024, 1, 31, 8)), newYork(2024, 2, 29, 8));
    EXPECT_EQ(Calendar::adding(Calendar::Unit::Year, -1, newYork(2024, 2, 29, 8)), newYork(2023, 2, 28, 8));
    EXPECT_EQ(Calendar::adding(Calendar::Unit::Second, 3, newYork(2023, 12, 31, 23, 59, 58)),
        newYork(2024, 1, 1, 0, 0, 1));
    // A calendar day across the spring change is 23 hours.
    EXPECT_EQ(Calendar::adding(Calendar::Unit::Day, 1, newYork(2023, 3, 11, 12)), newYork(2023, 3, 12, 12));
    EXPECT_FALSE(
        Calendar::adding(Calendar::Unit::Day, std::numeric_limits<qint64>::max(), newYork(2023, 1, 1)));
    EXPECT_FALSE(Calendar::adding(Calendar::Unit::Day, 1, QDateTime()));
}

TEST_F(CalendarTest, ComposeIsLenientAndWhole)
{
    EXPECT_EQ(Calendar::compose({ 2023, 2, 31, 10, 0, 0 }), newYork(2023, 3, 3, 10));
    EXPECT_EQ(Calendar::compose({ 2023, 13, 1, 24, 60, 60 }), newYork(2024, 1, 2, 1, 1, 0));
    EXPECT_EQ(Calendar::compose({ 2023, 3, 0, 0, 0, 0 }), newYork(2023, 2, 28));
    EXPECT_EQ(Calendar::compose({ 2024, 5, 6, 7, 8, 9 }), newYork(2024, 5, 6, 7, 8, 9)) << "no milliseconds";
    EXPECT_FALSE(Calendar::compose({ std::numeric_limits<qint64>::max(), 1, 1, 0, 0, 0 }));
    EXPECT_FALSE(Calendar::compose({ 2023, std::numeric_limits<qint64>::min(), 1, 0, 0, 0 }));
}
