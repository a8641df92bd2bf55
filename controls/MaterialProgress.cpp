// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/MaterialProgress.h"

#include "platform/Easing.h"
#include "platform/YUpScope.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace {
constexpr double FullTurn = 2 * std::numbers::pi;
// Both the drawing and the erasing run at double speed: half the cycle each.
constexpr int StrokeHalfMs = MaterialProgress::StrokeCycleMs / 2;
} // namespace

MaterialProgress::MaterialProgress(QWidget *parent)
    : IndeterminateAnimation(parent)
    , m_strokeEasing(platform::Easing::easeInEaseOut())
    , m_strokeCycle(makeAnimation(StrokeCycleMs, 1))
    , m_rotation(makeAnimation(RadianMs, -1))
{ }

void MaterialProgress::setLineWidth(double width)
{
    m_lineWidth = width;
    m_arcLineWidth = width;
    update();
}

void MaterialProgress::setUpLayers()
{
    BaseView::updateLayerAppearance();
    m_arcColor = foreground();
    m_strokeCycle->setStopHandler([this](bool finished) { strokeCycleEnded(finished); });
    const double radius = width() * 0.5 * 0.75;
    m_arcLineWidth = m_lineWidth == -1.0 ? radius / 10 : m_lineWidth;
    m_circle = Arc::between(QRectF(rect()).center(), radius, 0, 360, false);
}

void MaterialProgress::updateLayerAppearance()
{
    IndeterminateAnimation::updateLayerAppearance();
    m_arcColor = foreground();
}

void MaterialProgress::setArcColor(const QColor &color)
{
    m_arcColor = color;
    update();
}

void MaterialProgress::startAnimation()
{
    m_strokeCycle->start();
    m_rotation->start();
    update();
}

void MaterialProgress::stopAnimation()
{
    m_rotation->stop();
    m_strokeCycle->stop();
    update();
}

void MaterialProgress::strokeCycleEnded(bool)
{
    if (!animate())
        return;
    // The next cycle starts where this one's arc ended.
    m_currentRotation = std::fmod(m_currentRotation + StrokeLength * FullTurn, FullTurn);
    m_strokeCycle->start();
    update();
}

double MaterialProgress::shownStrokeStart() const
{
    if (!m_strokeCycle->isRunning())
        return 0.0;
    const int t = m_strokeCycle->currentLoopTime();
    return t < StrokeHalfMs
        ? 0.0
        : StrokeLength * m_strokeEasing.valueForProgress(double(t - StrokeHalfMs) / StrokeHalfMs);
}

double MaterialProgress::shownStrokeEnd() const
{
    if (!m_strokeCycle->isRunning())
        return StrokeLength;
    const int t = m_strokeCycle->currentLoopTime();
    return t < StrokeHalfMs ? StrokeLength * m_strokeEasing.valueForProgress(double(t) / StrokeHalfMs)
                            : StrokeLength;
}

double MaterialProgress::shownRotation() const
{
    const double turning = m_rotation->isRunning() ? m_rotation->elapsedLoops() : 0.0;
    return turning + m_currentRotation;
}

void MaterialProgress::paintContent(QPainter &painter)
{
    platform::YUpScope yUp(painter, height());
    turnAbout(painter, QRectF(rect()).center(), shownRotation());
    strokeShape(painter, m_circle.path(shownStrokeStart(), shownStrokeEnd()), m_arcColor, m_arcLineWidth,
        Qt::RoundCap);
}
