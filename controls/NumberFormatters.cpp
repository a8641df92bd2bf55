// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/NumberFormatters.h"

#include "platform/widgets/Beep.h"

namespace {

qsizetype skipBlanks(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at].isSpace())
        ++at;
    return at;
}

qsizetype skipSign(QStringView text, qsizetype at)
{
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        ++at;
    return at;
}

qsizetype skipDigits(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9')
        ++at;
    return at;
}

// The end of a whole number starting at `at`, or -1 when none starts there.
qsizetype scanInteger(QStringView text, qsizetype at)
{
    const qsizetype digits = skipSign(text, at);
    const qsizetype end = skipDigits(text, digits);
    return end > digits ? end : -1;
}

// The end of a real number starting at `at`, or -1 when none starts there.
qsizetype scanReal(QStringView text, qsizetype at)
{
    const qsizetype mantissa = skipSign(text, at);
    qsizetype end = skipDigits(text, mantissa);
    bool anyDigit = end > mantissa;
    if (end < text.size() && text[end] == u'.') {
        const qsizetype fraction = end + 1;
        end = skipDigits(text, fraction);
        anyDigit = anyDigit || end > fraction;
    }
    if (!anyDigit)
        return -1;
    // An exponent counts only when digits follow; otherwise the number ends
    // before the letter.
    if (end < text.size() && (text[end] == u'e' || text[end] == u'E')) {
        const qsizetype exponent = skipSign(text, end + 1);
        const qsizetype exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent)
            end = exponentEnd;
    }
    return end;
}

bool isOneNumber(const QString &text, qsizetype (*scan)(QStringView, qsizetype))
{
    if (text.isEmpty())
        return true;
    const qsizetype end = scan(text, skipBlanks(text, 0));
    return end >= 0 && skipBlanks(text, end) == text.size();
}

QValidator::State verdict(bool accepted)
{
    if (accepted)
        return QValidator::Acceptable;
    platform::beep();
    return QValidator::Invalid;
}

} // namespace

bool OnlyIntegerValueFormatter::isPartialStringValid(const QString &text)
{
    return isOneNumber(text, scanInteger);
}

QValidator::State OnlyIntegerValueFormatter::validate(QString &input, int &) const
{
    return verdict(isPartialStringValid(input));
}

bool OnlyDoubleValueFormatter::isPartialStringValid(const QString &text)
{
    return isOneNumber(text, scanReal);
}

QValidator::State OnlyDoubleValueFormatter::validate(QString &input, int &) const
{
    return verdict(isPartialStringValid(input));
}
