// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <optional>

// The grid's sort choice. It lasts for the run only and starts as name,
// ascending; it is not a setting.

// The key the grid is sorted by.
enum class SortMethods { name, size, date };

// The direction of the sort; the numbers are the values callers store.
enum class SortOrder { ascending = 0, descending = 1 };

// 0 and 1 give a direction; any other number none.
inline std::optional<SortOrder> sortOrderFromRaw(qint64 raw)
{
    if (raw == 0)
        return SortOrder::ascending;
    if (raw == 1)
        return SortOrder::descending;
    return std::nullopt;
}

inline int rawValue(SortOrder order)
{
    return int(order);
}
