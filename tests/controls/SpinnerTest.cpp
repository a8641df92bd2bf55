// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewSampling.h"

#include "controls/Spinner.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {
using viewtest::Background;
using viewtest::Foreground;

double degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}
} // namespace

TEST(Spinner, TenBarsFadeRoundTheRing)
{
    auto spinner = BaseView::create<Spinner>(QRect(0, 0, 100, 100));
    const auto &bars = spinner->bars();
    ASSERT_EQ(bars.size(), 10u);
    for (size_t i = 0; i < bars.size(); ++i) {
        EXPECT_NEAR(degrees(bars[i].angle), 36.0 * i, 1e-9);
        EXPECT_NEAR(bars[i].opacity, 1.0 - 0.1 * i, 1e-9);
        EXPECT_EQ(bars[i].cornerRadius, 3.0);
        // Standing on the centre, lifted by the distance.
        EXPECT_EQ(bars[i].frame, QRectF(47, 70, 6, 15));
    }
}

TEST(Spinner, BarCountFollowsTheWholeDegreeStep)
{
    auto spinner = BaseView::create<Spinner>(QRect(0, 0, 100, 100));
    spinner->setStarCount(7); // steps of 51 degrees: 0 ... 357
    EXPECT_EQ(spinner->bars().size(), 8u);
    spinner->setStarCount(360);
    EXPECT_EQ(spinner->bars().size(), 360u);
    EXPECT_NEAR(degrees(spinner->bars()[1].angle), 1.0, 1e-9);
}

TEST(Spinner, CountOutsideOneToThreeSixtyIsClamped)
{
    auto spinner = BaseView::create<Spinner>(QRect(0, 0, 100, 100));
    spinner->setStarCount(0);
    EXPECT_EQ(spinner->starCount(), 1);
    EXPECT_EQ(spinner->bars().size(), 1u);
    spinner->setStarCount(-12);
    EXPECT_EQ(spinner->starCount(), 1);
    spinner->setStarCount(100000);
    EXPECT_EQ(spinner->starCount(), 360);
    EXPECT_EQ(spinner->bars().size(), 360u);
    EXPECT_TRUE(spinner->setProperty("starCount", qint64(400)));
    EXPECT_EQ(spinner->starCount(), 360);
}

TEST(Spinner, ClockwiseTurnsTheOtherWay)
{
    auto spinner = BaseView::create<Spinner>(QRect(0, 0, 100, 100));
    spinner->setClockwise(true);
    EXPECT_NEAR(degrees(spinner->bars()[1].angle), -36.0, 1e-9);
    spinner->setAnimate(true);
    spinner->rotationAnimation()->setCurrentTime(150);
    EXPECT_NEAR(degrees(spinner->shownRotation()), -36.0, 1e-9);
}

TEST(Spinner, RingJumpsOneBarAtATime)
{
    auto spinner = BaseView::create<Spinner>(QRect(0, 0, 100, 100));
    spinner->setAnimate(true);
    auto *rotation = spinner->rotationAnimation();
    EXPECT_EQ(rotation->duration(), 1000);
    rotation->setCurrentTime(0);
    EXPECT_EQ(spinner->shownRotation(), 0.0);
    rotation->setCurrentTime(99);
    EXPECT_EQ(spinner->shownRotation(), 0.0);
    rotation->setCurrentTime(100);
    EXPECT_NEAR(degrees(spinner->shownRotation()), 36.0, 1e-9);
    rotation->setCurrentTime(999);
    EXPECT_NEAR(degrees(spinner->shownRotation()), 324.0, 1e-9);
    rotation->setCurrentTime(1050); // and round again
    EXPECT_EQ(spinner->shownRotation(), 0.0);

    spinner->setDuration(2.0);
    EXPECT_EQ(rotation->duration(), 2000);
    spinner->setAnimate(false);
    EXPECT_FALSE(rotation->isRunning());
}

TEST(Spinner, RendersTheLeadingBarOnTopAndTurnsWithTheRing)
{
    auto spinner = BaseView::create<Spinner>(QRect(0, 0, 100, 100));
    const QPointF centre(50, 50);
    const double middleOfBar = 20 + 7.5;
    QImage image = viewtest::render(*spinner);
    EXPECT_TRUE(
        viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, middleOfBar, 90)), Foreground));
    // The faintest bar stands just counter-clockwise of the leading one.
    const QPointF last = viewtest::onCircle(centre, middleOfBar, 90 + 36);
    EXPECT_TRUE(
        viewtest::near(viewtest::pixelYUp(image, last), viewtest::blend(Foreground, 0.1, Background)));

    // One step on, the leading bar has moved there.
    spinner->setAnimate(true);
    spinner->rotationAnimation()->setCurrentTime(100);
    image = viewtest::render(*spinner);
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, last), Foreground));
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, centre), Background));
}
