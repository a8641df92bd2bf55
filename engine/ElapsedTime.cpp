// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ElapsedTime.h"

#include <cmath>

QString timeString(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    const int hours = int(std::fmod(seconds / 3600, 3600));
    const int minutes = int(std::fmod(seconds / 60, 60));
    const int secs = int(std::fmod(seconds, 60));
    const QChar zero(u'0');
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, zero)
        .arg(minutes, 2, 10, zero)
        .arg(secs, 2, 10, zero);
}
