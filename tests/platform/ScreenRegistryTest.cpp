// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/ScreenRegistry.h"

#include <QPointer>

#include <gtest/gtest.h>

namespace {

class FakeScreen : public QWidget
{
    Q_OBJECT
public:
    FakeScreen() { ++made; }
    static inline int made = 0;
};

} // namespace

TEST(ScreenRegistry, SharedScreensAreMadeOnceAndLazily)
{
    FakeScreen::made = 0;
    QPointer<FakeScreen> first;
    {
        platform::ScreenRegistry registry;
        registry.add<FakeScreen>();
        EXPECT_EQ(FakeScreen::made, 0);
        EXPECT_FALSE(registry.isShared(QStringLiteral("FakeScreen")));

        first = registry.shared<FakeScreen>();
        EXPECT_EQ(registry.shared<FakeScreen>(), first.data());
        EXPECT_EQ(&platform::ScreenRegistry::instance(), &registry);
        EXPECT_EQ(FakeScreen::made, 1);

        std::unique_ptr<FakeScreen> own(registry.create<FakeScreen>());
        EXPECT_NE(own.get(), first.data());
        EXPECT_EQ(FakeScreen::made, 2);
    }
    EXPECT_TRUE(first.isNull()) << "the registry owns its shared screens";
}

TEST(ScreenRegistry, ScreenDestroyedByItsWindowIsNotDeletedTwice)
{
    platform::ScreenRegistry registry;
    registry.add<FakeScreen>();
    auto window = std::make_unique<QWidget>();
    registry.shared<FakeScreen>()->setParent(window.get());
    window.reset();
    registry.releaseShared();
}

#include "ScreenRegistryTest.moc"
