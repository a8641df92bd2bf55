// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/NumberTexts.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>

qint64 leadingInteger(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?)([0-9]+)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    const bool negative = match.capturedView(1) == QLatin1String("-");
    bool ok = false;
    const qint64 magnitude = match.capturedView(2).toLongLong(&ok);
    if (!ok)
        return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    return negative ? -magnitude : magnitude;
}

double leadingReal(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    const double value = QLocale::c().toDouble(match.captured(0).trimmed());
    return std::isfinite(value) ? value : 0;
}

std::optional<double> wholeReal(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString shortestText(double value)
{
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e'))
        && !text.contains(QLatin1String("inf")) && !text.contains(QLatin1String("nan")))
        text += QLatin1String(".0");
    return text;
}
