// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/IndeterminateAnimation.h"

void IndeterminateAnimation::setAnimate(bool on)
{
    const bool was = m_animate;
    m_animate = on;
    if (on == was)
        return;
    if (on) {
        setHidden(false);
        startAnimation();
    } else {
        if (!m_displayAfterAnimationEnds)
            setHidden(true);
        stopAnimation();
    }
}
