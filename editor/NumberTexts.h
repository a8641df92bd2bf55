// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// How the editor's text fields read and show numbers. Texts are read and
// written with a "." whatever the user's locale, as the form's numeric
// fields filter them.

// The whole number the text starts with (blanks, an optional sign, digits),
// 0 when it starts with none; saturated at the limits of qint64.
qint64 leadingInteger(const QString &text);
// The real number the text starts with; 0 when none, or when it is too
// large to hold.
double leadingReal(const QString &text);
// The real number the whole text is: no blank before or after, nothing
// else. Absent for any other text.
std::optional<double> wholeReal(const QString &text);
// The shortest text that reads back as the same number, always with a
// decimal point or an exponent: 0 is "0.0", 48.85 is "48.85".
QString shortestText(double value);
