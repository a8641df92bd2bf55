// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewSampling.h"

#include "controls/Crawler.h"
#include "controls/RotatingArc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {
using viewtest::Background;
using viewtest::Foreground;

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}
} // namespace

// Crawler

TEST(Crawler, DotsShrinkAndStartAtTheTopOfTheirCircle)
{
    auto crawler = BaseView::create<Crawler>(QRect(0, 0, 100, 100));
    ASSERT_EQ(crawler->dots().size(), 5u);
    const double sizes[] = { 20, 18, 16, 14, 12 };
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(crawler->dots()[i].size, sizes[i]);
        EXPECT_EQ(crawler->dots()[i].restingCentre, QPointF(50, 85));
    }
    EXPECT_EQ(crawler->track().centre, QPointF(50, 50));
    EXPECT_EQ(crawler->track().radius, 35.0);
    EXPECT_EQ(crawler->track().pointAt(0), QPointF(50, 85));
}

TEST(Crawler, WideViewCirclesAboutTheCentreWithTheInsetWidth)
{
    auto crawler = BaseView::create<Crawler>(QRect(0, 0, 200, 100));
    EXPECT_EQ(crawler->dots()[0].restingCentre, QPointF(100, 70));
    EXPECT_EQ(crawler->track().centre, QPointF(100, 50));
    EXPECT_EQ(crawler->track().radius, 70.0);
}

TEST(Crawler, AnimateRunsOneEndlessCyclePerDot)
{
    QWidget parent;
    auto *crawler = BaseView::create<Crawler>(QRect(0, 0, 100, 100), &parent);
    crawler->setAnimate(true);
    for (int i = 0; i < Crawler::DotCount; ++i) {
        EXPECT_TRUE(crawler->dotAnimation(i)->isRunning());
        EXPECT_EQ(crawler->dotAnimation(i)->loopCount(), -1);
        EXPECT_EQ(crawler->dotAnimation(i)->duration(), 1200);
    }
    crawler->setAnimate(false);
    for (int i = 0; i < Crawler::DotCount; ++i)
        EXPECT_FALSE(crawler->dotAnimation(i)->isRunning());
    EXPECT_TRUE(crawler->isHidden());
    EXPECT_EQ(crawler->shownCentre(0), QPointF(50, 85));
}

TEST(Crawler, DotsRunClockwiseOneBehindTheOther)
{
    auto crawler = BaseView::create<Crawler>(QRect(0, 0, 100, 100));
    crawler->setAnimate(true);
    for (int i = 0; i < Crawler::DotCount; ++i)
        crawler->dotAnimation(i)->setCurrentTime(100);
    // 0.1 s in: the first dot has left the top to the right, the second
    // (started 0.09 s later) is just behind it, the last has not started.
    const QPointF first = crawler->shownCentre(0);
    const QPointF second = crawler->shownCentre(1);
    EXPECT_NEAR(distance(first, QPointF(50, 50)), 35.0, 1e-6);
    EXPECT_GT(first.x(), 50.0);
    EXPECT_GT(first.x(), second.x());
    EXPECT_EQ(crawler->shownCentre(4), QPointF(50, 85));

    // Each lap ends back at the top before the cycle ends.
    for (int i = 0; i < Crawler::DotCount; ++i)
        crawler->dotAnimation(i)->setCurrentTime(1199);
    for (int i = 0; i < Crawler::DotCount; ++i)
        EXPECT_LT(distance(crawler->shownCentre(i), QPointF(50, 85)), 0.5) << i;
    // The cycle repeats.
    for (int i = 0; i < Crawler::DotCount; ++i)
        crawler->dotAnimation(i)->setCurrentTime(1200 + 100);
    EXPECT_EQ(crawler->shownCentre(0), first);
}

TEST(Crawler, RendersDotsWhereTheyAreShown)
{
    auto crawler = BaseView::create<Crawler>(QRect(0, 0, 100, 100));
    QImage image = viewtest::render(*crawler);
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, QPointF(50, 85)), Foreground));
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, QPointF(50, 15)), Background));

    crawler->setAnimate(true);
    for (int i = 0; i < Crawler::DotCount; ++i)
        crawler->dotAnimation(i)->setCurrentTime(600);
    image = viewtest::render(*crawler);
    for (int i = 0; i < Crawler::DotCount; ++i)
        EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, crawler->shownCentre(i)), Foreground)) << i;
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, QPointF(50, 85)), Background));

    crawler->setForeground(Qt::red);
    image = viewtest::render(*crawler);
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, crawler->shownCentre(0)), QColor(Qt::red)));
}

// RotatingArc

TEST(RotatingArc, ArcCoversItsShareOfATurnClockwiseFromZero)
{
    auto arc = BaseView::create<RotatingArc>(QRect(0, 0, 100, 100));
    EXPECT_EQ(arc->arc().startDegrees, 0.0);
    EXPECT_DOUBLE_EQ(arc->arc().sweepDegrees, -126.0);
    EXPECT_EQ(arc->arc().radius, 37.5);
    arc->setArcLength(50);
    EXPECT_DOUBLE_EQ(arc->arc().sweepDegrees, -180.0);
    arc->setArcLength(100);
    EXPECT_DOUBLE_EQ(arc->arc().sweepDegrees, -360.0);
    arc->setArcLength(0);
    EXPECT_TRUE(arc->arc().path().isEmpty());
}

TEST(RotatingArc, FaintCircleFadesAfterTheFirstLaterUpdate)
{
    auto arc = BaseView::create<RotatingArc>(QRect(0, 0, 100, 100));
    EXPECT_NEAR(arc->circleColor().alphaF(), 0.5, 0.01);
    arc->setStrokeWidth(3);
    EXPECT_EQ(arc->arcLineWidth(), 3.0);
    EXPECT_EQ(arc->circleLineWidth(), 3.0);
    EXPECT_NEAR(arc->circleColor().alphaF(), 0.4, 0.01);
}

TEST(RotatingArc, TurnsFourRadiansASecondInTheDirectionItStartedWith)
{
    auto arc = BaseView::create<RotatingArc>(QRect(0, 0, 100, 100));
    EXPECT_EQ(arc->rotationStep(), -1);
    arc->setAnimate(true);
    arc->rotationAnimation()->setCurrentTime(250);
    EXPECT_NEAR(arc->shownRotation(), -1.0, 1e-9);
    arc->rotationAnimation()->setCurrentTime(1000); // cumulative
    EXPECT_NEAR(arc->shownRotation(), -4.0, 1e-9);

    // A change of direction waits for the next start.
    arc->setClockWise(false);
    EXPECT_EQ(arc->rotationStep(), 1);
    EXPECT_NEAR(arc->shownRotation(), -4.0, 1e-9);
    arc->setAnimate(false);
    EXPECT_EQ(arc->shownRotation(), 0.0);
    arc->setAnimate(true);
    arc->rotationAnimation()->setCurrentTime(500);
    EXPECT_NEAR(arc->shownRotation(), 2.0, 1e-9);
}

TEST(RotatingArc, RendersTheArcOverTheFaintCircleAndTurnsIt)
{
    auto arc = BaseView::create<RotatingArc>(QRect(0, 0, 100, 100));
    arc->setStrokeWidth(6);
    const QPointF centre(50, 50);
    const QColor faint = viewtest::blend(Foreground, 0.4, Background);
    QImage image = viewtest::render(*arc);
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, 37.5, -63)), Foreground));
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, 37.5, 90)), faint));

    // A quarter turn clockwise later the arc spans -90 to -216 degrees.
    arc->setAnimate(true);
    arc->rotationAnimation()->setCurrentTime(qRound(250 * std::numbers::pi / 2));
    image = viewtest::render(*arc);
    EXPECT_TRUE(
        viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, 37.5, -153)), Foreground));
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, 37.5, -45)), faint));
}
