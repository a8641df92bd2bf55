// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

// The pattern in which dates are shown to the user and exported: weekday,
// a blank, the Arabic comma U+060C, a blank, day, month name, year and the
// 12-hour time with seconds and AM/PM.
inline const QString dateDisplayFormat = QStringLiteral(u"EEEE \u060C d MMMM yyyy hh:mm:ss a");

// A date as the user reads it (user's locale, calendar and time zone).
QString displayText(const QDateTime &date);
