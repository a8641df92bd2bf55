// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Countries.h"
#include "engine/Metadata.h"

// How the editing form compares values, and how it finds countries by code.

// Two texts are the same when they hold the same characters under Unicode
// canonical equivalence; case and blanks count.
bool sameText(const QString &a, const QString &b);

// Two values of a field agree: both absent, or both present and equal by
// their kind (texts as sameText, numbers by value, a NaN equal to nothing,
// dates to the millisecond).
bool sameValue(const Metadata::Value &a, const Metadata::Value &b);

// The entries whose code is exactly code, in list order.
QList<CountryLocale> countryEntriesWithCode(const QList<CountryLocale> &locales, const QString &code);
