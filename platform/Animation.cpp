// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Animation.h"

namespace platform {

Animation::Animation(QObject *parent)
    : QVariantAnimation(parent)
{ }

double Animation::elapsedLoops() const
{
    const int length = duration();
    if (length <= 0)
        return 0.0;
    return currentLoop() + easingCurve().valueForProgress(double(currentLoopTime()) / length);
}

void Animation::updateState(State newState, State oldState)
{
    QVariantAnimation::updateState(newState, oldState);
    if (newState != Stopped || oldState == Stopped || !m_stopHandler)
        return;
    const bool reachedEnd = loopCount() >= 0 && direction() == Forward && currentTime() == totalDuration();
    // A copy: the handler may replace itself.
    const StopHandler handler = m_stopHandler;
    handler(reachedEnd);
}

} // namespace platform
