// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Arc.h"
#include "controls/IndeterminateAnimation.h"

#include <memory>
#include <vector>

// Five dots of falling size that run one behind the other round a circle,
// clockwise from the top, every 1.2 seconds.
class Crawler : public IndeterminateAnimation
{
    Q_OBJECT

public:
    static constexpr int DotCount = 5;
    static constexpr int CycleMs = 1200;
    static constexpr int DotDelayMs = 90;
    // How long one lap takes: the last dot, starting 0.36 s into the cycle,
    // arrives back at the top just as the cycle ends.
    static constexpr int LapMs = CycleMs - (DotCount - 1) * DotDelayMs;

    struct Dot
    {
        double size = 0;
        QPointF restingCentre; // y up
        QColor color;
    };
    const std::vector<Dot> &dots() const { return m_dots; }
    const Arc &track() const { return m_track; }
    // One endless animation per dot, in dot order.
    platform::Animation *dotAnimation(int index) const { return m_cycles.at(index).get(); }
    // Where dot `index` is shown now (y up).
    QPointF shownCentre(int index) const;

protected:
    friend class BaseView;
    explicit Crawler(QWidget *parent);

    void setUpLayers() override;
    void updateLayerAppearance() override;
    void startAnimation() override;
    void stopAnimation() override;
    void paintContent(QPainter &painter) override;

private:
    std::vector<Dot> m_dots;
    std::vector<std::unique_ptr<platform::Animation>> m_cycles;
    Arc m_track;
    QEasingCurve m_lapEasing;
};
