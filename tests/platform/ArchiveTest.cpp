// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Archive.h"

#include <QDateTime>

#include <gtest/gtest.h>

using platform::Archive::decode;
using platform::Archive::encode;

namespace {

QVariantMap everyKind()
{
    QVariantMap inner;
    inner.insert(QStringLiteral("text"), QStringLiteral("Ünïcode ✓"));
    inner.insert(QStringLiteral("empty"), QString());
    inner.insert(QStringLiteral("int"), qint64(-9007199254740993LL));
    inner.insert(QStringLiteral("real"), 0.1);
    inner.insert(QStringLiteral("wholeReal"), 3.0);
    inner.insert(QStringLiteral("yes"), true);
    inner.insert(QStringLiteral("no"), false);
    inner.insert(QStringLiteral("date"), QDateTime::fromMSecsSinceEpoch(1562000000123LL, Qt::UTC));
    inner.insert(QStringLiteral("bytes"), QByteArray("\x00\x01\xff", 3));
    QVariantMap root;
    root.insert(QStringLiteral("inner"), inner);
    root.insert(
        QStringLiteral("list"), QVariantList { qint64(1), QStringLiteral("two"), 3.5, QVariantList {} });
    return root;
}

} // namespace

TEST(Archive, RoundTripKeepsEveryKindExactly)
{
    const QVariantMap root = everyKind();
    const auto back = decode(encode(root));
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->typeId(), QMetaType::QVariantMap);
    const QVariantMap map = back->toMap();
    const QVariantMap inner = map.value(QStringLiteral("inner")).toMap();

    EXPECT_EQ(inner.value(QStringLiteral("text")).toString(), QStringLiteral("Ünïcode ✓"));
    EXPECT_EQ(inner.value(QStringLiteral("empty")).typeId(), QMetaType::QString);
    EXPECT_EQ(inner.value(QStringLiteral("int")).typeId(), QMetaType::LongLong);
    EXPECT_EQ(inner.value(QStringLiteral("int")).toLongLong(), -9007199254740993LL);
    EXPECT_EQ(inner.value(QStringLiteral("real")).typeId(), QMetaType::Double);
    EXPECT_EQ(inner.value(QStringLiteral("real")).toDouble(), 0.1);
    // A real that happens to be whole stays a real, not an integer.
    EXPECT_EQ(inner.value(QStringLiteral("wholeReal")).typeId(), QMetaType::Double);
    EXPECT_EQ(inner.value(QStringLiteral("yes")).typeId(), QMetaType::Bool);
    EXPECT_TRUE(inner.value(QStringLiteral("yes")).toBool());
    EXPECT_FALSE(inner.value(QStringLiteral("no")).toBool());
    EXPECT_EQ(inner.value(QStringLiteral("date")).toDateTime().toMSecsSinceEpoch(), 1562000000123LL);
    EXPECT_EQ(inner.value(QStringLiteral("bytes")).toByteArray(), QByteArray("\x00\x01\xff", 3));

    const QVariantList list = map.value(QStringLiteral("list")).toList();
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list[0].typeId(), QMetaType::LongLong);
    EXPECT_EQ(list[1].toString(), QStringLiteral("two"));
    EXPECT_EQ(list[2].toDouble(), 3.5);
    EXPECT_EQ(list[3].typeId(), QMetaType::QVariantList);
}

TEST(Archive, BrokenBytesGiveNoResult)
{
    const QByteArray good = encode(everyKind());
    EXPECT_FALSE(decode(QByteArray()).has_value());
    EXPECT_FALSE(decode(good.left(good.size() - 1)).has_value());
    EXPECT_FALSE(decode(good.left(good.size() / 2)).has_value());
    EXPECT_FALSE(decode(good + QByteArray("\x01", 1)).has_value());
    EXPECT_FALSE(decode(QByteArray("not an archive")).has_value());
}
