// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewSampling.h"

#include "controls/DeterminateAnimation.h"
#include "controls/IndeterminateAnimation.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Counts what the bases call, and records what set-up saw.
class ProbeIndeterminate : public IndeterminateAnimation
{
public:
    int setUps = 0;
    int starts = 0;
    int stops = 0;
    int appearanceUpdates = 0;
    QSize sizeAtSetUp;
    double ownDefaultAtSetUp = 0;

protected:
    friend class BaseView;
    explicit ProbeIndeterminate(QWidget *parent)
        : IndeterminateAnimation(parent)
    { }
    void setUpLayers() override
    {
        ++setUps;
        sizeAtSetUp = size();
        ownDefaultAtSetUp = m_ownDefault;
        IndeterminateAnimation::setUpLayers();
    }
    void updateLayerAppearance() override
    {
        ++appearanceUpdates;
        IndeterminateAnimation::updateLayerAppearance();
    }
    void startAnimation() override { ++starts; }
    void stopAnimation() override { ++stops; }
    void paintContent(QPainter &) override { }

private:
    double m_ownDefault = 42.0;
};

class ProbeDeterminate : public DeterminateAnimation
{
public:
    int progressUpdates = 0;

protected:
    friend class BaseView;
    explicit ProbeDeterminate(QWidget *parent)
        : DeterminateAnimation(parent)
    { }
    void updateProgress() override { ++progressUpdates; }
    void paintContent(QPainter &) override { }
};

using viewtest::Background;
using viewtest::Foreground;

} // namespace

TEST(ProgressViewBase, SetUpRunsOnceWithDefaultsAndFrameInPlace)
{
    auto view = BaseView::create<ProbeIndeterminate>(QRect(0, 0, 120, 80));
    EXPECT_EQ(view->setUps, 1);
    EXPECT_EQ(view->sizeAtSetUp, QSize(120, 80));
    EXPECT_EQ(view->ownDefaultAtSetUp, 42.0);
    EXPECT_EQ(view->appearanceUpdates, 1);
    EXPECT_TRUE(viewtest::near(view->foreground(), Foreground, 1));
    EXPECT_TRUE(viewtest::near(view->background(), Background, 1));
    EXPECT_EQ(view->cornerRadius(), 5.0);
    EXPECT_FALSE(view->animate());
    EXPECT_FALSE(view->displayAfterAnimationEnds());
    EXPECT_EQ(view->sizeHint(), QSize(120, 80));
}

TEST(ProgressViewBase, AnimateStartsAndStopsOnlyOnChange)
{
    QWidget parent;
    auto *view = BaseView::create<ProbeIndeterminate>(QRect(0, 0, 50, 50), &parent);
    EXPECT_EQ(view->parentWidget(), &parent);
    parent.show();
    view->setHidden(true);
    view->setAnimate(true);
    view->setAnimate(true);
    EXPECT_EQ(view->starts, 1);
    EXPECT_TRUE(view->isVisible()); // shown again to run

    view->setAnimate(false);
    EXPECT_EQ(view->stops, 1);
    EXPECT_TRUE(view->isHidden());

    // Off while already off: neither hidden again nor stopped.
    view->setHidden(false);
    view->setAnimate(false);
    EXPECT_EQ(view->stops, 1);
    EXPECT_FALSE(view->isHidden());
}

TEST(ProgressViewBase, DisplayAfterAnimationEndsKeepsTheViewShown)
{
    QWidget parent;
    auto *view = BaseView::create<ProbeIndeterminate>(QRect(0, 0, 50, 50), &parent);
    parent.show();
    view->setDisplayAfterAnimationEnds(true);
    view->setAnimate(true);
    view->setAnimate(false);
    EXPECT_EQ(view->stops, 1);
    EXPECT_FALSE(view->isHidden());
}

TEST(ProgressViewBase, ProgressIsStoredAsGivenAndRedrawsOnEveryAssignment)
{
    auto view = BaseView::create<ProbeDeterminate>(QRect(0, 0, 50, 50));
    EXPECT_TRUE(view->animated());
    EXPECT_EQ(view->progress(), 0.0);
    view->setProgress(0.5);
    view->setProgress(0.5);
    EXPECT_EQ(view->progressUpdates, 2);
    view->setProgress(-3.5);
    EXPECT_EQ(view->progress(), -3.5);
    view->setAnimated(false);
    EXPECT_EQ(view->progressUpdates, 3);
}

TEST(ProgressViewBase, BackdropIsPaintedInBackgroundWithRoundedCorners)
{
    auto view = BaseView::create<ProbeIndeterminate>(QRect(0, 0, 40, 40));
    // Every assignment repaints, also of the same value.
    const int before = view->appearanceUpdates;
    view->setForeground(view->foreground());
    view->setCornerRadius(10);
    EXPECT_EQ(view->appearanceUpdates, before + 2);
    QImage image = viewtest::render(*view);
    EXPECT_TRUE(viewtest::near(image.pixelColor(20, 20), Background));
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0); // cut off by the corner

    // Reachable by name, as a screen description sets it.
    EXPECT_TRUE(view->setProperty("background", QColor(Qt::blue)));
    image = viewtest::render(*view);
    EXPECT_TRUE(viewtest::near(image.pixelColor(20, 20), QColor(Qt::blue)));
}
