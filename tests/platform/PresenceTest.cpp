// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Presence.h"
#include "platform/SingleInstance.h"

#include <QDBusConnection>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using platform::SingleInstance;
namespace Presence = platform::Presence;

namespace {

// A second connection stands for a second process.
class OtherProcess
{
public:
    explicit OtherProcess(const QString &name)
        : m_name(name)
    { }
    ~OtherProcess() { end(); }
    QDBusConnection bus() const { return QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_name); }
    void end() { QDBusConnection::disconnectFromBus(m_name); }

private:
    QString m_name;
};

bool hasBus()
{
    return QDBusConnection::sessionBus().isConnected();
}

} // namespace

TEST(Presence, ANameHasOneOwnerAndGoesWithIt)
{
    if (!hasBus())
        GTEST_SKIP() << "no session bus";
    const QString id = QStringLiteral("org.calvorn.Test.PresenceOwner");
    OtherProcess first(QStringLiteral("presence-first"));
    OtherProcess second(QStringLiteral("presence-second"));

    EXPECT_FALSE(Presence::isRunning(id, second.bus()));
    ASSERT_TRUE(Presence::claim(id, first.bus()));
    EXPECT_TRUE(Presence::isRunning(id, second.bus()));
    // Not queued behind the owner: a later claim simply fails.
    EXPECT_FALSE(Presence::claim(id, second.bus()));

    first.end();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Presence::isRunning(id, second.bus()); }, 30000));
    EXPECT_TRUE(Presence::claim(id, second.bus()));
}

TEST(Presence, InvalidNameIsNeverClaimed)
{
    if (!hasBus())
        GTEST_SKIP() << "no session bus";
    EXPECT_FALSE(Presence::claim(QStringLiteral("org.calvorn.3rd")));
    EXPECT_FALSE(Presence::isRunning(QStringLiteral("org.calvorn.3rd")));
}

TEST(Presence, WithoutABusNothingRuns)
{
    const QDBusConnection none = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nobus"));
    EXPECT_FALSE(Presence::claim(QStringLiteral("org.calvorn.Test.NoBus"), none));
    EXPECT_FALSE(Presence::isRunning(QStringLiteral("org.freedesktop.DBus"), none));

    int activations = 0;
    SingleInstance alone(
        QStringLiteral("org.calvorn.Test.NoBus"), [&] { ++activations; }, none);
    EXPECT_EQ(alone.start(), SingleInstance::Role::First);
    QDBusConnection::disconnectFromBus(QStringLiteral("nobus"));
}

TEST(SingleInstance, SecondStartActivatesTheFirstAndStepsAside)
{
    if (!hasBus())
        GTEST_SKIP() << "no session bus";
    const QString id = QStringLiteral("org.calvorn.Test.Single");
    OtherProcess firstProcess(QStringLiteral("single-first"));
    OtherProcess secondProcess(QStringLiteral("single-second"));

    int firstActivations = 0;
    int secondActivations = 0;
    std::optional<SingleInstance> first;
    first.emplace(
        id, [&] { ++firstActivations; }, firstProcess.bus());
    ASSERT_EQ(first->start(), SingleInstance::Role::First);
    EXPECT_EQ(firstActivations, 0);

    SingleInstance second(
        id, [&] { ++secondActivations; }, secondProcess.bus());
    EXPECT_EQ(second.start(), SingleInstance::Role::Second);
    EXPECT_EQ(firstActivations, 1);
    EXPECT_EQ(secondActivations, 0);

    // Once the first is gone, a new start is the first again.
    first.reset();
    firstProcess.end();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Presence::isRunning(id, secondProcess.bus()); }, 30000));
    SingleInstance third(
        id, [] {}, secondProcess.bus());
    EXPECT_EQ(third.start(), SingleInstance::Role::First);
}

TEST(SingleInstance, ObjectPathFollowsTheId)
{
    EXPECT_EQ(SingleInstance::objectPath(QStringLiteral("org.calvorn.Calvorn")),
        QStringLiteral("/org/calvorn/Calvorn"));
}
