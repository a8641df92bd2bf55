// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

using namespace platform;

TEST(WindowTest, AFixedSizeIsUndoneWithTheFormerLimits)
{
    QWidget window;
    window.setMinimumSize(300, 200);
    window.resize(640, 480);
    QWidget child(&window);
    EXPECT_TRUE(Window::isResizable(&child));

    Window::setResizable(&child, false);
    EXPECT_FALSE(Window::isResizable(&window));
    EXPECT_EQ(window.minimumSize(), QSize(640, 480));
    EXPECT_EQ(window.maximumSize(), QSize(640, 480));
    window.resize(800, 600);
    Window::setResizable(&window, false);

    Window::setResizable(&window, true);
    EXPECT_TRUE(Window::isResizable(&window));
    EXPECT_EQ(window.minimumSize(), QSize(300, 200)) << "the limits from before the first fix";
    EXPECT_EQ(window.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    Window::setResizable(&window, true);
    EXPECT_EQ(window.minimumSize(), QSize(300, 200));
}

TEST(WindowTest, AMinimumFromTheLayoutFollowsTheLayoutAgainAfterAFixedSize)
{
    QWidget window;
    auto *layout = new QHBoxLayout(&window);
    auto *label = new QLabel(QStringLiteral("0 / 0"));
    layout->addWidget(label);
    window.resize(640, 480);
    layout->activate();
    const QSize before = window.minimumSize();

    Window::setResizable(&window, false);
    label->setText(QStringLiteral("Photos selected: 65 / 65, a count much wider than before"));
    Window::setResizable(&window, true);
    EXPECT_EQ(window.minimumSize(), layout->totalMinimumSize());
    EXPECT_GT(window.minimumWidth(), before.width()) << "the longer text is not cut at the least size";
    label->setText(QStringLiteral("1"));
    layout->activate();
    EXPECT_LT(window.minimumWidth(), before.width()) << "and the minimum keeps following the layout";
}
