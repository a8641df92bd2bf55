// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ShootingStars.h"

#include "platform/Easing.h"
#include "platform/YUpScope.h"

#include <QPainter>

ShootingStars::ShootingStars(QWidget *parent)
    : IndeterminateAnimation(parent)
    , m_slide1(makeAnimation(SlideMs, -1))
    , m_lead2(makeAnimation(LeadMs, 1))
    , m_slide2(makeAnimation(SlideMs, -1))
{
    m_lead2->setStopHandler([this](bool) { leadEnded(); });
}

void ShootingStars::configureSlide(platform::Animation &slide) const
{
    slide.setStartValue(-double(height()));
    slide.setEndValue(0.9 * width());
    slide.setEasingCurve(platform::Easing::easeIn());
}

void ShootingStars::setUpLayers()
{
    BaseView::updateLayerAppearance();
    m_barColor = foreground();
    setShownCornerRadius(0);
    const double h = height();
    m_barSize = QSizeF(1.5 * h, h);
    m_restingCentre1 = QPointF(h * 0.5, h * 0.5);
    m_restingCentre2 = QPointF(QRectF(rect()).center().x(), h * 0.5);

    configureSlide(*m_slide1);
    configureSlide(*m_slide2);
    m_lead2->setStartValue(QRectF(rect()).center().x());
    m_lead2->setEndValue(double(width()));
    m_lead2->setEasingCurve(platform::Easing::easeIn());
}

void ShootingStars::updateLayerAppearance()
{
    IndeterminateAnimation::updateLayerAppearance();
    m_barColor = foreground();
}

void ShootingStars::startAnimation()
{
    m_slide1->start();
    m_lead2->start();
    update();
}

void ShootingStars::stopAnimation()
{
    m_slide1->stop();
    m_lead2->stop();
    m_slide2->stop();
    update();
}

void ShootingStars::leadEnded()
{
    // The lead also ends when stopAnimation() removes it: the second bar
    // then stays where it rests.
    if (animate())
        m_slide2->start();
}

QPointF ShootingStars::shownCentre1() const
{
    QPointF centre = m_restingCentre1;
    if (m_slide1->isRunning())
        centre.setX(m_slide1->currentValue().toDouble());
    return centre;
}

QPointF ShootingStars::shownCentre2() const
{
    QPointF centre = m_restingCentre2;
    if (m_lead2->isRunning())
        centre.setX(m_lead2->currentValue().toDouble());
    else if (m_slide2->isRunning())
        centre.setX(m_slide2->currentValue().toDouble());
    return centre;
}

void ShootingStars::paintContent(QPainter &painter)
{
    platform::YUpScope yUp(painter, height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_barColor);
    for (const QPointF &centre : { shownCentre1(), shownCentre2() }) {
        QRectF bar(QPointF(), m_barSize);
        bar.moveCenter(centre);
        painter.drawRect(bar);
    }
}
