// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QValidator>

// Validators that let a text field hold nothing but a number while the user
// types: every change is checked as a whole, and a text that is not one
// number (blanks around it allowed) is refused with a beep. An empty field
// is accepted.

// A whole number: optional sign, then decimal digits. Values beyond the
// range of int are still numbers here.
class OnlyIntegerValueFormatter : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
    static bool isPartialStringValid(const QString &text);
};

// A real number: optional sign, digits with an optional decimal point and
// fraction, optional exponent.
class OnlyDoubleValueFormatter : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
    static bool isPartialStringValid(const QString &text);
};
