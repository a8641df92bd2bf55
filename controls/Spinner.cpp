// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Spinner.h"

#include "controls/Arc.h"

#include "platform/YUpScope.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {
int durationMs(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        return 1;
    return int(std::min(seconds * 1000.0, double(std::numeric_limits<int>::max())));
}
} // namespace

Spinner::Spinner(QWidget *parent)
    : IndeterminateAnimation(parent)
    , m_rotation(makeAnimation(durationMs(m_duration), -1))
{ }

void Spinner::setStarSize(const QSizeF &size)
{
    m_starSize = size;
    updateLayerAppearance();
}

void Spinner::setRoundedCorners(bool on)
{
    m_roundedCorners = on;
    updateLayerAppearance();
}

void Spinner::setDistance(double distance)
{
    m_distance = distance;
    updateLayerAppearance();
}

void Spinner::setStarCount(qint64 count)
{
    m_starCount = std::clamp(count, MinStarCount, MaxStarCount);
    updateLayerAppearance();
}

void Spinner::setDuration(double seconds)
{
    m_duration = seconds;
    m_rotation->setDuration(durationMs(seconds));
}

void Spinner::setClockwise(bool on)
{
    m_clockwise = on;
    updateLayerAppearance();
}

void Spinner::setUpLayers()
{
    updateLayerAppearance();
    m_rotation->setDuration(durationMs(m_duration));
}

void Spinner::updateLayerAppearance()
{
    IndeterminateAnimation::updateLayerAppearance();
    m_bars.clear();
    const double side = width(); // the width serves for both coordinates
    const int step = int(360 / m_starCount);
    for (int degrees = 0; degrees < 360; degrees += step) {
        Bar bar;
        bar.angle = degrees * std::numbers::pi / 180.0;
        if (m_clockwise)
            bar.angle = -bar.angle;
        bar.cornerRadius = m_roundedCorners ? m_starSize.width() * 0.5 : 0.0;
        // Standing on the ring's centre, lifted by distance, before turning.
        bar.frame = QRectF(side * 0.5 - m_starSize.width() * 0.5, side * 0.5 + m_distance, m_starSize.width(),
            m_starSize.height());
        bar.opacity = (360.0 - degrees) / 360.0;
        bar.color = foreground();
        m_bars.push_back(bar);
    }
}

void Spinner::startAnimation()
{
    m_rotation->stop();
    m_rotation->start();
    update();
}

void Spinner::stopAnimation()
{
    m_rotation->stop();
    update();
}

double Spinner::shownRotation() const
{
    if (!m_rotation->isRunning() || m_bars.empty())
        return 0.0;
    // Each bar's angle is held for an equal share of the round.
    const qint64 count = qint64(m_bars.size());
    const qint64 index
        = std::min(count - 1, qint64(m_rotation->currentLoopTime()) * count / m_rotation->duration());
    return m_bars[size_t(index)].angle;
}

void Spinner::paintContent(QPainter &painter)
{
    platform::YUpScope yUp(painter, height());
    turnAbout(painter, QRectF(rect()).center(), shownRotation());
    painter.setPen(Qt::NoPen);
    const double side = width();
    const QPointF pivot(side * 0.5, side * 0.5);
    for (const Bar &bar : m_bars) {
        painter.save();
        painter.setOpacity(bar.opacity);
        painter.setBrush(bar.color);
        // Each bar turns about the ring's centre by the opposite of its angle.
        turnAbout(painter, pivot, -bar.angle);
        painter.drawRoundedRect(bar.frame, bar.cornerRadius, bar.cornerRadius);
        painter.restore();
    }
}
