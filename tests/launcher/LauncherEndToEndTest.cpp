// SPDX-License-Identifier: GPL-3.0-or-later
// The two programs talking over a private session bus: a copy of the real
// Calvorn_Helper in a temporary install tree with a stand-in Calvorn, and
// the real Calvorn for what it does at start.
#include "launcher/Handshake.h"
#include "platform/BusNotifications.h"
#include "platform/LoginItem.h"
#include "platform/Presence.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace Presence = platform::Presence;
namespace BusNotifications = platform::BusNotifications;

namespace {

constexpr int Patience = 60000;

const QString CalvornId = QStringLiteral(CALVORN_APP_ID);
const QString HelperId = QStringLiteral(CALVORN_HELPER_ID);

class LauncherEndToEnd : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus";
        ASSERT_TRUE(m_dir.isValid());
        m_root = m_dir.filePath(QStringLiteral("install tree"));
        m_helper = m_root + QStringLiteral("/libexec/calvorn/Calvorn_Helper");
        m_fake = m_root + QStringLiteral("/bin/Calvorn");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(m_helper).absolutePath()));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(m_fake).absolutePath()));
        // Copies, not links: the helper finds Calvorn from where its own
        // program really lies.
        ASSERT_TRUE(QFile::copy(QStringLiteral(CALVORN_HELPER_PROGRAM), m_helper));
        ASSERT_TRUE(QFile::copy(QStringLiteral(FAKE_CALVORN_PROGRAM), m_fake));

        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder());
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_env.insert(QStringLiteral("CALVORN_FAKE_RECORD"), recordFile());
    }

    void TearDown() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            return;
        BusNotifications::post(QStringLiteral("fakeCalvornQuit"), CalvornId);
        EXPECT_TRUE(QTest::qWaitFor([] { return !Presence::isRunning(CalvornId); }, Patience));
    }

    QString configFolder() const { return m_dir.filePath(QStringLiteral("config")); }
    QString recordFile() const { return m_dir.filePath(QStringLiteral("starts")); }

    // How often the stand-in Calvorn has started.
    int starts() const
    {
        QFile file(recordFile());
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count('\n')) : 0;
    }

    void start(QProcess &process, const QString &program)
    {
        process.setProcessEnvironment(m_env);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(program, {});
        ASSERT_TRUE(process.waitForStarted(Patience)) << qPrintable(process.errorString());
    }

    static void expectCleanExit(QProcess &process)
    {
        ASSERT_TRUE(process.waitForFinished(Patience));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    QTemporaryDir m_dir;
    QString m_root;
    QString m_helper;
    QString m_fake;
    QProcessEnvironment m_env;
};

} // namespace

TEST_F(LauncherEndToEnd, HelperStartsCalvornOnceAndQuitsWhenCalvornIsUp)
{
    QProcess helper;
    start(helper, m_helper);
    expectCleanExit(helper);

    EXPECT_TRUE(Presence::isRunning(CalvornId));
    EXPECT_EQ(starts(), 1);
    EXPECT_TRUE(QTest::qWaitFor([] { return !Presence::isRunning(HelperId); }, Patience));
}

TEST_F(LauncherEndToEnd, HelperQuitsAtOnceWhenCalvornRuns)
{
    m_env.insert(QStringLiteral("CALVORN_FAKE_SILENT"), QStringLiteral("1"));
    QProcess calvorn;
    start(calvorn, m_fake);
    ASSERT_TRUE(QTest::qWaitFor([] { return Presence::isRunning(CalvornId); }, Patience));

    QProcess helper;
    start(helper, m_helper);
    // Calvorn here never says anything, so only finding it running ends
    // the helper.
    expectCleanExit(helper);
    EXPECT_EQ(starts(), 1);

    BusNotifications::post(QStringLiteral("fakeCalvornQuit"), CalvornId);
    expectCleanExit(calvorn);
}

TEST_F(LauncherEndToEnd, HelperWaitsForCalvornsOwnWord)
{
    m_env.insert(QStringLiteral("CALVORN_FAKE_SILENT"), QStringLiteral("1"));
    QProcess helper;
    start(helper, m_helper);
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return Presence::isRunning(CalvornId) && Presence::isRunning(HelperId); }, Patience));

    const QString kill = QLatin1String(launcher::KillNotification);
    BusNotifications::post(kill, QStringLiteral("org.example.Other"));
    BusNotifications::post(kill, HelperId);
    BusNotifications::post(kill + QStringLiteral("Soon"), CalvornId);
    // A round trip to the helper after those, so they have reached it.
    // Whether the helper filters them is proven exactly by the in-process
    // notification tests; this shows the real programs agree on it.
    const QDBusMessage reply = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        HelperId, QStringLiteral("/"), QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(helper.state(), QProcess::Running);

    BusNotifications::post(kill, CalvornId);
    expectCleanExit(helper);
    EXPECT_EQ(starts(), 1);
}

TEST_F(LauncherEndToEnd, WithoutABusHelperStartsCalvornAndEnds)
{
    // Nobody could ever tell the helper to quit, so it does not wait.
    const QTemporaryDir runtime;
    m_env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess helper;
    start(helper, m_helper);
    expectCleanExit(helper);
    EXPECT_TRUE(QTest::qWaitFor([&] { return starts() == 1; }, Patience));
}

TEST_F(LauncherEndToEnd, CalvornKeepsTheLoginItemAndYieldsToASecondStart)
{
    {
        QSettings settings(configFolder() + QStringLiteral("/Calvorn/Calvorn.conf"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("isLaunchAutomaticallyAtMacStartup"), true);
    }
    const QString entry
        = configFolder() + QStringLiteral("/autostart/") + HelperId + QStringLiteral(".desktop");

    QProcess calvorn;
    start(calvorn, QStringLiteral(CALVORN_PROGRAM));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(entry); }, Patience));

    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    const QString helper = QFileInfo(QStringLiteral(CALVORN_HELPER_PROGRAM)).canonicalFilePath();
    EXPECT_TRUE(
        text.contains(QStringLiteral("\nExec=") + platform::LoginItem::execValue(helper) + QLatin1Char('\n')))
        << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("\nTryExec=") + helper + QLatin1Char('\n'))) << qPrintable(text);

    // A second start hands over to the first and ends.
    ASSERT_TRUE(QTest::qWaitFor([] { return Presence::isRunning(CalvornId); }, Patience));
    QProcess second;
    start(second, QStringLiteral(CALVORN_PROGRAM));
    expectCleanExit(second);
    EXPECT_EQ(calvorn.state(), QProcess::Running);

    calvorn.terminate();
    ASSERT_TRUE(calvorn.waitForFinished(Patience));
}
