// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Globals.h"
#include "engine/Countries.h"
#include "engine/Metadata.h"

// How the editing form tells which values several marked files share, and
// how it finds countries by code.

// Two texts are the same when they hold the same characters under Unicode
// canonical equivalence; case and blanks count.
bool sameText(const QString &a, const QString &b);

// Two values of a field agree: both absent, or both present and equal by
// their kind (texts as sameText, numbers by value, a NaN equal to nothing,
// dates to the millisecond).
bool sameValue(const Metadata::Value &a, const Metadata::Value &b);

// Whether every file holds the reference's value of field. A file whose
// metadata has not arrived holds no values; an empty list agrees. Stops at
// the first file that differs.
bool allFilesHaveSameValue(const FileInfoList &files, const Metadata &reference, MetadataField field);

// The entries whose code is exactly code, in list order.
QList<CountryLocale> countryEntriesWithCode(const QList<CountryLocale> &locales, const QString &code);
