// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelperHandshake.h"
#include "ShellFixture.h"
#include "launcher/Handshake.h"
#include "platform/BusNotifications.h"
#include "platform/LoginItem.h"
#include "platform/Presence.h"
#include "platform/Settings.h"
#include "support/ScopedIsolation.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using platform::Settings;
namespace BusNotifications = platform::BusNotifications;

namespace {

const QString CalvornId = QStringLiteral(CALVORN_APP_ID);
const QString HelperId = QStringLiteral(CALVORN_HELPER_ID);
const QString StartAtLogin = QStringLiteral("isLaunchAutomaticallyAtMacStartup");

// A settings file and a helper program of the test's own; notes every
// "killLauncherLOW" that Calvorn sends.
class HelperHandshakeTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus";
        ASSERT_TRUE(m_dir.isValid());

        m_helper = shelltest::makeHelperProgram(m_dir);
        ASSERT_FALSE(m_helper.isEmpty());

        ASSERT_TRUE(BusNotifications::observe(
            QLatin1String(launcher::KillNotification), CalvornId, &m_context, [this] { ++m_kills; }));
        ASSERT_TRUE(BusNotifications::observe(
            QStringLiteral("testSentinel"), CalvornId, &m_context, [this] { ++m_sentinels; }));
    }

    void TearDown() override { QDBusConnection::disconnectFromBus(QStringLiteral("helper")); }

    // Everything Calvorn sent before this has arrived once it returns.
    int killsSent()
    {
        BusNotifications::post(QStringLiteral("testSentinel"), CalvornId);
        EXPECT_TRUE(QTest::qWaitFor([this] { return m_sentinels > 0; }, 30000));
        return m_kills;
    }

    static void helperIsRunning()
    {
        ASSERT_TRUE(platform::Presence::claim(
            HelperId, QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("helper"))));
    }

    static QString entry() { return platform::LoginItem::entryPath(HelperId); }

    testsupport::ScopedConfigHome m_config;
    testsupport::ConsoleCapture m_console;
    QTemporaryDir m_dir;
    QString m_helper;
    QObject m_context;
    int m_kills = 0;
    int m_sentinels = 0;
};

} // namespace

TEST_F(HelperHandshakeTest, SettingOnAndNoHelperWritesTheLoginItemAndSendsNothing)
{
    Settings::setBool(StartAtLogin, true);
    HelperHandshake(m_helper).atLaunch();

    QFile file(entry());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\nTryExec=" + m_helper.toUtf8() + '\n'));
    EXPECT_EQ(killsSent(), 0);
}

TEST_F(HelperHandshakeTest, SettingOffLeavesTheLoginItemAndStillTellsTheHelper)
{
    Settings::setBool(StartAtLogin, false);
    QDir().mkpath(QFileInfo(entry()).absolutePath());
    QFile old(entry());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("[Desktop Entry]\nName=left as it was\n");
    old.close();
    helperIsRunning();

    HelperHandshake(m_helper).atLaunch();

    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("[Desktop Entry]\nName=left as it was\n"));
    EXPECT_EQ(killsSent(), 1);
}

TEST_F(HelperHandshakeTest, SettingAbsentOrUnreadableMeansOff)
{
    HelperHandshake(m_helper).atLaunch();
    EXPECT_FALSE(QFileInfo::exists(entry()));

    Settings::setText(StartAtLogin, QStringLiteral("sometimes"));
    HelperHandshake(m_helper).atLaunch();
    EXPECT_FALSE(QFileInfo::exists(entry()));
    EXPECT_EQ(killsSent(), 0);
}

TEST_F(HelperHandshakeTest, MissingHelperIsReportedAndStartUpGoesOn)
{
    Settings::setBool(StartAtLogin, true);
    helperIsRunning();
    HelperHandshake(m_dir.filePath(QStringLiteral("gone/Calvorn_Helper"))).atLaunch();

    EXPECT_FALSE(QFileInfo::exists(entry()));
    ASSERT_EQ(m_console.lines().size(), 1);
    EXPECT_TRUE(m_console.lines().first().contains(QStringLiteral("gone/Calvorn_Helper")));
    EXPECT_EQ(killsSent(), 1);
}

TEST_F(HelperHandshakeTest, LoginItemGoesOnAndOffWithReasons)
{
    const HelperHandshake handshake(m_helper);
    ASSERT_TRUE(handshake.setLoginItemEnabled(true));
    EXPECT_TRUE(QFileInfo::exists(entry()));
    ASSERT_TRUE(handshake.setLoginItemEnabled(false));
    EXPECT_FALSE(QFileInfo::exists(entry()));

    QString why;
    EXPECT_FALSE(HelperHandshake(QStringLiteral("/nowhere/Calvorn_Helper")).setLoginItemEnabled(true, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("/nowhere/Calvorn_Helper")));
}
