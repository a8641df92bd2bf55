// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/DeterminateAnimation.h"

void DeterminateAnimation::setProgress(double value)
{
    m_progress = value;
    updateProgress();
}
