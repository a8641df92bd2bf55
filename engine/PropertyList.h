// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// Typed reads of one entry of a dictionary of property-list values (text,
// integer, real, Boolean, date, dictionary in a QVariant). An entry of
// another kind reads as absent; nothing is converted between kinds, except
// that the three number kinds (integer, real, Boolean) read as one another.
namespace plist {

bool isNumber(const QVariant &entry);

std::optional<QString> text(const QVariant &entry);
// A real is cut toward zero; one no 64-bit integer holds (infinite, NaN,
// too large) reads as absent.
std::optional<qint64> integer(const QVariant &entry);
// Infinite and NaN read as absent: they stand for no measured value.
std::optional<double> real(const QVariant &entry);
// Any number other than zero is true.
std::optional<bool> boolean(const QVariant &entry);
std::optional<QDateTime> date(const QVariant &entry);
std::optional<QVariantMap> dictionary(const QVariant &entry);

} // namespace plist
