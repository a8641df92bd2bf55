// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewSampling.h"

#include "controls/ShootingStars.h"

#include <gtest/gtest.h>

using viewtest::Background;
using viewtest::Foreground;

TEST(ShootingStars, BarsRestAtTheLeftAndInTheMiddle)
{
    auto stars = BaseView::create<ShootingStars>(QRect(0, 0, 200, 20));
    EXPECT_EQ(stars->barSize(), QSizeF(30, 20));
    EXPECT_EQ(stars->shownCentre1(), QPointF(10, 10));
    EXPECT_EQ(stars->shownCentre2(), QPointF(100, 10));
    // Square corners until the next appearance update restores the radius.
    EXPECT_EQ(stars->shownCornerRadius(), 0.0);
    stars->setForeground(Qt::red);
    EXPECT_EQ(stars->shownCornerRadius(), 5.0);
    EXPECT_EQ(stars->barColor(), QColor(Qt::red));
}

TEST(ShootingStars, SecondBarLeadsToTheEdgeThenJoinsTheEndlessSlide)
{
    auto stars = BaseView::create<ShootingStars>(QRect(0, 0, 200, 20));
    stars->setAnimate(true);
    EXPECT_TRUE(stars->slide1()->isRunning());
    EXPECT_TRUE(stars->lead2()->isRunning());
    EXPECT_FALSE(stars->slide2()->isRunning());

    stars->slide1()->setCurrentTime(0);
    EXPECT_EQ(stars->shownCentre1().x(), -20.0);
    stars->slide1()->setCurrentTime(2500); // endless: halfway through the third slide
    EXPECT_TRUE(stars->slide1()->isRunning());
    const double halfway = stars->shownCentre1().x();
    EXPECT_GT(halfway, -20.0);
    EXPECT_LT(halfway, 80.0); // eased in: less than half the way at half the time

    stars->lead2()->setCurrentTime(250);
    EXPECT_GT(stars->shownCentre2().x(), 100.0);
    EXPECT_LT(stars->shownCentre2().x(), 150.0);

    stars->lead2()->setCurrentTime(500);
    EXPECT_FALSE(stars->lead2()->isRunning());
    ASSERT_TRUE(stars->slide2()->isRunning());
    stars->slide2()->setCurrentTime(500);
    EXPECT_DOUBLE_EQ(stars->shownCentre2().x(), halfway);

    stars->setAnimate(false);
    EXPECT_FALSE(stars->slide1()->isRunning());
    EXPECT_FALSE(stars->slide2()->isRunning());
}

TEST(ShootingStars, StoppedWithinTheFirstHalfSecondLeavesNothingRunning)
{
    auto stars = BaseView::create<ShootingStars>(QRect(0, 0, 200, 20));
    stars->setAnimate(true);
    stars->lead2()->setCurrentTime(200);
    stars->setAnimate(false);
    EXPECT_FALSE(stars->slide1()->isRunning());
    EXPECT_FALSE(stars->lead2()->isRunning());
    EXPECT_FALSE(stars->slide2()->isRunning());
    EXPECT_EQ(stars->shownCentre2(), QPointF(100, 10));

    // A new start begins with the lead again.
    stars->setAnimate(true);
    EXPECT_TRUE(stars->lead2()->isRunning());
    EXPECT_FALSE(stars->slide2()->isRunning());
}

TEST(ShootingStars, RendersBarsWhereTheyAreShown)
{
    auto stars = BaseView::create<ShootingStars>(QRect(0, 0, 200, 20));
    QImage image = viewtest::render(*stars);
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, QPointF(10, 10)), Foreground));
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, QPointF(100, 10)), Foreground));
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, QPointF(60, 10)), Background));

    stars->setAnimate(true);
    stars->slide1()->setCurrentTime(0); // the first bar waits left of the view
    stars->lead2()->setCurrentTime(0);
    image = viewtest::render(*stars);
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, QPointF(10, 10)), Background));
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, QPointF(100, 10)), Foreground));

    stars->lead2()->setCurrentTime(499);
    image = viewtest::render(*stars);
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, QPointF(100, 10)), Background));
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, QPointF(195, 10)), Foreground));
}
