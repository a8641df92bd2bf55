// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Window.h"

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
