// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Resources.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace platform;

TEST(Resources, PlistHoldsEveryKind)
{
    const auto plist = Resources::loadPlist(QStringLiteral("TestKinds"));
    ASSERT_TRUE(plist.has_value());
    EXPECT_EQ(plist->value(QStringLiteral("text")).toString(), QStringLiteral("Hello & <world>"));
    EXPECT_EQ(plist->value(QStringLiteral("integer")).toLongLong(), -12);
    EXPECT_EQ(plist->value(QStringLiteral("real")).toDouble(), 2.5);
    EXPECT_EQ(plist->value(QStringLiteral("yes")).toBool(), true);
    EXPECT_EQ(plist->value(QStringLiteral("no")).typeId(), QMetaType::Bool);
    EXPECT_FALSE(plist->value(QStringLiteral("no")).toBool());
    EXPECT_EQ(plist->value(QStringLiteral("date")).toDateTime().toUTC(),
        QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC));
    EXPECT_EQ(plist->value(QStringLiteral("data")).toByteArray(), QByteArray("hello"));
    const QVariantList list = plist->value(QStringLiteral("list")).toList();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[1].toMap().value(QStringLiteral("nested")).toString(), QStringLiteral("x"));
}

TEST(Resources, MissingOrMalformedGivesNone)
{
    EXPECT_FALSE(Resources::loadPlist(QStringLiteral("NoSuchResource")).has_value());
    EXPECT_FALSE(Resources::parsePlist("<plist><dict><key>a</key></dict></plist>").has_value());
    EXPECT_FALSE(Resources::parsePlist("<plist><dict><integer>1</integer></dict></plist>").has_value());
    EXPECT_FALSE(Resources::parsePlist("<plist><integer>x</integer></plist>").has_value());
    EXPECT_FALSE(Resources::parsePlist("not xml").has_value());
}
