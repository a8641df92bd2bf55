// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEasingCurve>

namespace platform {

// The named timing functions of the layer animations, as cubic Bézier
// curves from (0,0) to (1,1) with the usual control points.
namespace Easing {

QEasingCurve linear();
QEasingCurve easeIn(); // 0.42,0  1,1
QEasingCurve easeOut(); // 0,0     0.58,1
QEasingCurve easeInEaseOut(); // 0.42,0  0.58,1

} // namespace Easing
} // namespace platform
