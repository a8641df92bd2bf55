// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/BaseView.h"

// A progress view that shows endless activity while `animate` is on. Off,
// it hides itself unless displayAfterAnimationEnds is set.
class IndeterminateAnimation : public BaseView
{
    Q_OBJECT
    Q_PROPERTY(
        bool displayAfterAnimationEnds READ displayAfterAnimationEnds WRITE setDisplayAfterAnimationEnds)

public:
    bool displayAfterAnimationEnds() const { return m_displayAfterAnimationEnds; }
    void setDisplayAfterAnimationEnds(bool on) { m_displayAfterAnimationEnds = on; }

    bool animate() const { return m_animate; }
    // Setting the value it already has neither restarts nor stops anything.
    void setAnimate(bool on);

protected:
    using BaseView::BaseView;

    virtual void startAnimation() { }
    virtual void stopAnimation() { }

private:
    bool m_displayAfterAnimationEnds = false;
    bool m_animate = false;
};
