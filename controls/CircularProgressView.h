// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/AnimatedValue.h"
#include "controls/Arc.h"
#include "controls/DeterminateAnimation.h"

#include <QFont>

#include <optional>

// A ring that fills clockwise from the top over a faint full circle, with
// the percentage written in the middle.
class CircularProgressView : public DeterminateAnimation
{
    Q_OBJECT
    Q_PROPERTY(double strokeWidth READ strokeWidth WRITE setStrokeWidth)
    Q_PROPERTY(bool showPercent READ showPercent WRITE setShowPercent)

public:
    // -1: a twentieth of the view's width.
    double strokeWidth() const { return m_strokeWidth; }
    void setStrokeWidth(double width);
    bool showPercent() const { return m_showPercent; }
    void setShowPercent(bool on);

    // The whole percent of a fraction, rounded down ("29%" for 0.29, "-30%"
    // for -0.3); none for NaN and infinities.
    static std::optional<QString> percentText(double fraction);

    double ringWidth() const { return m_ringWidth; }
    double circleWidth() const { return m_circleWidth; }
    double strokeEnd() const { return m_strokeEnd.value().toDouble(); }
    double shownStrokeEnd() const { return m_strokeEnd.shown().toDouble(); }
    platform::Animation *strokeAnimation() const { return m_strokeEnd.animation(); }
    QString labelText() const { return m_labelText; }
    bool isLabelShown() const { return !m_labelHidden; }
    const Arc &ring() const { return m_ring; }

protected:
    friend class BaseView;
    explicit CircularProgressView(QWidget *parent);

    void setUpLayers() override;
    void updateLayerAppearance() override;
    void updateProgress() override;
    void paintContent(QPainter &painter) override;

private:
    double lineWidth() const;

    double m_strokeWidth = -1.0;
    bool m_showPercent = true;

    Arc m_circle;
    Arc m_ring;
    double m_ringWidth = 0;
    double m_circleWidth = 0;
    QColor m_ringColor = Qt::transparent;
    QColor m_circleColor = Qt::transparent;
    AnimatedValue m_strokeEnd;

    QString m_labelText;
    QColor m_labelColor = Qt::transparent;
    bool m_labelHidden = false;
    QFont m_labelFont;
    double m_labelTop = 0; // y down from the view's top edge
};
