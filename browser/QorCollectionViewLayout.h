// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// One laid-out item of a collection view.
struct QorCollectionViewLayoutItem
{
    // Row counter of the pass (rows of all groups counted together).
    qint64 rowIndex = 0;
    // Position in its row, from 0; 0 for items of collapsed groups.
    qint64 columnIndex = 0;
    qint64 itemIndex = 0;
    // The item's cell in view coordinates (y grows downwards).
    QRect itemRect;
    // itemRect inset by the delegate's selection margin: the part that takes clicks.
    QRect itemContentRect;

    static QorCollectionViewLayoutItem layoutItem() { return {}; }
    // "i:<item> r:<row> c:<column>"
    QString description() const;
};

// Everything a layout pass reads, taken on the GUI thread when the pass is
// requested, so the pass itself touches nothing shared.
struct QorCollectionViewLayoutInput
{
    struct Group
    {
        qint64 start = 0;
        qint64 length = 0;
        bool collapsed = false;
    };

    QRect visibleRect;
    QSize cellSize;
    // The view's width; decides the number of columns and so the left margin.
    int frameWidth = 0;
    // Horizontal and vertical inset of each item's content rectangle.
    QSize selectionInset;
    // Where the first row starts when the first group is shown.
    int topOffset = 0;
    // Vertical space opened at each group start (room for its header).
    int groupHeaderHeightDiff = 0;
    qint64 itemCount = 0;
    // In item order, not overlapping, each at least one item long.
    std::vector<Group> groups;
};

// The result of one layout pass: rows of equal cells 10 points apart,
// a new block of rows at each group start, the items of collapsed groups
// parked two cell widths left of the view. Immutable once made; every query
// costs a binary search over the rows plus the items of the rows it touches.
class QorCollectionViewLayout
{
public:
    static constexpr int ItemSpacing = 10;

    static int maximumNumberOfItemsPerRow(int frameWidth, int cellWidth);
    // 10 points when the view holds two or three columns, else 0.
    static int leftMargin(int itemsPerRow);

    // The pass; no result when isCancelled answers true before it ends.
    static std::optional<QorCollectionViewLayout> compute(
        const QorCollectionViewLayoutInput &input, const std::function<bool()> &isCancelled = {});

    qint64 count() const { return qint64(m_slots.size()); }
    // None for an index without a layout item.
    std::optional<QorCollectionViewLayoutItem> item(qint64 index) const;

    // The zero rectangle for an index without a layout item.
    QRect rectOfItemAtIndex(qint64 index) const;
    QRect contentRectOfItemAtIndex(qint64 index) const;
    // x = column, y = row; the zero point for an index without a layout item.
    QPoint rowAndColumnPositionOfItemAtIndex(qint64 index) const;

    // Only shown items answer these: an item of a collapsed group is never hit.
    qint64 indexOfItemAtRow(qint64 row, qint64 column) const;
    qint64 indexOfItemAtPoint(QPoint point) const;
    qint64 indexOfItemContentRectAtPoint(QPoint point) const;
    // Ascending indexes of the items whose rectangle intersects rect.
    std::vector<qint64> indexesOfItemsInRect(const QRect &rect) const;
    // The bottom edge of the last item's rectangle (0 without items).
    int contentBottom() const;

private:
    // A row of shown items: consecutive indexes at one y.
    struct Row
    {
        qint64 rowIndex;
        int y;
        qint64 first;
        qint64 last;
    };

    // Where one item went. Every cell has the same size and inset, so four
    // numbers an item are enough: a large grid's layout stays small.
    struct Slot
    {
        int x;
        int y;
        int row;
        int column;
    };

    std::vector<Row>::const_iterator firstRowEndingBelow(int y) const;
    QRect rectOf(const Slot &slot) const
    {
        return QRect(slot.x, slot.y, m_cellSize.width(), m_cellSize.height());
    }
    QRect contentRectOf(const Slot &slot) const
    {
        return rectOf(slot).adjusted(m_inset.width(), m_inset.height(), -m_inset.width(), -m_inset.height());
    }

    std::vector<Slot> m_slots;
    std::vector<Row> m_rows;
    QSize m_cellSize;
    QSize m_inset;
};
