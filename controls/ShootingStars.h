// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/IndeterminateAnimation.h"

#include <memory>

// Two bars that shoot across the view from left to right, half a cycle
// apart: the second first slides from the middle to the right edge, then
// runs the same endless slide as the first.
class ShootingStars : public IndeterminateAnimation
{
    Q_OBJECT

public:
    static constexpr int SlideMs = 1000;
    static constexpr int LeadMs = 500;

    QSizeF barSize() const { return m_barSize; }
    QColor barColor() const { return m_barColor; }
    // Centres of the bars now (y up).
    QPointF shownCentre1() const;
    QPointF shownCentre2() const;

    platform::Animation *slide1() const { return m_slide1.get(); }
    platform::Animation *lead2() const { return m_lead2.get(); }
    platform::Animation *slide2() const { return m_slide2.get(); }

protected:
    friend class BaseView;
    explicit ShootingStars(QWidget *parent);

    void setUpLayers() override;
    void updateLayerAppearance() override;
    void startAnimation() override;
    void stopAnimation() override;
    void paintContent(QPainter &painter) override;

private:
    void configureSlide(platform::Animation &slide) const;
    void leadEnded();

    QSizeF m_barSize;
    QPointF m_restingCentre1;
    QPointF m_restingCentre2;
    QColor m_barColor = Qt::transparent;
    std::unique_ptr<platform::Animation> m_slide1;
    std::unique_ptr<platform::Animation> m_lead2;
    std::unique_ptr<platform::Animation> m_slide2;
};
