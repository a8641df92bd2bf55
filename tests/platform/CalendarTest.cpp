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
    void SetUp() override { platform::DateFormat::setTimeZone(QStringLiteral("Europe/Berlin")); }
    void TearDown() override { platform::DateFormat::setTimeZone(QString()); }

    // A wall clock, as the calendar takes it.
    static QDateTime wall(int y, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
    {
        return QDateTime(QDate(y, m, d), QTime(h, mi, s, ms), Qt::UTC);
    }
    static QDateTime berlin(int y, int m, int d, int h = 0, int mi = 0)
    {
        return QDateTime(QDate(y, m, d), QTime(h, mi), QTimeZone(QByteArrayLiteral("Europe/Berlin")));
    }
};

} // namespace

TEST_F(CalendarTest, PartsAreTheWallClockWhateverTheZone)
{
    const auto parts = Calendar::parts(wall(2024, 2, 29, 23, 59, 58, 900));
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->year, 2024);
    EXPECT_EQ(parts->month, 2);
    EXPECT_EQ(parts->day, 29);
    EXPECT_EQ(parts->hour, 23);
    EXPECT_EQ(parts->minute, 59);
    EXPECT_EQ(parts->second, 58);

    platform::DateFormat::setTimeZone(QStringLiteral("Asia/Tokyo"));
    EXPECT_EQ(Calendar::parts(wall(2024, 2, 29, 23, 59, 58))->day, 29);
    // Proleptic Gregorian: no Julian days before 15 October 1582.
    const auto old = Calendar::parts(wall(1500, 6, 1));
    ASSERT_TRUE(old);
    EXPECT_EQ(old->day, 1);
    EXPECT_EQ(old->month, 6);
    EXPECT_EQ(Calendar::compose({ 1, 1, 1, 0, 0, 0 }), wall(1, 1, 1));
}

TEST_F(CalendarTest, AddingClampsToTheMonthEndAndCarries)
{
    EXPECT_EQ(Calendar::adding(Calendar::Unit::Month, 1, wall(2023, 1, 31, 8)), wall(2023, 2, 28, 8));
    EXPECT_EQ(Calendar::adding(Calendar::Unit::Month, 1, wall(2024, 1, 31, 8)), wall(2024, 2, 29, 8));
    EXPECT_EQ(Calendar::adding(Calendar::Unit::Year, -1, wall(2024, 2, 29, 8)), wall(2023, 2, 28, 8));
    EXPECT_EQ(Calendar::adding(Calendar::Unit::Second, 3, wall(2023, 12, 31, 23, 59, 58)),
        wall(2024, 1, 1, 0, 0, 1));
    // No summer time: the spring night has its 02:30.
    EXPECT_EQ(Calendar::adding(Calendar::Unit::Hour, 1, wall(2023, 3, 26, 1, 30)), wall(2023, 3, 26, 2, 30));
    EXPECT_EQ(Calendar::adding(Calendar::Unit::Day, 1, wall(1582, 10, 4)), wall(1582, 10, 5));
    EXPECT_FALSE(Calendar::adding(Calendar::Unit::Day, std::numeric_limits<qint64>::max(), wall(2023, 1, 1)));
    EXPECT_FALSE(Calendar::adding(Calendar::Unit::Day, 1, QDateTime()));
}

TEST_F(CalendarTest, ComposeIsLenientAndWhole)
{
    EXPECT_EQ(Calendar::compose({ 2023, 2, 31, 10, 0, 0 }), wall(2023, 3, 3, 10));
    EXPECT_EQ(Calendar::compose({ 2023, 13, 1, 24, 60, 60 }), wall(2024, 1, 2, 1, 1, 0));
    EXPECT_EQ(Calendar::compose({ 2023, 3, 0, 0, 0, 0 }), wall(2023, 2, 28));
    EXPECT_EQ(Calendar::compose({ 2024, 5, 6, 7, 8, 9 }), wall(2024, 5, 6, 7, 8, 9)) << "no milliseconds";
    EXPECT_FALSE(Calendar::compose({ std::numeric_limits<qint64>::max(), 1, 1, 0, 0, 0 }));
    EXPECT_FALSE(Calendar::compose({ 2023, std::numeric_limits<qint64>::min(), 1, 0, 0, 0 }));
}

TEST_F(CalendarTest, WallClocksMeetPointsInTimeInTheUserZone)
{
    EXPECT_EQ(Calendar::wallClock(berlin(2019, 7, 14, 9, 30)), wall(2019, 7, 14, 9, 30));
    EXPECT_EQ(Calendar::instant(wall(2019, 7, 14, 9, 30)), berlin(2019, 7, 14, 9, 30));
    EXPECT_EQ(Calendar::offsetSeconds(wall(2019, 7, 14, 9, 30)), 7200);
    EXPECT_EQ(Calendar::offsetSeconds(wall(2019, 1, 14, 9, 30)), 3600);
    // 02:30 of the spring night is skipped: taken in the offset before it.
    EXPECT_EQ(
        Calendar::instant(wall(2023, 3, 26, 2, 30)), QDateTime(QDate(2023, 3, 26), QTime(1, 30), Qt::UTC));
    EXPECT_EQ(Calendar::offsetSeconds(wall(2023, 3, 26, 2, 30)), 3600);
    // 02:30 of the autumn night happens twice: the first one.
    EXPECT_EQ(
        Calendar::instant(wall(2023, 10, 29, 2, 30)), QDateTime(QDate(2023, 10, 29), QTime(0, 30), Qt::UTC));
    EXPECT_FALSE(Calendar::instant(QDateTime()).isValid());

    platform::DateFormat::setTimeZone(QStringLiteral("America/New_York"));
    EXPECT_EQ(Calendar::wallClock(berlin(2019, 7, 14, 9, 30)), wall(2019, 7, 14, 3, 30));
}
