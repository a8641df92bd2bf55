// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PropertyList.h"

#include <cmath>
#include <limits>

namespace plist {

bool isNumber(const QVariant &entry)
{
    switch (entry.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

static bool isFloating(const QVariant &entry)
{
    return entry.typeId() == QMetaType::Double || entry.typeId() == QMetaType::Float;
}

std::optional<QString> text(const QVariant &entry)
{
    if (entry.typeId() != QMetaType::QString)
        return std::nullopt;
    return entry.toString();
}

std::optional<qint64> integer(const QVariant &entry)
{
    if (!isNumber(entry))
        return std::nullopt;
    if (!isFloating(entry)) {
        if (entry.typeId() == QMetaType::ULongLong
            && entry.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return entry.toLongLong();
    }
    const double value = std::trunc(entry.toDouble());
    // 2^63 is the first double past the range; -2^63 itself fits.
    if (!std::isfinite(value) || value >= 9223372036854775808.0 || value < -9223372036854775808.0)
        return std::nullopt;
    return qint64(value);
}

std::optional<double> real(const QVariant &entry)
{
    if (!isNumber(entry))
        return std::nullopt;
    const double value = entry.toDouble();
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<bool> boolean(const QVariant &entry)
{
    if (!isNumber(entry))
        return std::nullopt;
    if (isFloating(entry))
        return entry.toDouble() != 0.0;
    return entry.toLongLong() != 0;
}

std::optional<QDateTime> date(const QVariant &entry)
{
    if (entry.typeId() != QMetaType::QDateTime || !entry.toDateTime().isValid())
        return std::nullopt;
    return entry.toDateTime();
}

std::optional<QVariantMap> dictionary(const QVariant &entry)
{
    if (entry.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return entry.toMap();
}

} // namespace plist
