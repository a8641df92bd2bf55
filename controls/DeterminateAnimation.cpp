#include "controls/DeterminateAnimation.h"

void DeterminateAnimation::setProgress(double value)
{
    m_progress = value;
    updateProgress();
}
