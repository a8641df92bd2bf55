// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// One country the editor offers: its ISO 3166-1 two-letter code and its
// name in US English.
struct CountryLocale
{
    QString countryCode;
    QString countryName;
};

// Every ISO country code ICU knows, named in US English, sorted by name
// case-insensitively in the user's collation (equal names keep code order).
// A new list on every call.
QList<CountryLocale> countryList();
