// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Arc.h"

#include <QPainter>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <numbers>

Arc Arc::between(QPointF centre, double radius, double startDegrees, double endDegrees, bool clockwise)
{
    // The turn needed in the chosen direction, within one whole turn.
    double turn = std::fmod(clockwise ? startDegrees - endDegrees : endDegrees - startDegrees, 360.0);
    if (turn < 0)
        turn += 360.0;
    if (turn == 0 && startDegrees != endDegrees)
        turn = 360.0;
    return Arc { centre, radius, startDegrees, clockwise ? -turn : turn };
}

QPointF Arc::pointAt(double fraction) const
{
    const double radians = (startDegrees + sweepDegrees * fraction) * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(radians), radius * std::sin(radians));
}

QPainterPath Arc::path(double from, double to) const
{
    from = std::clamp(from, 0.0, 1.0);
    to = std::clamp(to, 0.0, 1.0);
    QPainterPath result;
    if (!(to > from) || radius <= 0)
        return result;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    // QPainterPath measures angles for y pointing down; mirrored angles
    // give the same arc for y pointing up.
    const double start = startDegrees + sweepDegrees * from;
    const double sweep = sweepDegrees * (to - from);
    result.arcMoveTo(box, -start);
    result.arcTo(box, -start, -sweep);
    return result;
}

void turnAbout(QPainter &painter, QPointF centre, double radians)
{
    painter.translate(centre);
    painter.rotate(radians * 180.0 / std::numbers::pi);
    painter.translate(-centre);
}

void strokeShape(
    QPainter &painter, const QPainterPath &path, const QColor &color, double lineWidth, Qt::PenCapStyle cap)
{
    if (!(lineWidth > 0) || path.isEmpty())
        return;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, lineWidth, Qt::SolidLine, cap));
    painter.drawPath(path);
}
