// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/QorCollectionViewGroup.h"
#include "browser/QorIndexSet.h"

#include <QPoint>
#include <QSize>
#include <QVariant>

#include <optional>

class QMenu;
class QMimeData;
class QObject;
class QWidget;
class QorCollectionView;

// What a delegate learns of a drag over the view.
struct QorDragInfo
{
    const QMimeData *mimeData = nullptr;
    // The pointer, in view coordinates (y down, from the top of the content).
    QPoint location;
    // The widget the drag started from, when it is in this program.
    QObject *source = nullptr;
    Qt::DropActions possibleActions;
};

// The only source of a collection view's cells, sizes and policy. The
// first three calls are required; every other one has the fixed answer the
// view uses when a delegate does not care. Cells ("view controllers") are
// widgets: the delegate makes them, the view owns, places and recycles them.
//
// Items are whatever the owner handed to the reload, one QVariant each; an
// absent item (no hover, no controller) is an invalid QVariant / nullptr.
class QorCollectionViewDelegate
{
public:
    virtual ~QorCollectionViewDelegate() = default;

    // Required.
    virtual QSize cellSizeForCollectionView(QorCollectionView *view) = 0;
    // A new cell, asked only when no parked cell is left; the view takes it.
    virtual QWidget *reusableViewControllerForCollectionView(QorCollectionView *view) = 0;
    // A cell is about to show item (again, or for another item).
    virtual void willShowViewController(QorCollectionView *view, QWidget *controller, const QVariant &item)
        = 0;

    // Cells coming and going, selection marks.
    virtual void viewControllerBecameInvisible(QorCollectionView *, QWidget *) { }
    virtual void updateViewControllerAsSelected(QorCollectionView *, QWidget *, const QVariant &) { }
    virtual void updateViewControllerAsDeselected(QorCollectionView *, QWidget *, const QVariant &) { }

    // Selection.
    virtual bool shouldSelectItem(QorCollectionView *, const QVariant &, QWidget *) { return true; }
    virtual void didSelectItem(QorCollectionView *, const QVariant &, QWidget *) { }
    virtual void didDeselectItem(QorCollectionView *, const QVariant &, QWidget *) { }
    // Once per change, on the next pass of the event loop, never inside an event.
    virtual void collectionViewSelectionDidChange(QorCollectionView *) { }

    // Mouse and scrolling.
    virtual void didClickItem(QorCollectionView *, const QVariant &, QWidget *) { }
    // direction: 1 when the visible area moved down, 0 otherwise.
    virtual void collectionViewDidScroll(QorCollectionView *, int /*direction*/) { }
    // The clicked item's cell (null when the click hit no cell).
    virtual void didDoubleClickViewControllerAtIndex(QorCollectionView *, QWidget *) { }

    // Geometry and look.
    // Each item's clickable part is its cell inset by this width and height.
    virtual QSize insetMarginForSelectingItemsInCollectionView(QorCollectionView *) { return {}; }
    virtual bool collectionViewShouldDrawSelections(QorCollectionView *) { return true; }
    virtual bool collectionViewShouldDrawHover(QorCollectionView *) { return true; }
    // Needed when groups are used: the header's height and the space opened
    // above each group's first row.
    virtual int groupHeaderHeightForCollectionView(QorCollectionView *) { return 0; }
    virtual int groupHeaderHeightDiffForCollectionView(QorCollectionView *) { return 0; }
    // A new header widget for a group coming into view; the view takes it.
    virtual QWidget *headerForGroup(QorCollectionView *, const QorCollectionViewGroup &) { return nullptr; }
    // y of the first row when the first group is shown (or there are none).
    virtual int topOffsetForItemsInCollectionView(QorCollectionView *) { return 0; }

    // Policy.
    virtual bool isEnabledEmptySelectionForCollectionView(QorCollectionView *) { return true; }
    virtual bool isEnabledMultipleSelectionForCollectionView(QorCollectionView *) { return true; }
    // A filled grey mark behind selected cells, or a white outline.
    virtual bool isEnabledBackgroundSelectionForCollectionView(QorCollectionView *) { return true; }

    // Dragging out: both must be answered for a drag to start.
    virtual bool canDragItemsAtIndexes(QorCollectionView *, const QorIndexSet &) { return false; }
    virtual void writeItemsAtIndexes(QorCollectionView *, const QorIndexSet &, QMimeData *) { }

    // Dropping onto items. index may be QorNotFound (over no item).
    virtual bool validateDrop(QorCollectionView *, const QorDragInfo &, qint64 /*index*/) { return false; }
    virtual void dragEnteredViewController(QorCollectionView *, QWidget *) { }
    virtual void dragExitedViewController(QorCollectionView *, QWidget *) { }
    virtual bool performDragOperation(QorCollectionView *, const QorDragInfo &, QWidget *, const QVariant &)
    {
        return false;
    }
    // No answer: the view decides as it does for every move.
    virtual std::optional<Qt::DropAction> draggingEntered(QorCollectionView *, const QorDragInfo &)
    {
        return std::nullopt;
    }
    virtual void draggingEnded(QorCollectionView *, const QorDragInfo &) { }
    virtual void draggingExited(QorCollectionView *, const QorDragInfo &) { }

    // Keys.
    virtual void deleteItemsAtIndexes(QorCollectionView *, const QorIndexSet &) { }
    // Type-to-select: whether the item's name starts with prefix (lower
    // case). No answer switches typing off.
    virtual std::optional<bool> nameOfItemStartsWith(QorCollectionView *, const QVariant &, const QString &)
    {
        return std::nullopt;
    }

    // Zoom: needed when zoom is used (the zoom value is clamped into it).
    virtual std::optional<QorRange> validScalingRangeForCollectionView(QorCollectionView *)
    {
        return std::nullopt;
    }
    virtual void collectionViewDidZoom(QorCollectionView *) { }

    // A new menu for the context click; the view shows it and deletes it once closed.
    virtual QMenu *menuForItemsAtIndexes(QorCollectionView *, const QorIndexSet &) { return nullptr; }

    virtual void collectionViewLostFirstResponder(QorCollectionView *) { }
    virtual void collectionViewBecameFirstResponder(QorCollectionView *) { }
};
