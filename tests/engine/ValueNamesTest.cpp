// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ValueNames.h"

#include <QSet>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

struct CodeList
{
    const char *name;
    const QList<qint64> &values;
    std::function<QString(qint64)> describe;
    qsizetype size;
};

} // namespace

TEST(ValueNames, EveryListEntryHasItsOwnTitle)
{
    const CodeList lists[] = {
        { "flash", flashValues(), flashDescription, 23 },
        { "orientation", orientationValues(), orientationDescription, 9 },
        { "exposureMode", exposureModeValues(), exposureModeDescription, 4 },
        { "exposureProgram", exposureProgramValues(), exposureProgramDescription, 10 },
        { "meteringMode", meteringModeValues(), meteringModeDescription, 9 },
        { "sceneCaptureType", sceneCaptureTypeValues(), sceneCaptureTypeDescription, 5 },
        { "sensingMethod", sensingMethodValues(), sensingMethodDescription, 8 },
        { "subjectDistanceRange", subjectDistanceRangeValues(), subjectDistanceRangeDescription, 5 },
        { "gpsAltitudeRef", gpsAltitudeRefValues(), gpsAltitudeRefDescription, 3 },
        { "compression", compressionValues(), compressionDescription, 25 },
        { "sensitivityType", sensitivityTypeValues(), sensitivityTypeDescription, 9 },
        { "lightSource", lightSourceValues(), lightSourceDescription, 22 },
    };
    for (const auto &list : lists) {
        ASSERT_EQ(list.values.size(), list.size) << list.name;
        EXPECT_EQ(list.values.first(), -1) << list.name;
        EXPECT_EQ(list.describe(-1), QStringLiteral("Leave Blank")) << list.name;
        QSet<QString> titles;
        for (const qint64 value : list.values) {
            const QString title = list.describe(value);
            EXPECT_NE(title, QStringLiteral("Unsupported")) << list.name << " " << value;
            EXPECT_NE(title, QStringLiteral("Flash mode unsupported")) << list.name << " " << value;
            titles.insert(title);
        }
        EXPECT_EQ(titles.size(), list.values.size()) << list.name << ": titles are distinct";
    }
    EXPECT_EQ(&flashValues(), &flashValues());

    const std::pair<const QList<QString> &, std::function<QString(const QString &)>> textLists[] = {
        { gpsLatitudeRefValues(), gpsLatitudeRefDescription },
        { gpsLongitudeRefValues(), gpsLongitudeRefDescription },
    };
    for (const auto &[values, describe] : textLists) {
        ASSERT_EQ(values.size(), 3);
        EXPECT_EQ(values.first(), QStringLiteral("-1"));
        EXPECT_EQ(describe(values[0]), QStringLiteral("Leave Blank"));
        EXPECT_NE(describe(values[1]), describe(values[2]));
        EXPECT_NE(describe(values[1]), QStringLiteral("Unsupported"));
        EXPECT_NE(describe(values[2]), QStringLiteral("Unsupported"));
    }
}

TEST(ValueNames, ListsKeepTheirPopUpOrder)
{
    EXPECT_EQ(compressionValues().indexOf(8), 19) << "Deflate stands between 32946 and 32947";
    EXPECT_EQ(compressionValues().at(18), 32946);
    EXPECT_EQ(compressionValues().at(20), 32947);
    EXPECT_EQ(meteringModeValues().last(), 255);
    EXPECT_EQ(sensingMethodValues(), (QList<qint64> { -1, 1, 2, 3, 4, 5, 7, 8 }));
    EXPECT_EQ(gpsLongitudeRefValues(),
        (QList<QString> { QStringLiteral("-1"), QStringLiteral("E"), QStringLiteral("W") }));
}

TEST(ValueNames, TitlesMatchExactly)
{
    EXPECT_EQ(compressionDescription(0), QStringLiteral("Unsupported"));
    EXPECT_EQ(compressionDescription(9), QStringLiteral("Unsupported"));
    EXPECT_EQ(compressionDescription(8), QStringLiteral("Deflate ('Adobe-style')"));
    EXPECT_EQ(compressionDescription(32946), QStringLiteral("DEFLATE"));
    EXPECT_EQ(meteringModeDescription(255), QStringLiteral("Other"));
    EXPECT_EQ(meteringModeDescription(7), QStringLiteral("Unsupported"));
    EXPECT_EQ(lightSourceDescription(255), QStringLiteral("Other light source"));
    EXPECT_EQ(lightSourceDescription(16), QStringLiteral("Unsupported"));
    EXPECT_EQ(sensingMethodDescription(0), QStringLiteral("Unsupported"));
    EXPECT_EQ(sensingMethodDescription(6), QStringLiteral("Unsupported"));
    EXPECT_EQ(orientationDescription(0), QStringLiteral("Unsupported"));
    EXPECT_EQ(orientationDescription(6), QStringLiteral("Rotate 90 CW"));
    EXPECT_EQ(flashDescription(-2), QStringLiteral("Flash mode unsupported"));
    EXPECT_EQ(flashDescription(96), QStringLiteral("Flash mode unsupported"));
    EXPECT_EQ(flashDescription(2), QStringLiteral("Flash mode unsupported"));
    EXPECT_EQ(flashDescription(std::numeric_limits<qint64>::max()), QStringLiteral("Flash mode unsupported"));
    EXPECT_EQ(flashDescription(-1), QStringLiteral("Leave Blank"));
    EXPECT_EQ(flashDescription(93),
        QStringLiteral("Flash fired, auto mode, return light not detected, red-eye reduction mode"));
    EXPECT_EQ(gpsAltitudeRefDescription(1), QStringLiteral("Below sea level"));
    EXPECT_EQ(gpsLatitudeRefDescription(QStringLiteral("s")), QStringLiteral("Unsupported"));
    EXPECT_EQ(gpsLatitudeRefDescription(QStringLiteral(" S")), QStringLiteral("Unsupported"));
    EXPECT_EQ(gpsLatitudeRefDescription(QString()), QStringLiteral("Unsupported"));
    EXPECT_EQ(gpsLatitudeRefDescription(QStringLiteral("S")), QStringLiteral("South"));
    EXPECT_EQ(gpsLongitudeRefDescription(QStringLiteral("W")), QStringLiteral("West"));
}
