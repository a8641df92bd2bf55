// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Easing.h"

#include <QPointF>

namespace platform::Easing {

namespace {
QEasingCurve bezier(QPointF c1, QPointF c2)
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(c1, c2, QPointF(1, 1));
    return curve;
}
} // namespace

QEasingCurve linear()
{
    return QEasingCurve(QEasingCurve::Linear);
}

QEasingCurve easeIn()
{
    return bezier(QPointF(0.42, 0), QPointF(1, 1));
}

QEasingCurve easeOut()
{
    return bezier(QPointF(0, 0), QPointF(0.58, 1));
}

QEasingCurve easeInEaseOut()
{
    return bezier(QPointF(0.42, 0), QPointF(0.58, 1));
}

} // namespace platform::Easing
