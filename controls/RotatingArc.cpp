// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/RotatingArc.h"

#include "platform/YUpScope.h"

#include <QPainter>

RotatingArc::RotatingArc(QWidget *parent)
    : IndeterminateAnimation(parent)
    , m_rotation(makeAnimation(RadianMs, -1))
{ }

void RotatingArc::setStrokeWidth(double width)
{
    m_strokeWidth = width;
    updateLayerAppearance();
}

void RotatingArc::setArcLength(qint64 percent)
{
    m_arcLength = percent;
    updateLayerAppearance();
}

void RotatingArc::setClockWise(bool on)
{
    m_clockWise = on;
    updateLayerAppearance();
}

void RotatingArc::setUpLayers()
{
    updateLayerAppearance();
    const QRectF bounds(rect());
    m_circle = Arc::between(bounds.center(), width() * 0.5 * 0.75, 0, 360, false);
    m_circleLineWidth = m_strokeWidth;
    // Fainter after any later appearance update (0.4).
    m_circleColor = foreground();
    m_circleColor.setAlphaF(0.5f);
    m_arcColor = foreground();
    m_arcLineWidth = m_strokeWidth;
}

void RotatingArc::updateLayerAppearance()
{
    IndeterminateAnimation::updateLayerAppearance();
    m_arcColor = foreground();
    m_circleColor = foreground();
    m_circleColor.setAlphaF(0.4f);
    m_circleLineWidth = m_strokeWidth;
    m_arcLineWidth = m_strokeWidth;
    m_rotationStep = m_clockWise ? -1 : 1;
    const double end = double(m_arcLength) * -360.0 / 100.0;
    m_arc = Arc::between(QRectF(rect()).center(), width() * 0.5 * 0.75, 0, end, true);
}

void RotatingArc::startAnimation()
{
    // A running rotation keeps the direction it started with.
    m_runningStep = m_rotationStep;
    m_rotation->stop();
    m_rotation->start();
    update();
}

void RotatingArc::stopAnimation()
{
    m_rotation->stop();
    update();
}

double RotatingArc::shownRotation() const
{
    return m_rotation->isRunning() ? m_runningStep * m_rotation->elapsedLoops() : 0.0;
}

void RotatingArc::paintContent(QPainter &painter)
{
    platform::YUpScope yUp(painter, height());
    strokeShape(painter, m_circle.path(), m_circleColor, m_circleLineWidth);
    turnAbout(painter, QRectF(rect()).center(), shownRotation());
    strokeShape(painter, m_arc.path(), m_arcColor, m_arcLineWidth);
}
