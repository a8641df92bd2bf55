// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/NumberText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(NumberTextTest, ALeadingWholeNumberIsReadAsTheFieldsValue)
{
    EXPECT_EQ(leadingInteger(QStringLiteral("45")), 45);
    EXPECT_EQ(leadingInteger(QStringLiteral("  -12 days")), -12);
    EXPECT_EQ(leadingInteger(QStringLiteral("+7")), 7);
    EXPECT_EQ(leadingInteger(QStringLiteral("-")), 0);
    EXPECT_EQ(leadingInteger(QStringLiteral("x5")), 0);
    EXPECT_EQ(leadingInteger(QString()), 0);
    EXPECT_EQ(leadingInteger(QStringLiteral(u"\u0661\u0662")), 0) << "only ASCII digits";
    EXPECT_EQ(leadingInteger(QStringLiteral("99999999999999999999")), std::numeric_limits<qint64>::max());
    EXPECT_EQ(leadingInteger(QStringLiteral("-99999999999999999999")), std::numeric_limits<qint64>::min());

    EXPECT_DOUBLE_EQ(leadingReal(QStringLiteral("48.85 N")), 48.85);
    EXPECT_DOUBLE_EQ(leadingReal(QStringLiteral(" -.5")), -0.5);
    EXPECT_DOUBLE_EQ(leadingReal(QStringLiteral("N 48")), 0);
    EXPECT_DOUBLE_EQ(leadingReal(QStringLiteral("1e999")), 0) << "too large to hold is no number";
}

TEST(NumberTextTest, AWholeTextIsARealNumberOnlyWithNothingAround)
{
    EXPECT_EQ(wholeReal(QStringLiteral("-33.8567")), -33.8567);
    EXPECT_EQ(wholeReal(QStringLiteral("48.")), 48.0);
    EXPECT_EQ(wholeReal(QStringLiteral("1e2")), 100.0);
    for (const char *text : { "", " 5", "5 ", "5,5", "0x10", "inf", "nan", "-", "1e999", "١٢" })
        EXPECT_FALSE(wholeReal(QString::fromUtf8(text)).has_value()) << text;
}

TEST(NumberTextTest, ShortestTextReadsBackTheSameNumber)
{
    EXPECT_EQ(shortestText(0), QStringLiteral("0.0"));
    EXPECT_EQ(shortestText(48.85), QStringLiteral("48.85"));
    EXPECT_EQ(shortestText(-122), QStringLiteral("-122.0"));
    EXPECT_EQ(shortestText(0.1 + 0.2), QStringLiteral("0.30000000000000004"));
    for (double value : { -0.1246254, 151.213108, 1e-7, 89.99999999999 })
        EXPECT_EQ(wholeReal(shortestText(value)), value);
}

} // namespace
