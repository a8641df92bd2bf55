// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/FieldComparison.h"

bool sameText(const QString &a, const QString &b)
{
    return a == b || a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
}

bool sameValue(const Metadata::Value &a, const Metadata::Value &b)
{
    if (a.index() != b.index())
        return false;
    if (const auto *text = std::get_if<QString>(&a))
        return sameText(*text, std::get<QString>(b));
    if (const auto *number = std::get_if<qint64>(&a))
        return *number == std::get<qint64>(b);
    if (const auto *real = std::get_if<double>(&a))
        return *real == std::get<double>(b);
    if (const auto *date = std::get_if<QDateTime>(&a))
        return *date == std::get<QDateTime>(b);
    return true; // both absent
}

QList<CountryLocale> countryEntriesWithCode(const QList<CountryLocale> &locales, const QString &code)
{
    QList<CountryLocale> found;
    for (const CountryLocale &entry : locales) {
        if (entry.countryCode == code)
            found << entry;
    }
    return found;
}
