// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// "hh:mm:ss" of an elapsed time; the hours do not wrap at a day (90000
// seconds is "25:00:00"). Fractions are cut; a negative or non-finite time
// counts as zero.
QString timeString(double seconds);
