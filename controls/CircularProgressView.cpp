// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CircularProgressView.h"

#include "platform/Easing.h"
#include "platform/YUpScope.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

CircularProgressView::CircularProgressView(QWidget *parent)
    : DeterminateAnimation(parent)
    , m_strokeEnd(0.0, [this] { update(); })
{ }

void CircularProgressView::setStrokeWidth(double width)
{
    m_strokeWidth = width;
    updateLayerAppearance();
}

void CircularProgressView::setShowPercent(bool on)
{
    m_showPercent = on;
    updateLayerAppearance();
}

double CircularProgressView::lineWidth() const
{
    return m_strokeWidth == -1.0 ? width() * 0.05 : m_strokeWidth;
}

std::optional<QString> CircularProgressView::percentText(double fraction)
{
    const double percent = fraction * 100.0;
    if (!std::isfinite(percent))
        return std::nullopt;
    // A fraction such as 29/100 lands a hair below 29 when multiplied;
    // rounding to a millionth first keeps it at 29. Huge values need no help.
    const double steadied = std::abs(percent) < 1e12 ? std::round(percent * 1e6) / 1e6 : percent;
    const double whole = std::trunc(steadied);
    return QString::number(whole == 0 ? 0.0 : whole, 'f', 0) + QLatin1Char('%');
}

void CircularProgressView::setUpLayers()
{
    updateLayerAppearance();
    const QRectF bounds(rect());
    const QPointF centre = bounds.center();
    const double radius = bounds.width() * 0.5 * 0.75;

    m_circle = Arc::between(centre, radius, 0, 360, false);
    m_ring = Arc::between(centre, radius, 90, -270, true);
    m_strokeEnd.set(0.0);

    m_labelText = QStringLiteral("0%");
    m_labelFont = QFont();
    m_labelFont.setFamilies(
        { QStringLiteral("Helvetica Neue"), QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans") });
    m_labelFont.setWeight(QFont::Light);
    m_labelFont.setPixelSize(std::max(1, qRound(bounds.width() * 0.2)));
    // The label is as tall as the view and its centre sits an eighth of
    // the way up: its text starts three eighths down from the top.
    m_labelTop = bounds.height() * 0.5 - bounds.height() * 0.5 * 0.25;
}

void CircularProgressView::updateLayerAppearance()
{
    DeterminateAnimation::updateLayerAppearance();
    m_ringWidth = lineWidth();
    m_circleWidth = lineWidth() / 2;
    m_labelHidden = !m_showPercent;
    m_circleColor = foreground();
    m_circleColor.setAlphaF(0.5f);
    m_ringColor = foreground();
    m_labelColor = foreground();
}

void CircularProgressView::updateProgress()
{
    const double value = progress();
    const double end = std::isnan(value) ? 0.0 : std::max(std::min(value, 1.0), 0.0);
    if (animated())
        m_strokeEnd.animate(m_strokeEnd.shown(), end, ProgressAnimationMs, platform::Easing::easeOut());
    else
        m_strokeEnd.set(end);
    if (const auto text = percentText(value))
        m_labelText = *text;
    update();
}

void CircularProgressView::paintContent(QPainter &painter)
{
    {
        platform::YUpScope yUp(painter, height());
        strokeShape(painter, m_circle.path(), m_circleColor, m_circleWidth);
        strokeShape(painter, m_ring.path(0.0, shownStrokeEnd()), m_ringColor, m_ringWidth, Qt::RoundCap);
    }
    if (!m_labelHidden) {
        painter.setFont(m_labelFont);
        painter.setPen(m_labelColor);
        painter.drawText(
            QRectF(0, m_labelTop, width(), height()), Qt::AlignHCenter | Qt::AlignTop, m_labelText);
    }
}
