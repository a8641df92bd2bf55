// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/IndeterminateAnimation.h"

#include <memory>
#include <vector>

// A ring of bars fading from the leading one; the ring jumps round one
// bar at a time.
class Spinner : public IndeterminateAnimation
{
    Q_OBJECT
    Q_PROPERTY(QSizeF starSize READ starSize WRITE setStarSize)
    Q_PROPERTY(bool roundedCorners READ roundedCorners WRITE setRoundedCorners)
    Q_PROPERTY(double distance READ distance WRITE setDistance)
    Q_PROPERTY(qint64 starCount READ starCount WRITE setStarCount)
    Q_PROPERTY(double duration READ duration WRITE setDuration)
    Q_PROPERTY(bool clockwise READ clockwise WRITE setClockwise)

public:
    static constexpr qint64 MinStarCount = 1;
    static constexpr qint64 MaxStarCount = 360;

    QSizeF starSize() const { return m_starSize; }
    void setStarSize(const QSizeF &size);
    bool roundedCorners() const { return m_roundedCorners; }
    void setRoundedCorners(bool on);
    double distance() const { return m_distance; }
    void setDistance(double distance);
    // Kept within 1...360: the bars stand 360 / count whole degrees apart.
    qint64 starCount() const { return m_starCount; }
    void setStarCount(qint64 count);
    // Seconds for one round.
    double duration() const { return m_duration; }
    void setDuration(double seconds);
    bool clockwise() const { return m_clockwise; }
    void setClockwise(bool on);

    struct Bar
    {
        double angle = 0; // radians; the ring turns to it in its turn
        double opacity = 1;
        QRectF frame; // y up, before turning
        double cornerRadius = 0;
        QColor color;
    };
    const std::vector<Bar> &bars() const { return m_bars; }
    platform::Animation *rotationAnimation() const { return m_rotation.get(); }
    // The ring's turn now (radians, positive counter-clockwise).
    double shownRotation() const;

protected:
    friend class BaseView;
    explicit Spinner(QWidget *parent);

    void setUpLayers() override;
    void updateLayerAppearance() override;
    void startAnimation() override;
    void stopAnimation() override;
    void paintContent(QPainter &painter) override;

private:
    QSizeF m_starSize { 6, 15 };
    bool m_roundedCorners = true;
    double m_distance = 20.0;
    qint64 m_starCount = 10;
    double m_duration = 1.0;
    bool m_clockwise = false;

    std::vector<Bar> m_bars;
    std::unique_ptr<platform::Animation> m_rotation;
};
