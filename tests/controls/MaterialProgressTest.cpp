// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewSampling.h"

#include "controls/MaterialProgress.h"
#include "controls/Rainbow.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {
using viewtest::Background;
using viewtest::Foreground;
constexpr double FourFifthsOfATurn = 0.8 * 2 * std::numbers::pi;
} // namespace

TEST(MaterialProgress, LineWidthIsATenthOfTheRadiusUnlessSet)
{
    auto automatic = BaseView::create<MaterialProgress>(QRect(0, 0, 100, 100));
    EXPECT_EQ(automatic->circle().radius, 37.5);
    EXPECT_EQ(automatic->arcLineWidth(), 3.75);
    // Worked out at set-up only: -1 later is used as given.
    automatic->setLineWidth(-1);
    EXPECT_EQ(automatic->arcLineWidth(), -1.0);
    automatic->setLineWidth(0);
    EXPECT_EQ(automatic->arcLineWidth(), 0.0);
}

TEST(MaterialProgress, StrokeCycleDrawsThenErasesFourFifths)
{
    auto view = BaseView::create<MaterialProgress>(QRect(0, 0, 100, 100));
    EXPECT_EQ(view->shownStrokeStart(), 0.0);
    EXPECT_EQ(view->shownStrokeEnd(), 0.8);

    view->setAnimate(true);
    auto *cycle = view->strokeAnimation();
    cycle->setCurrentTime(0);
    EXPECT_EQ(view->shownStrokeEnd(), 0.0);
    cycle->setCurrentTime(375);
    EXPECT_NEAR(view->shownStrokeEnd(), 0.4, 1e-6); // symmetric easing: half way at half time
    EXPECT_EQ(view->shownStrokeStart(), 0.0);
    cycle->setCurrentTime(750);
    EXPECT_NEAR(view->shownStrokeEnd(), 0.8, 1e-6);
    cycle->setCurrentTime(1125);
    EXPECT_NEAR(view->shownStrokeStart(), 0.4, 1e-6);
    EXPECT_EQ(view->shownStrokeEnd(), 0.8);
}

TEST(MaterialProgress, EachCycleStartsWhereTheLastEnded)
{
    auto view = BaseView::create<MaterialProgress>(QRect(0, 0, 100, 100));
    view->setAnimate(true);
    view->rotationAnimation()->setCurrentTime(2250); // one radian every 0.75 s, adding up
    EXPECT_NEAR(view->shownRotation(), 3.0, 1e-9);
    view->strokeAnimation()->setCurrentTime(1500);
    EXPECT_TRUE(view->strokeAnimation()->isRunning());
    EXPECT_EQ(view->strokeAnimation()->currentTime(), 0);
    EXPECT_NEAR(view->currentRotation(), FourFifthsOfATurn, 1e-12);
    view->strokeAnimation()->setCurrentTime(1500);
    EXPECT_NEAR(view->currentRotation(), std::fmod(2 * FourFifthsOfATurn, 2 * std::numbers::pi), 1e-12);

    // Stopping ends the cycling and keeps the rotation for the next start.
    const double kept = view->currentRotation();
    view->setAnimate(false);
    EXPECT_FALSE(view->strokeAnimation()->isRunning());
    EXPECT_FALSE(view->rotationAnimation()->isRunning());
    EXPECT_EQ(view->currentRotation(), kept);
    view->setAnimate(true);
    EXPECT_TRUE(view->strokeAnimation()->isRunning());
    EXPECT_EQ(view->currentRotation(), kept);
}

TEST(MaterialProgress, RendersTheStretchBetweenStrokeStartAndEnd)
{
    auto view = BaseView::create<MaterialProgress>(QRect(0, 0, 100, 100));
    view->setLineWidth(6);
    view->setAnimate(true);
    view->rotationAnimation()->setCurrentTime(0);
    view->strokeAnimation()->setCurrentTime(750); // 0 to 0.8: counter-clockwise from 0 to 288 degrees
    const QPointF centre(50, 50);
    QImage image = viewtest::render(*view);
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, 37.5, 144)), Foreground));
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, 37.5, 324)), Background));

    // Turned by one radian (57.3 degrees) counter-clockwise, the gap moves on.
    view->rotationAnimation()->setCurrentTime(750);
    image = viewtest::render(*view);
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, 37.5, 324)), Foreground));
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, 37.5, 30)), Background));
}

TEST(Rainbow, ClearBackgroundAndANewColourEachCycle)
{
    auto rainbow = BaseView::create<Rainbow>(QRect(0, 0, 100, 100));
    EXPECT_EQ(rainbow->shownBackground().alpha(), 0);
    EXPECT_TRUE(viewtest::near(rainbow->arcColor(), Foreground, 1));
    EXPECT_EQ(Rainbow::paleColors().size(), 16);
    EXPECT_EQ(Rainbow::strongColors().size(), 17);

    rainbow->setAnimate(true);
    rainbow->strokeAnimation()->setCurrentTime(1500);
    EXPECT_TRUE(Rainbow::strongColors().contains(rainbow->arcColor()));
    EXPECT_TRUE(rainbow->strokeAnimation()->isRunning());

    rainbow->setOnLightOffDark(true);
    for (int i = 0; i < 5; ++i) {
        rainbow->strokeAnimation()->setCurrentTime(1500);
        EXPECT_TRUE(Rainbow::paleColors().contains(rainbow->arcColor()));
    }
    // The next appearance update paints the arc in the foreground again.
    rainbow->setForeground(Qt::red);
    EXPECT_EQ(rainbow->arcColor(), QColor(Qt::red));
}
