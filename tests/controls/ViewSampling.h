// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QWidget>

#include <gtest/gtest.h>

namespace viewtest {

// The progress views' default colours, as 8-bit pixels.
inline const QColor Background(88, 104, 118);
inline const QColor Foreground(66, 173, 106);

// The widget drawn into a transparent image of its size.
QImage render(QWidget &widget);

// The pixel under a point given with y pointing up, as the views' geometry is.
QColor pixelYUp(const QImage &image, QPointF point);

// The colour `over` painted with opacity `alpha` on `under`.
QColor blend(const QColor &over, double alpha, const QColor &under);

// Each channel within tolerance.
testing::AssertionResult near(const QColor &actual, const QColor &expected, int tolerance = 10);

// The point at `degrees` (counter-clockwise from the positive x axis, y up)
// on a circle.
QPointF onCircle(QPointF centre, double radius, double degrees);

} // namespace viewtest
