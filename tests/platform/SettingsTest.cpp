// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Settings.h"
#include "platform/Archive.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

using platform::Settings;

TEST(Settings, LivesInTheIsolatedConfigFolder)
{
    EXPECT_TRUE(Settings::filePath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
    EXPECT_TRUE(Settings::filePath().endsWith(QStringLiteral("/Calvorn/Calvorn.conf")));
}

TEST(Settings, AbsentIsDistinctFromFalseZeroAndEmpty)
{
    Settings::remove(QStringLiteral("t.absent"));
    EXPECT_FALSE(Settings::contains(QStringLiteral("t.absent")));
    EXPECT_FALSE(Settings::boolValue(QStringLiteral("t.absent")).has_value());
    EXPECT_FALSE(Settings::intValue(QStringLiteral("t.absent")).has_value());
    EXPECT_FALSE(Settings::text(QStringLiteral("t.absent")).has_value());
    EXPECT_FALSE(Settings::textList(QStringLiteral("t.absent")).has_value());

    Settings::setBool(QStringLiteral("t.false"), false);
    Settings::setInt(QStringLiteral("t.zero"), 0);
    Settings::setText(QStringLiteral("t.empty"), QString());
    Settings::setTextList(QStringLiteral("t.emptyList"), {});
    EXPECT_EQ(Settings::boolValue(QStringLiteral("t.false")), std::optional<bool>(false));
    EXPECT_EQ(Settings::intValue(QStringLiteral("t.zero")), std::optional<qint64>(0));
    EXPECT_EQ(Settings::text(QStringLiteral("t.empty")), std::optional<QString>(QString()));
    EXPECT_EQ(Settings::textList(QStringLiteral("t.emptyList")), std::optional<QStringList>(QStringList {}));
}

TEST(Settings, TypedValuesSurviveRereadingTheFile)
{
    Settings::setBool(QStringLiteral("t.bool"), true);
    Settings::setInt(QStringLiteral("t.int"), -42);
    Settings::setReal(QStringLiteral("t.real"), 0.25);
    Settings::setText(QStringLiteral("t.text"), QStringLiteral("true"));
    Settings::setTextList(QStringLiteral("t.one"), { QStringLiteral("/only") });
    Settings::setTextList(QStringLiteral("t.many"), { QStringLiteral("/a"), QStringLiteral("/b, c") });
    Settings::setBytes(QStringLiteral("t.bytes"), QByteArray("\x00\xff", 2));
    Settings::setArchived(QStringLiteral("t.tree"), QVariantMap { { QStringLiteral("k"), qint64(7) } });

    // A second reader on the same file sees the same values with their types.
    QSettings file(Settings::filePath(), QSettings::IniFormat);
    EXPECT_TRUE(file.contains(QStringLiteral("t.bool")));
    EXPECT_EQ(Settings::boolValue(QStringLiteral("t.bool")), std::optional<bool>(true));
    EXPECT_EQ(Settings::intValue(QStringLiteral("t.int")), std::optional<qint64>(-42));
    EXPECT_EQ(Settings::realValue(QStringLiteral("t.real")), std::optional<double>(0.25));
    EXPECT_EQ(Settings::text(QStringLiteral("t.text")), std::optional<QString>(QStringLiteral("true")));
    EXPECT_EQ(Settings::textList(QStringLiteral("t.one")),
        std::optional<QStringList>(QStringList { QStringLiteral("/only") }));
    EXPECT_EQ(Settings::textList(QStringLiteral("t.many")),
        std::optional<QStringList>(QStringList { QStringLiteral("/a"), QStringLiteral("/b, c") }));
    EXPECT_EQ(
        Settings::bytes(QStringLiteral("t.bytes")), std::optional<QByteArray>(QByteArray("\x00\xff", 2)));
    const auto tree = Settings::archived(QStringLiteral("t.tree"));
    ASSERT_TRUE(tree.has_value());
    EXPECT_EQ(tree->toMap().value(QStringLiteral("k")).toLongLong(), 7);
}

TEST(Settings, UnreadableValuesAreAbsent)
{
    Settings::setText(QStringLiteral("t.word"), QStringLiteral("banana"));
    EXPECT_FALSE(Settings::boolValue(QStringLiteral("t.word")).has_value());
    EXPECT_FALSE(Settings::intValue(QStringLiteral("t.word")).has_value());
    EXPECT_FALSE(Settings::realValue(QStringLiteral("t.word")).has_value());
    EXPECT_FALSE(Settings::bytes(QStringLiteral("t.word")).has_value());
    Settings::setBytes(QStringLiteral("t.junk"), QByteArray("junk"));
    EXPECT_FALSE(Settings::archived(QStringLiteral("t.junk")).has_value());
}

TEST(Settings, ChangesAreAnnouncedOnTheGuiThreadFromAnyThread)
{
    QSignalSpy spy(&Settings::instance(), &Settings::changed);
    QThread *worker = QThread::create([] { Settings::setInt(QStringLiteral("t.fromWorker"), 5); });
    worker->start();
    worker->wait();
    delete worker;
    EXPECT_EQ(Settings::intValue(QStringLiteral("t.fromWorker")), std::optional<qint64>(5));
    ASSERT_TRUE(spy.wait(2000) || spy.count() > 0);
    EXPECT_EQ(spy.last().at(0).toString(), QStringLiteral("t.fromWorker"));
}
