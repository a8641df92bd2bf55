// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/QorCollectionViewLayout.h"

#include "browser/QorIndexSet.h"

#include <algorithm>

QString QorCollectionViewLayoutItem::description() const
{
    return QStringLiteral("i:%1 r:%2 c:%3").arg(itemIndex).arg(rowIndex).arg(columnIndex);
}

int QorCollectionViewLayout::maximumNumberOfItemsPerRow(int frameWidth, int cellWidth)
{
    if (cellWidth <= 0)
        return 1;
    return std::max(1, frameWidth / cellWidth);
}

int QorCollectionViewLayout::leftMargin(int itemsPerRow)
{
    return (itemsPerRow == 2 || itemsPerRow == 3) ? 10 : 0;
}

std::optional<QorCollectionViewLayout> QorCollectionViewLayout::compute(
    const QorCollectionViewLayoutInput &in, const std::function<bool()> &isCancelled)
{
    if (isCancelled && isCancelled())
        return std::nullopt;

    const int w = in.cellSize.width();
    const int h = in.cellSize.height();
    const int margin = leftMargin(maximumNumberOfItemsPerRow(in.frameWidth, w));
    const qint64 right = qint64(in.visibleRect.x()) + in.visibleRect.width();

    QorCollectionViewLayout layout;
    layout.m_cellSize = in.cellSize;
    layout.m_inset = in.selectionInset;
    layout.m_slots.reserve(size_t(std::max<qint64>(0, in.itemCount)));

    auto group = in.groups.begin();
    const auto groupsEnd = in.groups.end();
    qint64 y = (group == groupsEnd || !group->collapsed) ? in.topOffset : 0;
    qint64 x = margin;
    qint64 row = 0;
    qint64 column = 0;

    for (qint64 i = 0; i < in.itemCount; ++i) {
        if ((i & 1023) == 0 && isCancelled && isCancelled())
            return std::nullopt;

        if (group != groupsEnd && group->start == i) {
            if (x != margin) {
                column = 0;
                ++row;
                y += h;
            }
            y += in.groupHeaderHeightDiff;
            x = margin;
        }

        Slot slot;
        // Only the items inside a collapsed group are hidden, not the
        // ungrouped ones that come before it.
        const bool hidden = group != groupsEnd && group->collapsed && i >= group->start;
        if (hidden) {
            slot.x = -2 * w;
            slot.y = int(y);
            slot.column = 0;
        } else {
            if (x + w > right) {
                ++row;
                y += h;
                x = margin;
                column = 0;
            }
            slot.x = int(x);
            slot.y = int(y);
            slot.column = int(column);
            x += w + ItemSpacing;
            ++column;
            if (layout.m_rows.empty() || layout.m_rows.back().rowIndex != row)
                layout.m_rows.push_back(Row { row, int(y), i, i });
            else
                layout.m_rows.back().last = i;
        }
        slot.row = int(row);
        layout.m_slots.push_back(slot);

        if (group != groupsEnd && i == group->start + group->length - 1)
            ++group;
    }
    if (isCancelled && isCancelled())
        return std::nullopt;
    return layout;
}

std::optional<QorCollectionViewLayoutItem> QorCollectionViewLayout::item(qint64 index) const
{
    if (index < 0 || index >= count())
        return std::nullopt;
    const Slot &slot = m_slots[size_t(index)];
    QorCollectionViewLayoutItem item;
    item.rowIndex = slot.row;
    item.columnIndex = slot.column;
    item.itemIndex = index;
    item.itemRect = rectOf(slot);
    item.itemContentRect = contentRectOf(slot);
    return item;
}

QRect QorCollectionViewLayout::rectOfItemAtIndex(qint64 index) const
{
    return index >= 0 && index < count() ? rectOf(m_slots[size_t(index)]) : QRect();
}

QRect QorCollectionViewLayout::contentRectOfItemAtIndex(qint64 index) const
{
    return index >= 0 && index < count() ? contentRectOf(m_slots[size_t(index)]) : QRect();
}

QPoint QorCollectionViewLayout::rowAndColumnPositionOfItemAtIndex(qint64 index) const
{
    if (index < 0 || index >= count())
        return QPoint();
    return QPoint(m_slots[size_t(index)].column, m_slots[size_t(index)].row);
}

qint64 QorCollectionViewLayout::indexOfItemAtRow(qint64 row, qint64 column) const
{
    auto it = std::lower_bound(
        m_rows.begin(), m_rows.end(), row, [](const Row &r, qint64 value) { return r.rowIndex < value; });
    if (it == m_rows.end() || it->rowIndex != row || column < 0 || column > it->last - it->first)
        return QorNotFound;
    return it->first + column;
}

std::vector<QorCollectionViewLayout::Row>::const_iterator QorCollectionViewLayout::firstRowEndingBelow(
    int y) const
{
    // Rows are in ascending y and all one cell high.
    return std::upper_bound(m_rows.begin(), m_rows.end(), y,
        [this](int value, const Row &r) { return value < r.y + m_cellSize.height(); });
}

qint64 QorCollectionViewLayout::indexOfItemAtPoint(QPoint point) const
{
    for (auto it = firstRowEndingBelow(point.y()); it != m_rows.end() && it->y <= point.y(); ++it) {
        for (qint64 i = it->first; i <= it->last; ++i) {
            if (rectOf(m_slots[size_t(i)]).contains(point))
                return i;
        }
    }
    return QorNotFound;
}

qint64 QorCollectionViewLayout::indexOfItemContentRectAtPoint(QPoint point) const
{
    const qint64 i = indexOfItemAtPoint(point);
    if (i == QorNotFound || !contentRectOf(m_slots[size_t(i)]).contains(point))
        return QorNotFound;
    return i;
}

std::vector<qint64> QorCollectionViewLayout::indexesOfItemsInRect(const QRect &rect) const
{
    std::vector<qint64> out;
    if (rect.isEmpty())
        return out;
    for (auto it = firstRowEndingBelow(rect.top()); it != m_rows.end() && it->y <= rect.bottom(); ++it) {
        for (qint64 i = it->first; i <= it->last; ++i) {
            if (rectOf(m_slots[size_t(i)]).intersects(rect))
                out.push_back(i);
        }
    }
    return out;
}

int QorCollectionViewLayout::contentBottom() const
{
    if (m_slots.empty())
        return 0;
    return m_slots.back().y + m_cellSize.height();
}
