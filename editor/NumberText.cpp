// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/NumberText.h"

#include <QLocale>

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

// Digits with at most one point, then an optional exponent.
const QString RealPattern = QStringLiteral("[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?");

} // namespace

qint64 leadingInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    qint64 magnitude = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        const int digit = text[i].unicode() - '0';
        if (magnitude > (max - digit) / 10)
            return negative ? std::numeric_limits<qint64>::min() : max;
        magnitude = magnitude * 10 + digit;
    }
    return negative ? -magnitude : magnitude;
}

double leadingReal(QStringView text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(") + RealPattern + QLatin1Char(')'));
    const QRegularExpressionMatch match = number.match(text.toString());
    if (!match.hasMatch())
        return 0;
    const double value = QLocale::c().toDouble(match.capturedView(1));
    return std::isfinite(value) ? value : 0;
}

std::optional<qint64> wholeNumber(QStringView text)
{
    qsizetype i = 0;
    if (!text.isEmpty() && (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')))
        i = 1;
    if (i == text.size())
        return std::nullopt;
    for (qsizetype j = i; j < text.size(); ++j) {
        if (!isAsciiDigit(text[j]))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

bool isFloatingPointNumber(QStringView text)
{
    static const QRegularExpression number(QLatin1Char('^') + RealPattern + QLatin1Char('$'));
    return number.match(text.toString()).hasMatch();
}

std::optional<double> wholeReal(QStringView text)
{
    if (!isFloatingPointNumber(text))
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString integerOnly(QStringView text)
{
    QString result;
    if (text.startsWith(QLatin1Char('-')))
        result += QLatin1Char('-');
    for (const QChar c : text) {
        if (isAsciiDigit(c))
            result += c;
    }
    return result;
}

QString decimalOnly(QStringView text)
{
    QString result;
    if (text.startsWith(QLatin1Char('-')))
        result += QLatin1Char('-');
    bool point = false;
    for (const QChar c : text) {
        if (isAsciiDigit(c)) {
            result += c;
        } else if (c == QLatin1Char('.') && !point) {
            result += c;
            point = true;
        }
    }
    return result;
}

QString trimmedBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

QString numberText(qint64 value)
{
    return QString::number(value);
}

QString numberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString shortestText(double value)
{
    QString text = numberText(value);
    if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e'))
        && !text.contains(QLatin1String("inf")) && !text.contains(QLatin1String("nan")))
        text += QLatin1String(".0");
    return text;
}
