// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Arc.h"
#include "controls/IndeterminateAnimation.h"

#include <memory>

// An arc that keeps turning while each stroke cycle draws it out to four
// fifths of a circle and erases it from its start; every cycle begins
// where the last one ended.
class MaterialProgress : public IndeterminateAnimation
{
    Q_OBJECT
    Q_PROPERTY(double lineWidth READ lineWidth WRITE setLineWidth)

public:
    static constexpr int StrokeCycleMs = 1500;
    static constexpr int RadianMs = 750; // the whole arc turns one radian per 0.75 s
    static constexpr double StrokeLength = 0.8;

    // -1: worked out at set-up as a tenth of the circle's radius. Set
    // later, the value is used as given.
    double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double width);

    const Arc &circle() const { return m_circle; }
    double arcLineWidth() const { return m_arcLineWidth; }
    QColor arcColor() const { return m_arcColor; }
    // The turn each stroke cycle starts from, in radians.
    double currentRotation() const { return m_currentRotation; }
    platform::Animation *strokeAnimation() const { return m_strokeCycle.get(); }
    platform::Animation *rotationAnimation() const { return m_rotation.get(); }
    // What is drawn now: the stretch of the circle and its turn (radians).
    double shownStrokeStart() const;
    double shownStrokeEnd() const;
    double shownRotation() const;

protected:
    friend class BaseView;
    explicit MaterialProgress(QWidget *parent);

    void setUpLayers() override;
    void updateLayerAppearance() override;
    void startAnimation() override;
    void stopAnimation() override;
    void paintContent(QPainter &painter) override;

    // Runs whenever a stroke cycle ends, finished or removed.
    virtual void strokeCycleEnded(bool finished);
    void setArcColor(const QColor &color);

private:
    double m_lineWidth = -1.0;
    Arc m_circle;
    double m_arcLineWidth = 0;
    QColor m_arcColor = Qt::transparent;
    double m_currentRotation = 0.0;
    QEasingCurve m_strokeEasing;
    std::unique_ptr<platform::Animation> m_strokeCycle;
    std::unique_ptr<platform::Animation> m_rotation;
};
