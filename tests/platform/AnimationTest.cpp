// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Animation.h"
#include "platform/Easing.h"
#include "platform/YUpScope.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using platform::Animation;

TEST(Easing, NamedCurvesMatchTheirBezierControlPoints)
{
    // The values every cubic-bezier implementation gives halfway through.
    EXPECT_NEAR(platform::Easing::easeIn().valueForProgress(0.5), 0.3153, 0.001);
    EXPECT_NEAR(platform::Easing::easeOut().valueForProgress(0.5), 0.6847, 0.001);
    EXPECT_NEAR(platform::Easing::easeInEaseOut().valueForProgress(0.5), 0.5, 0.001);
    EXPECT_NEAR(platform::Easing::easeInEaseOut().valueForProgress(0.25), 0.1291, 0.001);
    for (const QEasingCurve &curve : { platform::Easing::easeIn(), platform::Easing::easeOut(),
             platform::Easing::easeInEaseOut(), platform::Easing::linear() }) {
        EXPECT_NEAR(curve.valueForProgress(0.0), 0.0, 1e-6);
        EXPECT_NEAR(curve.valueForProgress(1.0), 1.0, 1e-6);
    }
}

TEST(Animation, StopHandlerTellsAFinishFromAStop)
{
    Animation animation;
    animation.setStartValue(0.0);
    animation.setEndValue(10.0);
    animation.setDuration(100);
    QList<bool> calls;
    animation.setStopHandler([&](bool finished) { calls.append(finished); });

    animation.start();
    animation.setCurrentTime(40);
    EXPECT_DOUBLE_EQ(animation.currentValue().toDouble(), 4.0);
    animation.stop();
    animation.stop(); // already stopped: no second call
    EXPECT_EQ(calls, QList<bool> { false });

    animation.start();
    animation.setCurrentTime(100);
    EXPECT_FALSE(animation.isRunning());
    EXPECT_EQ(calls, (QList<bool> { false, true }));
}

TEST(Animation, EndlessAnimationOnlyEverStops)
{
    Animation animation;
    animation.setStartValue(0.0);
    animation.setEndValue(1.0);
    animation.setDuration(250);
    animation.setLoopCount(-1);
    QList<bool> calls;
    animation.setStopHandler([&](bool finished) { calls.append(finished); });
    animation.start();
    animation.setCurrentTime(1125);
    EXPECT_TRUE(animation.isRunning());
    EXPECT_DOUBLE_EQ(animation.elapsedLoops(), 4.5);
    animation.stop();
    EXPECT_EQ(calls, QList<bool> { false });
}

TEST(Animation, HandlerMayStartTheAnimationAgain)
{
    Animation animation;
    animation.setStartValue(0);
    animation.setEndValue(100);
    animation.setDuration(100);
    int cycles = 0;
    animation.setStopHandler([&](bool finished) {
        if (finished && ++cycles < 3)
            animation.start();
    });
    animation.start();
    animation.setCurrentTime(100);
    EXPECT_TRUE(animation.isRunning());
    EXPECT_EQ(animation.currentTime(), 0);
    animation.setCurrentTime(100);
    animation.setCurrentTime(100);
    EXPECT_EQ(cycles, 3);
    EXPECT_FALSE(animation.isRunning());
}

TEST(YUpScope, PaintsWithTheOriginAtTheBottomLeftAndRestoresAfterwards)
{
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    {
        platform::YUpScope yUp(painter, image.height());
        painter.fillRect(QRectF(0, 0, 5, 5), Qt::red);
    }
    painter.fillRect(QRectF(0, 0, 5, 5), Qt::blue);
    painter.end();
    EXPECT_EQ(image.pixelColor(2, 17), QColor(Qt::red)); // bottom-left
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::blue)); // top-left
    EXPECT_EQ(image.pixelColor(17, 17), QColor(Qt::white));
}
