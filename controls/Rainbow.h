// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/MaterialProgress.h"

#include <QList>

// A MaterialProgress that paints each new stroke cycle in a colour picked
// at random from a pale list (for dark backgrounds) or a strong one.
class Rainbow : public MaterialProgress
{
    Q_OBJECT
    Q_PROPERTY(bool onLightOffDark READ onLightOffDark WRITE setOnLightOffDark)

public:
    bool onLightOffDark() const { return m_onLightOffDark; }
    // Takes effect at the next colour change.
    void setOnLightOffDark(bool on) { m_onLightOffDark = on; }

    static const QList<QColor> &paleColors();
    static const QList<QColor> &strongColors();

protected:
    friend class BaseView;
    explicit Rainbow(QWidget *parent);

    void setUpLayers() override;
    void strokeCycleEnded(bool finished) override;

private:
    bool m_onLightOffDark = false;
};
