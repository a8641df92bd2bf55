// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/QorCollectionViewDelegate.h"
#include "browser/QorCollectionViewGroup.h"
#include "browser/QorCollectionViewLayoutManager.h"
#include "browser/QorIndexSet.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QHash>
#include <QPointer>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

namespace platform {
class Deferred;
class Timer;
} // namespace platform

// A general grid of arbitrary items, optionally in collapsible groups.
// Items are laid out in the background; only the items in and near the
// visible area have a cell widget at any time, and cells that scroll away
// are parked and handed out again. Selection, keyboard, mouse, pinch zoom
// and drag and drop follow the delegate's policy.
//
// Coordinates given as "view coordinates" are those of the whole content:
// (0, 0) is its top left, y grows downwards; the viewport shows
// visibleRect() of it.
class QorCollectionView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit QorCollectionView(QWidget *parent = nullptr);
    ~QorCollectionView() override;

    // Not owned; set it to null before it dies.
    void setDelegate(QorCollectionViewDelegate *delegate) { m_delegate = delegate; }
    QorCollectionViewDelegate *delegate() const { return m_delegate; }

    // White when invalid.
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    // Rows above and below the visible area that keep their cells.
    int numberOfPreRenderedRows() const { return m_numberOfPreRenderedRows; }
    void setNumberOfPreRenderedRows(int rows);

    const QVariantList &contentArray() const { return m_items; }
    const std::vector<QorCollectionViewGroup> &groups() const { return m_groups; }
    QorCollectionViewLayoutManager *layoutManager() const { return m_layoutManager; }

    // Reloading. A full reload replaces the items (and groups) and lays them
    // out anew; with emptyCaches the cells are released and made afresh.
    // The completion runs on a later pass, once the newest layout is shown.
    void reloadDataWithItems(const QVariantList &items, bool emptyCaches);
    void reloadDataWithItems(const QVariantList &items, const std::vector<QorCollectionViewGroup> &groups,
        bool emptyCaches, std::function<void()> completion = {});
    // A new layout of the same items, keeping selection and cells.
    void softReloadDataWithCompletionBlock(std::function<void()> completion = {});

    // Cells.
    QList<QWidget *> visibleViewControllerArray() const { return m_visible.values(); }
    int reusableViewControllerCount() const { return int(m_reusable.size()); }
    QorIndexSet indexesOfViewControllers() const;
    QWidget *viewControllerForItemAtIndex(qint64 index) const { return m_visible.value(index, nullptr); }
    QWidget *headerViewControllerForGroup(qint64 group) const { return m_headers.value(group, nullptr); }

    // Geometry, in view coordinates.
    QRect visibleRect() const;
    int contentHeight() const { return m_contentHeight; }
    std::vector<qint64> indexesOfItemsInRect(const QRect &rect) const;
    std::vector<qint64> indexesOfItemContentRectsInRect(const QRect &rect) const
    {
        return indexesOfItemsInRect(rect);
    }
    QRect rectOfItemAtIndex(qint64 index) const;
    QPoint viewportToView(QPoint point) const;
    QRect viewToViewport(const QRect &rect) const;
    // Scrolls as little as needed to show rect.
    void scrollRectToVisible(const QRect &rect);

    // The delegate's answers, or their defaults without a delegate.
    QSize cellSize() const;
    int groupHeaderHeight() const;
    int groupHeaderHeightDiff() const;
    bool isEnabledEmptySelection() const;
    bool isEnabledMultipleSelection() const;
    bool isEnabledBackgroundSelection() const;
    bool shoulDrawSelections() const;
    bool shoulDrawHover() const;

    // Selection. Indexes at or beyond the item count are ignored.
    const QorIndexSet &selectionIndexes() const { return m_selection; }
    void selectItemAtIndex(qint64 index, bool inBulk = false);
    void selectItemsAtIndexes(const QorIndexSet &indexes);
    void deselectItemAtIndex(qint64 index, bool inBulk = false);
    void deselectItemsAtIndexes(const QorIndexSet &indexes);
    void deselectAllItems();
    void selectAll();
    // Select only index and show it; nothing for QorNotFound.
    void simpleSelectItemAtIndex(qint64 index);
    void simpleExtendSelectionRange(QorRange range, qint64 index);
    qint64 lastSelectionIndex() const { return m_lastSelectionIndex; }
    const QorIndexSet &originalSelectionIndexes() const { return m_originalSelection; }
    bool isDragging() const { return m_isDragging; }
    // The band being dragged, in view coordinates (empty when none).
    QRect rubberBandRect() const;

    // Keyboard actions.
    void moveLeft();
    void moveRight();
    void moveUp();
    void moveDown();
    void moveLeftAndModifySelection();
    void moveRightAndModifySelection();
    void moveUpAndModifySelection();
    void moveDownAndModifySelection();
    void deleteBackward();
    void deleteForward();
    // Type-to-select; false when the delegate has it switched off.
    bool insertText(const QString &text);
    void clearAccumulatedBuffer() { m_accumulatedKeyStrokes.clear(); }
    QString accumulatedKeyStrokes() const { return m_accumulatedKeyStrokes; }

    // Zoom: the delegate reads the integer under key as its cell size
    // scale; pinching (or Ctrl and the wheel) changes it within the
    // delegate's range, and the view lays itself out again.
    void registerForZoomValueChangesInDefaultsForKey(const QString &key);
    QString zoomValueObserverKey() const { return m_zoomKey; }
    void zoomValueDidChange();
    void magnify(double magnification);

    // Drag and drop. Dropping needs setAcceptsDrops(true) from the owner.
    void setAcceptsDrops(bool on);
    qint64 dragHoverIndex() const { return m_dragHoverIndex; }
    void setDragHoverIndex(qint64 index);

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    class BandOverlay;
    // Collects "redraw this item" requests of one bulk change into one update.
    class RedrawBatch;

    struct PendingPass
    {
        bool full = false;
        QRect capturedVisibleRect;
        std::vector<std::function<void()>> fullCompletions;
        std::vector<std::function<void()>> softCompletions;
    };

    const QVariant &itemAt(qint64 index) const;
    qint64 itemCount() const { return m_items.size(); }
    const QorCollectionViewLayout &layout() const { return m_layoutManager->itemLayouts(); }

    // Layout passes.
    QorCollectionViewLayoutInput layoutInput() const;
    void startLayoutPass();
    void layoutPassPublished();
    void publishFullReload(const QRect &capturedVisibleRect);
    void refreshCollapsedStates();
    void settingChanged(const QString &key);

    // Cells.
    QRect liveRect() const;
    QWidget *emptyViewControllerForInsertion();
    void addMissingViewControllerForItemAtIndex(qint64 index, const QRect &rect);
    void removeViewControllerForItemAtIndex(qint64 index);
    void removeInvisibleViewControllers();
    void addMissingViewControllersToView();
    void moveViewControllersToProperPosition();
    void softReloadVisibleViewControllers();
    void releaseAllViewControllers();
    void addMissingGroupHeaders();
    void removeAllGroupHeaders();
    QRect headerRectForGroup(size_t group) const;
    void resizeFrameToFitContents();
    void scrollViewDidScroll();

    // Delegate forwarders.
    void delegateUpdateSelectionForItemAtIndex(qint64 index);
    void delegateUpdateDeselectionForItemAtIndex(qint64 index);
    void delegateDidSelectItemAtIndex(qint64 index);
    void delegateDidDeselectItemAtIndex(qint64 index);
    void delegateViewControllerBecameInvisibleAtIndex(qint64 index);
    void delegateCollectionViewSelectionDidChange();
    void markItemForRedraw(qint64 index);
    void markForRedraw(const QRect &viewRect);

    // Input.
    bool shiftOrCommandKeyPressed(Qt::KeyboardModifiers modifiers) const;
    void handleMouseDown(QPoint viewPoint, Qt::KeyboardModifiers modifiers, bool leftButton, int clickCount);
    void handleMouseDragged(QPoint viewportPoint, Qt::KeyboardModifiers modifiers);
    void regularMouseDragged(QPoint viewPoint, Qt::KeyboardModifiers modifiers);
    void handleMouseUp();
    void autoscroll(QPoint viewportPoint);
    void autoscrollTick();
    qint64 firstItemNamed(const QString &prefix) const;
    bool handleZoomEvent(QEvent *event);

    // Drag and drop.
    void initiateDraggingSession();
    QorDragInfo dragInfo(const QDropEvent *event) const;
    Qt::DropAction draggingUpdated(const QorDragInfo &info);
    void draggingEnded();

    QorCollectionViewDelegate *m_delegate = nullptr;
    QorCollectionViewLayoutManager *m_layoutManager = nullptr;
    QVariantList m_items;
    std::vector<QorCollectionViewGroup> m_groups;
    QHash<QString, bool> m_collapsedByKey;
    std::vector<QWidget *> m_reusable;
    QHash<qint64, QWidget *> m_visible;
    QHash<qint64, QWidget *> m_headers;
    QorIndexSet m_selection;
    QColor m_backgroundColor;
    int m_numberOfPreRenderedRows = 3;
    int m_contentHeight = 0;
    PendingPass m_pending;

    QPoint m_mouseDownLocation;
    QPoint m_mouseDraggedLocation;
    QRect m_previousFrameBounds;
    qint64 m_lastSelectionIndex = 0;
    QorIndexSet m_originalSelection;
    qint64 m_dragHoverIndex = QorNotFound;
    bool m_isDragging = false;
    bool m_selectionChangedDisabled = false;
    QString m_zoomKey;
    double m_lastPinchMagnification = 0;
    QString m_accumulatedKeyStrokes;
    std::unique_ptr<QObject> m_keyBufferToken;

    platform::Deferred *m_selectionChanged = nullptr;
    platform::Deferred *m_cellUpdate = nullptr;
    platform::Timer *m_autoscrollTimer = nullptr;
    QPoint m_lastDragGlobalPos;
    Qt::KeyboardModifiers m_lastDragModifiers;
    std::unique_ptr<BandOverlay> m_overlay;
    int m_redrawDepth = 0;
    bool m_itemRedrawSuspended = false;
    QRect m_pendingRedraw;
    bool m_dragSessionActive = false;
    QPointer<const QMimeData> m_currentDragMime;
    QorDragInfo m_lastDragInfo;
};
