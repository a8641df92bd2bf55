// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ElapsedTime.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ElapsedTime, HoursMinutesAndSecondsCutToWholeNumbers)
{
    EXPECT_EQ(timeString(0), QStringLiteral("00:00:00"));
    EXPECT_EQ(timeString(59.9), QStringLiteral("00:00:59"));
    EXPECT_EQ(timeString(3600), QStringLiteral("01:00:00"));
    EXPECT_EQ(timeString(3725.9), QStringLiteral("01:02:05"));
    EXPECT_EQ(timeString(90000), QStringLiteral("25:00:00")) << "no wrap at a day";
    EXPECT_EQ(timeString(-5), QStringLiteral("00:00:00"));
    EXPECT_EQ(timeString(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("00:00:00"));
}
