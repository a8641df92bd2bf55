// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewSampling.h"

#include "controls/CircularProgressView.h"
#include "controls/ProgressBar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using viewtest::Background;
using viewtest::Foreground;

// ProgressBar

TEST(ProgressBar, FillIsFullUntilProgressIsFirstSetThenFollowsIt)
{
    auto bar = BaseView::create<ProgressBar>(QRect(0, 0, 206, 20));
    EXPECT_EQ(bar->fillWidth(), 200.0);
    EXPECT_EQ(bar->fillFrame(), QRectF(3, 3, 200, 14));

    bar->setAnimated(false);
    bar->setProgress(0.5);
    EXPECT_EQ(bar->fillWidth(), 100.0);
    bar->setProgress(0.0);
    EXPECT_EQ(bar->fillWidth(), 0.0);
    // Not clamped either way.
    bar->setProgress(1.5);
    EXPECT_EQ(bar->fillWidth(), 300.0);
    bar->setProgress(-0.5);
    EXPECT_EQ(bar->fillWidth(), -100.0);
}

TEST(ProgressBar, AnimatedChangeEasesOutOverHalfASecond)
{
    auto bar = BaseView::create<ProgressBar>(QRect(0, 0, 206, 20));
    bar->setAnimated(false);
    bar->setProgress(0.0);
    bar->setAnimated(true);
    bar->setProgress(1.0);
    EXPECT_EQ(bar->fillWidth(), 200.0);
    ASSERT_TRUE(bar->fillAnimation()->isRunning());
    bar->fillAnimation()->setCurrentTime(250);
    // Ease-out: more than half the way at half the time.
    EXPECT_GT(bar->shownFillWidth(), 100.0);
    EXPECT_LT(bar->shownFillWidth(), 200.0);
    bar->fillAnimation()->setCurrentTime(500);
    EXPECT_FALSE(bar->fillAnimation()->isRunning());
    EXPECT_EQ(bar->shownFillWidth(), 200.0);
}

TEST(ProgressBar, IsAlwaysACapsuleWhateverTheCornerRadius)
{
    auto bar = BaseView::create<ProgressBar>(QRect(0, 0, 206, 20));
    EXPECT_EQ(bar->shownCornerRadius(), 10.0);
    bar->setCornerRadius(2.0);
    EXPECT_EQ(bar->shownCornerRadius(), 10.0);
}

TEST(ProgressBar, DrawsFillBorderAndBackdrop)
{
    auto bar = BaseView::create<ProgressBar>(QRect(0, 0, 206, 20));
    bar->setAnimated(false);
    bar->setProgress(0.5);
    bar->setBorderColor(Qt::white);
    const QImage image = viewtest::render(*bar);
    EXPECT_TRUE(viewtest::near(image.pixelColor(50, 10), Foreground)); // filled
    EXPECT_TRUE(viewtest::near(image.pixelColor(150, 10), Background)); // not yet
    EXPECT_TRUE(viewtest::near(image.pixelColor(103, 0), QColor(Qt::white), 40)); // border
}

// CircularProgressView

TEST(CircularProgressView, PercentTextRoundsDownFromTheIntendedFraction)
{
    const auto text
        = [](double f) { return CircularProgressView::percentText(f).value_or(QStringLiteral("none")); };
    EXPECT_EQ(text(29.0 / 100.0), QStringLiteral("29%"));
    EXPECT_EQ(text(57.0 / 100.0), QStringLiteral("57%"));
    EXPECT_EQ(text(0.5), QStringLiteral("50%"));
    EXPECT_EQ(text(0.999), QStringLiteral("99%"));
    EXPECT_EQ(text(1.5), QStringLiteral("150%"));
    EXPECT_EQ(text(-0.3), QStringLiteral("-30%"));
    EXPECT_EQ(text(0.0049), QStringLiteral("0%"));
    EXPECT_EQ(text(-0.001), QStringLiteral("0%"));
    for (int i = 0; i <= 1000; ++i) {
        const auto expected = QString::number(i) + QLatin1Char('%');
        ASSERT_EQ(text(double(i) / 100.0), expected) << i;
    }
}

TEST(CircularProgressView, PercentTextSurvivesValuesNoWholeNumberHolds)
{
    EXPECT_FALSE(CircularProgressView::percentText(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(CircularProgressView::percentText(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(CircularProgressView::percentText(-std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(CircularProgressView::percentText(std::numeric_limits<double>::max())); // overflows to inf
    EXPECT_EQ(CircularProgressView::percentText(-1e20), QStringLiteral("-10000000000000000000000%"));
}

TEST(CircularProgressView, RingIsClampedAndTextUsesTheRawValue)
{
    auto view = BaseView::create<CircularProgressView>(QRect(0, 0, 200, 200));
    view->setAnimated(false);
    EXPECT_EQ(view->labelText(), QStringLiteral("0%"));

    view->setProgress(1.2);
    EXPECT_EQ(view->strokeEnd(), 1.0);
    EXPECT_EQ(view->labelText(), QStringLiteral("120%"));
    view->setProgress(-0.3);
    EXPECT_EQ(view->strokeEnd(), 0.0);
    EXPECT_EQ(view->labelText(), QStringLiteral("-30%"));
    view->setProgress(0.29);
    EXPECT_EQ(view->labelText(), QStringLiteral("29%"));

    // No number to show: the ring is clamped, the text stays.
    view->setProgress(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(view->strokeEnd(), 0.0);
    EXPECT_EQ(view->labelText(), QStringLiteral("29%"));
    view->setProgress(std::numeric_limits<double>::infinity());
    EXPECT_EQ(view->strokeEnd(), 1.0);
    EXPECT_EQ(view->labelText(), QStringLiteral("29%"));
    view->setProgress(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(view->strokeEnd(), 0.0);
}

TEST(CircularProgressView, AnimatedChangeEasesOutOverHalfASecond)
{
    auto view = BaseView::create<CircularProgressView>(QRect(0, 0, 200, 200));
    view->setProgress(0.25);
    EXPECT_EQ(view->labelText(), QStringLiteral("25%"));
    EXPECT_EQ(view->strokeEnd(), 0.25);
    ASSERT_TRUE(view->strokeAnimation()->isRunning());
    view->strokeAnimation()->setCurrentTime(0);
    EXPECT_EQ(view->shownStrokeEnd(), 0.0);
    view->strokeAnimation()->setCurrentTime(250);
    EXPECT_GT(view->shownStrokeEnd(), 0.125);
    EXPECT_LT(view->shownStrokeEnd(), 0.25);
    view->strokeAnimation()->setCurrentTime(500);
    EXPECT_DOUBLE_EQ(view->shownStrokeEnd(), 0.25);

    view->setAnimated(false);
    view->setProgress(0.75);
    EXPECT_FALSE(view->strokeAnimation()->isRunning());
    EXPECT_EQ(view->shownStrokeEnd(), 0.75);
}

TEST(CircularProgressView, LineWidthsFollowTheViewWidthOrTheSetWidth)
{
    auto view = BaseView::create<CircularProgressView>(QRect(0, 0, 200, 200));
    EXPECT_EQ(view->ringWidth(), 10.0);
    EXPECT_EQ(view->circleWidth(), 5.0);
    view->setForeground(Qt::red);
    EXPECT_EQ(view->ringWidth(), 10.0);
    EXPECT_EQ(view->circleWidth(), 5.0);
    view->setStrokeWidth(8);
    EXPECT_EQ(view->ringWidth(), 8.0);
    EXPECT_EQ(view->circleWidth(), 4.0);
}

TEST(CircularProgressView, HiddenPercentStillFollowsProgress)
{
    auto view = BaseView::create<CircularProgressView>(QRect(0, 0, 200, 200));
    view->setAnimated(false);
    view->setShowPercent(false);
    EXPECT_FALSE(view->isLabelShown());
    view->setProgress(0.4);
    EXPECT_EQ(view->labelText(), QStringLiteral("40%"));
    view->setShowPercent(true);
    EXPECT_TRUE(view->isLabelShown());
}

TEST(CircularProgressView, RingGrowsClockwiseFromTheTop)
{
    auto view = BaseView::create<CircularProgressView>(QRect(0, 0, 200, 200));
    view->setShowPercent(false);
    view->setAnimated(false);
    view->setProgress(0.25);
    const QImage image = viewtest::render(*view);
    const QPointF centre(100, 100);
    const double radius = 75;
    // A quarter: from the top (90 degrees) clockwise to the right (0).
    EXPECT_TRUE(
        viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, radius, 45)), Foreground));
    // Elsewhere only the faint circle, half the foreground over the backdrop.
    const QColor faint = viewtest::blend(Foreground, 0.5, Background);
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, radius, 135)), faint));
    EXPECT_TRUE(viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, radius, -90)), faint));
    // Inside the ring's band but outside the faint circle: the ring is 10 wide, the circle 5.
    EXPECT_TRUE(
        viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, radius + 4, 135)), Background));
    EXPECT_TRUE(
        viewtest::near(viewtest::pixelYUp(image, viewtest::onCircle(centre, radius + 4, 45)), Foreground));
    EXPECT_TRUE(viewtest::near(image.pixelColor(100, 100), Background));
}
