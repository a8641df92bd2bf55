// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ProgressBar.h"

#include "platform/Easing.h"
#include "platform/YUpScope.h"

#include <QPainter>

ProgressBar::ProgressBar(QWidget *parent)
    : DeterminateAnimation(parent)
    , m_fillWidth(0.0, [this] { update(); })
{ }

void ProgressBar::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    updateLayerAppearance();
}

QRectF ProgressBar::fillFrame() const
{
    QRectF frame = m_fillFrame;
    frame.setWidth(fillWidth());
    return frame;
}

void ProgressBar::setUpLayers()
{
    updateLayerAppearance();
    m_borderFrame = QRectF(rect());
    // Drawn full until progress is first assigned.
    m_fillFrame = m_borderFrame.adjusted(Inset, Inset, -Inset, -Inset);
    m_fillFrame.setWidth(m_borderFrame.width() - 2 * Inset);
    m_fillWidth.set(m_fillFrame.width());
}

void ProgressBar::updateLayerAppearance()
{
    DeterminateAnimation::updateLayerAppearance();
    setShownCornerRadius(height() * 0.5); // always a capsule
    m_shownBorderColor = m_borderColor;
    m_fillColor = foreground();
}

void ProgressBar::updateProgress()
{
    const double width = (m_borderFrame.width() - 2 * Inset) * progress();
    if (animated())
        m_fillWidth.animate(m_fillWidth.shown(), width, ProgressAnimationMs, platform::Easing::easeOut());
    else
        m_fillWidth.set(width);
}

void ProgressBar::paintContent(QPainter &painter)
{
    platform::YUpScope yUp(painter, height());
    painter.setPen(Qt::NoPen);
    QRectF fill = m_fillFrame;
    fill.setWidth(shownFillWidth());
    if (fill.width() > 0 && fill.height() > 0) {
        const double radius = fill.height() * 0.5;
        painter.setBrush(m_fillColor);
        painter.drawRoundedRect(fill, radius, radius);
    }
    // The border lies inside the frame, over the fill.
    const QRectF border = m_borderFrame.adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = m_borderFrame.height() * 0.5 - 0.5;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(m_shownBorderColor, 1.0));
    painter.drawRoundedRect(border, radius, radius);
}
