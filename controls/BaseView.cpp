// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/BaseView.h"

#include <QPainter>
#include <QPainterPath>

BaseView::BaseView(QWidget *parent)
    : QWidget(parent)
    , m_background(QColor::fromRgbF(0.344921875f, 0.4078125f, 0.462890625f, 1.0f))
    , m_foreground(QColor::fromRgbF(0.258984375f, 0.678515625f, 0.415625f, 1.0f))
{ }

void BaseView::setBackground(const QColor &color)
{
    m_background = color;
    updateLayerAppearance();
}

void BaseView::setForeground(const QColor &color)
{
    m_foreground = color;
    updateLayerAppearance();
}

void BaseView::setCornerRadius(double radius)
{
    m_cornerRadius = radius;
    updateLayerAppearance();
}

void BaseView::setUpLayers()
{
    updateLayerAppearance();
}

void BaseView::updateLayerAppearance()
{
    m_layerBackground = m_background;
    m_layerCornerRadius = m_cornerRadius;
    update();
}

void BaseView::setShownCornerRadius(double radius)
{
    m_layerCornerRadius = radius;
    update();
}

std::unique_ptr<platform::Animation> BaseView::makeAnimation(int durationMs, int loopCount)
{
    auto animation = std::make_unique<platform::Animation>();
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setDuration(durationMs);
    animation->setLoopCount(loopCount);
    connect(animation.get(), &QVariantAnimation::valueChanged, this, [this] { update(); });
    return animation;
}

void BaseView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_layerBackground.alpha() > 0) {
        QPainterPath backdrop;
        const double radius = std::max(0.0, m_layerCornerRadius);
        backdrop.addRoundedRect(QRectF(rect()), radius, radius);
        painter.fillPath(backdrop, m_layerBackground);
    }
    paintContent(painter);
}
