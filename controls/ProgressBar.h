// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/AnimatedValue.h"
#include "controls/DeterminateAnimation.h"

// A capsule in a thin border that fills from the left. progress is not
// clamped: above 1 the fill runs past the border, below 0 nothing shows.
class ProgressBar : public DeterminateAnimation
{
    Q_OBJECT
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)

public:
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);

    // The border's and the fill's rectangles, y up; the fill's width as
    // set and as shown now.
    QRectF borderFrame() const { return m_borderFrame; }
    QRectF fillFrame() const;
    double fillWidth() const { return m_fillWidth.value().toDouble(); }
    double shownFillWidth() const { return m_fillWidth.shown().toDouble(); }
    platform::Animation *fillAnimation() const { return m_fillWidth.animation(); }

protected:
    friend class BaseView;
    explicit ProgressBar(QWidget *parent);

    void setUpLayers() override;
    void updateLayerAppearance() override;
    void updateProgress() override;
    void paintContent(QPainter &painter) override;

private:
    static constexpr double Inset = 3.0;

    QColor m_borderColor = Qt::black;
    QRectF m_borderFrame;
    QColor m_shownBorderColor = Qt::transparent;
    QRectF m_fillFrame; // width comes from m_fillWidth
    QColor m_fillColor = Qt::transparent;
    AnimatedValue m_fillWidth;
};
