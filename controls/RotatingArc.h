// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Arc.h"
#include "controls/IndeterminateAnimation.h"

#include <memory>

// An arc of a set share of a turn spinning over a faint full circle, four
// radians a second.
class RotatingArc : public IndeterminateAnimation
{
    Q_OBJECT
    Q_PROPERTY(double strokeWidth READ strokeWidth WRITE setStrokeWidth)
    Q_PROPERTY(qint64 arcLength READ arcLength WRITE setArcLength)
    Q_PROPERTY(bool clockWise READ clockWise WRITE setClockWise)

public:
    static constexpr int RadianMs = 250; // one radian per quarter second

    double strokeWidth() const { return m_strokeWidth; }
    void setStrokeWidth(double width);
    // Percent of a whole turn.
    qint64 arcLength() const { return m_arcLength; }
    void setArcLength(qint64 percent);
    bool clockWise() const { return m_clockWise; }
    void setClockWise(bool on);

    const Arc &arc() const { return m_arc; }
    const Arc &circle() const { return m_circle; }
    QColor arcColor() const { return m_arcColor; }
    QColor circleColor() const { return m_circleColor; }
    double arcLineWidth() const { return m_arcLineWidth; }
    double circleLineWidth() const { return m_circleLineWidth; }
    // +1 or -1 radian per step: the direction the next start will turn.
    int rotationStep() const { return m_rotationStep; }
    platform::Animation *rotationAnimation() const { return m_rotation.get(); }
    // The arc's turn now, in radians (positive counter-clockwise).
    double shownRotation() const;

protected:
    friend class BaseView;
    explicit RotatingArc(QWidget *parent);

    void setUpLayers() override;
    void updateLayerAppearance() override;
    void startAnimation() override;
    void stopAnimation() override;
    void paintContent(QPainter &painter) override;

private:
    double m_strokeWidth = 5.0;
    qint64 m_arcLength = 35;
    bool m_clockWise = true;
    int m_rotationStep = 1;
    int m_runningStep = 1;

    Arc m_circle;
    Arc m_arc;
    QColor m_circleColor = Qt::transparent;
    QColor m_arcColor = Qt::transparent;
    double m_circleLineWidth = 0;
    double m_arcLineWidth = 0;
    std::unique_ptr<platform::Animation> m_rotation;
};
