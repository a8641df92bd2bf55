// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A recording delegate and event helpers for the collection view tests.

#include "browser/QorCollectionView.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace collectiontest {

// Cells remember the item they show.
class Cell : public QWidget
{
public:
    QVariant item;
};

class RecordingDelegate : public QorCollectionViewDelegate
{
public:
    QSize cell { 100, 100 };
    bool emptySelection = true;
    bool multipleSelection = true;
    bool typeToSelect = true;
    bool canDrag = false;
    std::function<bool(qint64)> dropOn; // null: drops refused
    QSize inset;
    int headerHeight = 0;
    int headerDiff = 0;
    int topOffset = 0;
    std::optional<QorRange> scalingRange;
    QString zoomKey;

    int cellsMade = 0;
    int headersMade = 0;
    int selectionChanges = 0;
    int zooms = 0;
    std::vector<QString> log;
    std::vector<QVariant> shown;
    std::vector<QWidget *> doubleClicked;
    std::vector<std::vector<qint64>> deleted;
    std::vector<int> scrollDirections;
    std::vector<QString> droppedTexts;
    std::vector<QVariant> droppedItems;
    std::vector<QWidget *> droppedControllers;
    int dragsEnded = 0;
    int dragsExited = 0;

    QSize cellSizeForCollectionView(QorCollectionView *) override
    {
        if (zoomKey.isEmpty())
            return cell;
        // The zoom value is the cell's side.
        const qint64 side = platform::Settings::intValue(zoomKey).value_or(cell.width());
        return QSize(int(side), int(side));
    }
    QWidget *reusableViewControllerForCollectionView(QorCollectionView *) override
    {
        ++cellsMade;
        return new Cell;
    }
    void willShowViewController(QorCollectionView *, QWidget *controller, const QVariant &item) override
    {
        static_cast<Cell *>(controller)->item = item;
        shown.push_back(item);
    }
    void viewControllerBecameInvisible(QorCollectionView *, QWidget *) override
    {
        log.push_back("invisible");
    }
    void updateViewControllerAsSelected(QorCollectionView *, QWidget *, const QVariant &item) override
    {
        log.push_back("mark " + item.toString());
    }
    void updateViewControllerAsDeselected(QorCollectionView *, QWidget *, const QVariant &item) override
    {
        log.push_back("unmark " + item.toString());
    }
    void didSelectItem(QorCollectionView *, const QVariant &item, QWidget *) override
    {
        log.push_back("select " + item.toString());
    }
    void didDeselectItem(QorCollectionView *, const QVariant &item, QWidget *) override
    {
        log.push_back("deselect " + item.toString());
    }
    void collectionViewSelectionDidChange(QorCollectionView *) override { ++selectionChanges; }
    void collectionViewDidScroll(QorCollectionView *, int direction) override
    {
        scrollDirections.push_back(direction);
    }
    void didDoubleClickViewControllerAtIndex(QorCollectionView *, QWidget *controller) override
    {
        doubleClicked.push_back(controller);
    }
    QSize insetMarginForSelectingItemsInCollectionView(QorCollectionView *) override { return inset; }
    int groupHeaderHeightForCollectionView(QorCollectionView *) override { return headerHeight; }
    int groupHeaderHeightDiffForCollectionView(QorCollectionView *) override { return headerDiff; }
    QWidget *headerForGroup(QorCollectionView *, const QorCollectionViewGroup &group) override
    {
        ++headersMade;
        auto *header = new QWidget;
        header->setObjectName(group.title());
        return header;
    }
    int topOffsetForItemsInCollectionView(QorCollectionView *) override { return topOffset; }
    bool isEnabledEmptySelectionForCollectionView(QorCollectionView *) override { return emptySelection; }
    bool isEnabledMultipleSelectionForCollectionView(QorCollectionView *) override
    {
        return multipleSelection;
    }
    bool canDragItemsAtIndexes(QorCollectionView *, const QorIndexSet &) override { return canDrag; }
    void writeItemsAtIndexes(QorCollectionView *view, const QorIndexSet &indexes, QMimeData *mime) override
    {
        QStringList names;
        indexes.forEach([&](qint64 i) { names << view->contentArray().at(i).toString(); });
        mime->setText(names.join(','));
    }
    bool validateDrop(QorCollectionView *, const QorDragInfo &, qint64 index) override
    {
        return dropOn && dropOn(index);
    }
    void dragEnteredViewController(QorCollectionView *, QWidget *controller) override
    {
        log.push_back(QStringLiteral("hover enter %1")
                          .arg(controller ? static_cast<Cell *>(controller)->item.toString() : "none"));
    }
    void dragExitedViewController(QorCollectionView *, QWidget *controller) override
    {
        log.push_back(QStringLiteral("hover exit %1")
                          .arg(controller ? static_cast<Cell *>(controller)->item.toString() : "none"));
    }
    bool performDragOperation(
        QorCollectionView *, const QorDragInfo &info, QWidget *controller, const QVariant &item) override
    {
        droppedTexts.push_back(info.mimeData ? info.mimeData->text() : QString());
        droppedItems.push_back(item);
        droppedControllers.push_back(controller);
        return true;
    }
    void draggingEnded(QorCollectionView *, const QorDragInfo &) override { ++dragsEnded; }
    void draggingExited(QorCollectionView *, const QorDragInfo &) override { ++dragsExited; }
    void deleteItemsAtIndexes(QorCollectionView *, const QorIndexSet &indexes) override
    {
        deleted.push_back(indexes.toVector());
    }
    std::optional<bool> nameOfItemStartsWith(
        QorCollectionView *, const QVariant &item, const QString &prefix) override
    {
        if (!typeToSelect)
            return std::nullopt;
        return item.toString().toLower().startsWith(prefix);
    }
    std::optional<QorRange> validScalingRangeForCollectionView(QorCollectionView *) override
    {
        return scalingRange;
    }
    void collectionViewDidZoom(QorCollectionView *) override { ++zooms; }
};

// "item0", "item1", ...
inline QVariantList numberedItems(int count, const QString &prefix = QStringLiteral("item"))
{
    QVariantList items;
    items.reserve(count);
    for (int i = 0; i < count; ++i)
        items.append(prefix + QString::number(i));
    return items;
}

// Runs queued layout passes and the event loop until nothing is pending.
inline void settle(QorCollectionView &view)
{
    for (int round = 0; round < 50; ++round) {
        view.layoutManager()->waitForQueue();
        QCoreApplication::processEvents();
        if (!view.layoutManager()->isEnumerating())
            break;
    }
    // The deferred cell update and selection notice run on the next pass.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// A shown grid of the given viewport size with the recording delegate. The
// scroll bar stays hidden so the viewport is exactly that size.
struct Grid
{
    RecordingDelegate delegate;
    QorCollectionView view;

    explicit Grid(QSize size = QSize(450, 300))
    {
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setDelegate(&delegate);
        view.resize(size);
        view.show();
        QCoreApplication::processEvents();
    }
    ~Grid() { view.setDelegate(nullptr); }

    void load(const QVariantList &items, const std::vector<QorCollectionViewGroup> &groups = {},
        bool emptyCaches = false)
    {
        view.reloadDataWithItems(items, groups, emptyCaches);
        settle(view);
    }
    void scrollTo(int y)
    {
        view.verticalScrollBar()->setValue(y);
        settle(view);
    }
    // The centre of an item, in view coordinates.
    QPoint centreOf(qint64 index) const { return view.rectOfItemAtIndex(index).center(); }
    std::vector<qint64> selection() const { return view.selectionIndexes().toVector(); }
};

// Mouse events at a point in view coordinates, sent to the viewport.
inline void sendMouse(QorCollectionView &view, QEvent::Type type, QPoint viewPoint, Qt::MouseButton button,
    Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *viewport = view.viewport();
    const QPoint local = viewPoint - QPoint(0, view.verticalScrollBar()->value());
    QMouseEvent event(
        type, QPointF(local), QPointF(viewport->mapToGlobal(local)), button, buttons, modifiers);
    QApplication::sendEvent(viewport, &event);
}

inline void press(QorCollectionView &view, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendMouse(view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, modifiers);
}

inline void drag(QorCollectionView &view, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendMouse(view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, modifiers);
}

inline void release(QorCollectionView &view, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendMouse(view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, modifiers);
}

inline void click(QorCollectionView &view, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    press(view, at, modifiers);
    release(view, at, modifiers);
}

} // namespace collectiontest
