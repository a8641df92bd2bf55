// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// How the editing form reads and writes the numbers of its text fields.
// Everything here uses "." as the decimal mark, whatever the user's locale.

// The leading whole number of text: blanks skipped, an optional sign, then
// decimal digits up to the first other character; 0 when the text does not
// start with a number. Values beyond 64 bits stop at the nearest limit.
qint64 leadingInteger(QStringView text);
// The leading real number of text in the same manner (digits, a point and
// an exponent); 0 when the text does not start with a number or the number
// is too large to hold.
double leadingReal(QStringView text);

// The value of a text that is a whole number and nothing else: an optional
// sign and at least one digit, fitting 64 bits.
std::optional<qint64> wholeNumber(QStringView text);
// Whether the whole text is one real number: an optional sign, digits with
// at most one point, an optional exponent, and nothing else.
bool isFloatingPointNumber(QStringView text);
// The value of such a text; absent for any other text, and for a number too
// large to hold.
std::optional<double> wholeReal(QStringView text);

// Typed-text filters: keep a leading "-" and the digits (integerOnly), or
// the digits and the first "." (decimalOnly); drop everything else.
QString integerOnly(QStringView text);
QString decimalOnly(QStringView text);

// The text without the blanks (spaces and tabs) at either end.
QString trimmedBlanks(QStringView text);

// A number as a text field shows it: whole numbers plainly, real numbers
// in the shortest form that reads back as the same number.
QString numberText(qint64 value);
QString numberText(double value);
// The shortest text that reads back as the same number, always with a
// decimal point or an exponent: 0 is "0.0", 48.85 is "48.85".
QString shortestText(double value);
