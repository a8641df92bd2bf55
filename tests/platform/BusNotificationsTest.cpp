// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BusNotifications.h"
#include "support/ScopedIsolation.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace BusNotifications = platform::BusNotifications;

namespace {

#define REQUIRE_SESSION_BUS()                                                                                \
    do {                                                                                                     \
        if (!QDBusConnection::sessionBus().isConnected())                                                    \
            GTEST_SKIP() << "no session bus";                                                                \
    } while (0)

const QString Me = QStringLiteral("org.calvorn.Calvorn");
constexpr int Patience = 30000;

// Counts the arrivals of one notification with Me as object while it lives.
class Arrivals
{
public:
    explicit Arrivals(const QString &name)
    {
        EXPECT_TRUE(BusNotifications::observe(name, Me, &m_context, [this] { ++m_count; }));
    }
    int count() const { return m_count; }
    bool reach(int count) const
    {
        return QTest::qWaitFor([&] { return m_count >= count; }, Patience);
    }

private:
    QObject m_context;
    int m_count = 0;
};

// Notifications from one sender arrive in the order sent, so once a last
// "sentinel" notification has arrived, everything sent before it has been
// delivered or dropped.
class Sentinel
{
public:
    bool passThrough()
    {
        BusNotifications::post(QStringLiteral("testSentinel"), Me);
        return m_arrivals.reach(++m_sent);
    }

private:
    Arrivals m_arrivals { QStringLiteral("testSentinel") };
    int m_sent = 0;
};

// The notification as another program would send it; with a destination,
// addressed to that connection alone.
QDBusMessage notification(const QString &name, const QString &object, const QString &destination = QString())
{
    QDBusMessage signal = destination.isEmpty()
        ? QDBusMessage::createSignal(BusNotifications::objectPath(), BusNotifications::interfaceName(), name)
        : QDBusMessage::createTargetedSignal(
            destination, BusNotifications::objectPath(), BusNotifications::interfaceName(), name);
    signal << object;
    return signal;
}

} // namespace

TEST(BusNotifications, OnlyTheNameWithTheSameObjectArrives)
{
    REQUIRE_SESSION_BUS();
    Sentinel sentinel;
    Arrivals quit(QStringLiteral("testQuit"));

    EXPECT_TRUE(BusNotifications::post(QStringLiteral("testQuit"), QStringLiteral("org.example.Other")));
    EXPECT_TRUE(BusNotifications::post(QStringLiteral("testQuit"), Me + QStringLiteral(".Suffix")));
    EXPECT_TRUE(BusNotifications::post(QStringLiteral("testQuitAgain"), Me));
    ASSERT_TRUE(sentinel.passThrough());
    EXPECT_EQ(quit.count(), 0);

    EXPECT_TRUE(BusNotifications::post(QStringLiteral("testQuit"), Me));
    ASSERT_TRUE(quit.reach(1));
    ASSERT_TRUE(sentinel.passThrough());
    EXPECT_EQ(quit.count(), 1);
}

TEST(BusNotifications, ArrivesFromAnotherConnection)
{
    REQUIRE_SESSION_BUS();
    Arrivals fromPeer(QStringLiteral("testFromPeer"));
    const QString connection = QStringLiteral("poster");
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connection);
    EXPECT_TRUE(other.send(notification(QStringLiteral("testFromPeer"), Me)));
    EXPECT_TRUE(fromPeer.reach(1));
    QDBusConnection::disconnectFromBus(connection);
}

TEST(BusNotifications, SignalAddressedStraightToUsWithAnotherObjectIsIgnored)
{
    REQUIRE_SESSION_BUS();
    Sentinel sentinel;
    Arrivals direct(QStringLiteral("testDirect"));
    // Addressed signals reach us whatever our match rules say.
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.send(
        notification(QStringLiteral("testDirect"), QStringLiteral("org.example.Other"), bus.baseService())));
    ASSERT_TRUE(sentinel.passThrough());
    EXPECT_EQ(direct.count(), 0);
}

TEST(BusNotifications, ObservingEndsWithItsContext)
{
    REQUIRE_SESSION_BUS();
    Sentinel sentinel;
    int calls = 0;
    {
        QObject context;
        ASSERT_TRUE(BusNotifications::observe(QStringLiteral("testGone"), Me, &context, [&] { ++calls; }));
    }
    BusNotifications::post(QStringLiteral("testGone"), Me);
    ASSERT_TRUE(sentinel.passThrough());
    EXPECT_EQ(calls, 0);
}

TEST(BusNotifications, NameTheBusRefusesIsReportedNotSent)
{
    REQUIRE_SESSION_BUS();
    testsupport::ConsoleCapture console;
    EXPECT_FALSE(BusNotifications::post(QStringLiteral("not-a-member"), Me));
    EXPECT_EQ(console.lines().size(), 1);
}
