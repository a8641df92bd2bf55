// SPDX-License-Identifier: GPL-3.0-or-later
#include "BridgeTestSupport.h"

#include "engine/BridgeValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

using namespace engine::bridge;

// Seconds in hundredths, rounded, so a position is never more than 15 cm off.
TEST(BridgeValues, CoordinatesBecomeDegreesMinutesAndHundredthsOfSeconds)
{
    EXPECT_EQ(formatGpsCoordinate(48.8584), QStringLiteral("48/1 51/1 3024/100"));
    EXPECT_EQ(formatGpsCoordinate(-33.8568), QStringLiteral("33/1 51/1 2448/100"));
    EXPECT_EQ(formatGpsCoordinate(10.5), QStringLiteral("10/1 30/1 0/100"));
    EXPECT_EQ(formatGpsCoordinate(20.15), QStringLiteral("20/1 9/1 0/100"));
    EXPECT_EQ(formatGpsCoordinate(59.9999999), QStringLiteral("60/1 0/1 0/100"));
    EXPECT_EQ(formatGpsCoordinate(0.0), QStringLiteral("0/1 0/1 0/100"));
    EXPECT_FALSE(formatGpsCoordinate(std::nan("")).has_value());
    EXPECT_FALSE(formatGpsCoordinate(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(formatGpsCoordinate(3e9).has_value());
}

TEST(BridgeValues, AltitudesBecomeHundredthsWithoutSign)
{
    EXPECT_EQ(formatHundredths(123.456), QStringLiteral("12345/100"));
    EXPECT_EQ(formatHundredths(-50.5), QStringLiteral("5050/100"));
    EXPECT_EQ(formatHundredths(0.29), QStringLiteral("28/100"));
    EXPECT_EQ(formatHundredths(0.004), QStringLiteral("0/100"));
    EXPECT_EQ(formatHundredths(-21474836.47), QStringLiteral("2147483647/100"));
    EXPECT_FALSE(formatHundredths(-std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(formatHundredths(3e7).has_value());
}

TEST(BridgeValues, XmpDatesTakeTheIsoForm)
{
    EXPECT_EQ(xmpDateText(QStringLiteral("2019:07:14 09:30:05")), QStringLiteral("2019-07-14T09:30:05"));
    EXPECT_EQ(xmpDateText(QStringLiteral("2019:07:14 09:30")), QStringLiteral("2019-07-14T09:30"));
    EXPECT_EQ(xmpDateText(QStringLiteral("2019:07:14")), QStringLiteral("2019-07-14"));
    EXPECT_EQ(xmpDateText(QStringLiteral("2019-07-14T09:30:05+02:00")),
        QStringLiteral("2019-07-14T09:30:05+02:00"));
    EXPECT_EQ(xmpDateText(QString()), QString());
    EXPECT_EQ(xmpDateText(QStringLiteral("2019:07:14 09:30:05 extra")),
        QStringLiteral("2019:07:14 09:30:05 extra"));
}

TEST(BridgeValues, NumbersAreReadFromNumbersAndFromTheStartOfTexts)
{
    EXPECT_EQ(integerOf(QVariant::fromValue<qint64>(400)), 400);
    EXPECT_EQ(integerOf(2.9), 2);
    EXPECT_EQ(integerOf(-2.9), -2);
    EXPECT_EQ(integerOf(QStringLiteral("  -12px")), -12);
    EXPECT_EQ(integerOf(QStringLiteral("2.8")), 2);
    EXPECT_EQ(integerOf(QStringLiteral("none")), 0);
    EXPECT_EQ(integerOf(true), 1);
    EXPECT_EQ(integerOf(QVariant::fromValue<qint64>(qint64(1) << 40)), qint64(1) << 40);
    EXPECT_EQ(integerOf(-1e12), qint64(-1e12));
    EXPECT_EQ(integerOf(1e30), std::numeric_limits<qint64>::max());
    EXPECT_FALSE(integerOf(std::nan("")).has_value());

    EXPECT_DOUBLE_EQ(realOf(QStringLiteral("2.8")), 2.8);
    EXPECT_DOUBLE_EQ(realOf(QStringLiteral(" .5 mm")), 0.5);
    EXPECT_DOUBLE_EQ(realOf(QStringLiteral("1e3")), 1000.0);
    EXPECT_DOUBLE_EQ(realOf(QStringLiteral("f/2.8")), 0.0);
    EXPECT_DOUBLE_EQ(realOf(7.0f), 7.0);

    EXPECT_THROW(realOf(QVariant()), std::invalid_argument);
    EXPECT_THROW(integerOf(QVariant(QByteArray("6"))), std::invalid_argument);
    EXPECT_THROW(textOf(QVariant(5)), std::invalid_argument);
    EXPECT_EQ(textOf(QStringLiteral("text")), QStringLiteral("text"));
}

TEST(BridgeValues, RationalsNearTheLimitsKeepTheirValue)
{
    EXPECT_EQ(rationalValue(Exiv2::unsignedRational, 2.8)->toRational(0), Exiv2::Rational(14, 5));
    EXPECT_EQ(rationalValue(Exiv2::signedRational, -0.5)->toRational(0), Exiv2::Rational(-1, 2));
    QString whyNot;
    EXPECT_EQ(rationalValue(Exiv2::unsignedRational, -50, &whyNot).get(), nullptr);
    EXPECT_EQ(whyNot, QStringLiteral("-50 is negative and its tag holds no negative number"));
    EXPECT_EQ(integerValue(Exiv2::unsignedShort, 102400, &whyNot).get(), nullptr);
    EXPECT_EQ(whyNot, QStringLiteral("102400 is outside what its tag holds, 0 to 65535"));
    EXPECT_EQ(integerValue(Exiv2::unsignedShort, 65535)->typeId(), Exiv2::unsignedShort);
    for (const double value : { 2147.6, 214748.5, 21474836.6, 2e9 })
        EXPECT_NEAR(rationalValue(Exiv2::unsignedRational, value)->toFloat(0), static_cast<float>(value),
            std::fabs(value) * 1e-6)
            << value;
    EXPECT_NEAR(rationalValue(Exiv2::signedRational, -2147.9)->toFloat(0), -2147.9f, 2147.9 * 1e-6);
    EXPECT_EQ(rationalValue(Exiv2::unsignedRational, std::nan("")).get(), nullptr);
    EXPECT_EQ(rationalValue(Exiv2::unsignedRational, 5e9).get(), nullptr);
}
