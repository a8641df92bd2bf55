// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>

// A circular arc in the progress views' coordinates (y up, angles in
// degrees, positive counter-clockwise). Shape layers draw a stretch of
// their path between a stroke start and end given as fractions of its
// length; for an arc that is a shorter arc, so no path measuring is needed.
struct Arc
{
    QPointF centre;
    double radius = 0;
    double startDegrees = 0;
    double sweepDegrees = 0; // negative runs clockwise

    // From one angle to another, turning the given way. Angles a whole
    // number of turns apart (but not equal) give a whole circle.
    static Arc between(QPointF centre, double radius, double startDegrees, double endDegrees, bool clockwise);

    QPointF pointAt(double fraction) const;
    // The stretch from `from` to `to` (fractions of the length, clamped to
    // 0...1); empty when nothing is left between them.
    QPainterPath path(double from = 0.0, double to = 1.0) const;
};

class QPainter;

// Turns what the painter draws next about a centre; positive radians turn
// counter-clockwise with y pointing up.
void turnAbout(QPainter &painter, QPointF centre, double radians);

// Strokes a path as a shape layer does: a line width of zero or less, or
// an empty path, draws nothing (a Qt pen of width 0 would draw a hairline).
void strokeShape(QPainter &painter, const QPainterPath &path, const QColor &color, double lineWidth,
    Qt::PenCapStyle cap = Qt::FlatCap);
