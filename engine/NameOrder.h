// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// How names are ordered and matched in the lists the user sorts by name
// (photos, presets): letter case ignored, canonically equivalent texts
// equal, compared by Unicode code points.

// The text that stands for name in comparisons: lower case, composed.
QString nameOrderKey(const QString &name);

// Compares two texts by Unicode code points (not UTF-16 units): negative,
// zero or positive.
int compareByCodePoints(const QString &a, const QString &b);
