// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Popover.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using platform::Popover;

namespace {
const QRect Screen(0, 0, 1000, 800);
const QSize Size(200, 100);
} // namespace

TEST(PopoverPlacement, StandsCentredOnThePreferredSide)
{
    const QRect anchor(400, 300, 100, 20);
    EXPECT_EQ(Popover::placement(anchor, Size, Popover::BelowEdge, Screen),
        QRect(QPoint(350, 320 + Popover::Gap), Size));
    EXPECT_EQ(Popover::placement(anchor, Size, Popover::AboveEdge, Screen),
        QRect(QPoint(350, 300 - Popover::Gap - 100), Size));
    EXPECT_EQ(Popover::placement(anchor, Size, Popover::LeftEdge, Screen),
        QRect(QPoint(400 - Popover::Gap - 200, 260), Size));
    EXPECT_EQ(Popover::placement(anchor, Size, Popover::RightEdge, Screen),
        QRect(QPoint(500 + Popover::Gap, 260), Size));
}

TEST(PopoverPlacement, TakesTheOtherSideWhenThereIsNoRoomAndStaysOnScreen)
{
    const QRect nearBottom(400, 760, 100, 20);
    EXPECT_EQ(
        Popover::placement(nearBottom, Size, Popover::BelowEdge, Screen).bottom(), 760 - Popover::Gap - 1);

    const QRect nearLeft(10, 300, 50, 20);
    EXPECT_EQ(Popover::placement(nearLeft, Size, Popover::LeftEdge, Screen).left(), 60 + Popover::Gap);

    // Centred below, it would start left of the screen: moved in.
    const QRect inCorner(0, 0, 20, 20);
    const QRect placed = Popover::placement(inCorner, Size, Popover::BelowEdge, Screen);
    EXPECT_EQ(placed.topLeft(), QPoint(0, 20 + Popover::Gap));
    EXPECT_TRUE(Screen.contains(placed));
}

TEST(Popover, ShowsItsContentAndLeavesItAliveWhenItGoes)
{
    QWidget window;
    auto *anchor = new QLabel(QStringLiteral("anchor"), &window);
    window.resize(300, 200);
    window.show();

    QLabel content(QStringLiteral("content"));
    {
        Popover popover;
        QSignalSpy closed(&popover, &Popover::closed);
        popover.setContent(&content);
        popover.show(anchor, Popover::BelowEdge);
        ASSERT_TRUE(popover.isShown());
        EXPECT_EQ(content.window(), popover.window());
        EXPECT_TRUE(content.isVisible());

        popover.close();
        EXPECT_FALSE(popover.isShown());
        EXPECT_EQ(closed.count(), 1);

        popover.show(anchor, Popover::RightEdge);
        EXPECT_TRUE(popover.isShown());
    }
    EXPECT_EQ(content.parentWidget(), nullptr) << "the popover does not own its content";
    EXPECT_FALSE(content.isVisible());
}

TEST(Popover, ClosesWhenItsAnchorsWindowCloses)
{
    auto window = std::make_unique<QWidget>();
    window->resize(300, 200);
    window->show();
    QLabel content(QStringLiteral("content"));
    Popover popover(Popover::Kind::Tooltip);
    popover.setContent(&content);
    popover.show(window.get(), Popover::AboveEdge);
    ASSERT_TRUE(popover.isShown());
    window->close();
    EXPECT_FALSE(popover.isShown());
}
