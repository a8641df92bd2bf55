// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Crawler.h"

#include "platform/Easing.h"
#include "platform/YUpScope.h"

#include <QPainter>

Crawler::Crawler(QWidget *parent)
    : IndeterminateAnimation(parent)
    , m_lapEasing(platform::Easing::easeOut())
{ }

void Crawler::setUpLayers()
{
    updateLayerAppearance();
    const QRectF bounds(rect());
    const double inset = bounds.width() * 0.15;
    const QRectF inner = bounds.adjusted(inset, inset, -inset, -inset);
    m_track = Arc::between(inner.center(), inner.width() * 0.5, 90, -270, true);
    for (int i = 0; i < DotCount; ++i) {
        Dot dot;
        dot.size = bounds.width() * 0.2 - 2 * i;
        dot.restingCentre = QPointF(bounds.center().x(), bounds.center().y() + inner.height() * 0.5);
        dot.color = foreground();
        m_dots.push_back(dot);

        m_cycles.push_back(makeAnimation(CycleMs, -1));
    }
}

void Crawler::updateLayerAppearance()
{
    IndeterminateAnimation::updateLayerAppearance();
    for (Dot &dot : m_dots)
        dot.color = foreground();
}

void Crawler::startAnimation()
{
    for (const auto &cycle : m_cycles) {
        cycle->stop();
        cycle->start();
    }
    update();
}

void Crawler::stopAnimation()
{
    for (const auto &cycle : m_cycles)
        cycle->stop();
    update();
}

QPointF Crawler::shownCentre(int index) const
{
    const platform::Animation &cycle = *m_cycles.at(index);
    const Dot &dot = m_dots.at(index);
    if (!cycle.isRunning())
        return dot.restingCentre;
    // Outside its lap a dot rests where it was placed.
    const int lapTime = cycle.currentLoopTime() - index * DotDelayMs;
    if (lapTime < 0 || lapTime >= LapMs)
        return dot.restingCentre;
    // Even speed along the circle, eased out over the lap.
    return m_track.pointAt(m_lapEasing.valueForProgress(double(lapTime) / LapMs));
}

void Crawler::paintContent(QPainter &painter)
{
    platform::YUpScope yUp(painter, height());
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < int(m_dots.size()); ++i) {
        const Dot &dot = m_dots[i];
        if (dot.size <= 0)
            continue;
        painter.setBrush(dot.color);
        painter.drawEllipse(shownCentre(i), dot.size / 2, dot.size / 2);
    }
}
