// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/QorCollectionView.h"

#include "browser/QorCollectionViewParts.h"
#include "platform/MainQueue.h"
#include "platform/Settings.h"
#include "platform/Timer.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>
#include <limits>

QorCollectionView::QorCollectionView(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_layoutManager(new QorCollectionViewLayoutManager(this))
    , m_selectionChanged(new platform::Deferred(
          [this] {
              if (m_delegate)
                  m_delegate->collectionViewSelectionDidChange(this);
          },
          this))
    , m_cellUpdate(new platform::Deferred(
          [this] {
              removeInvisibleViewControllers();
              addMissingViewControllersToView();
          },
          this))
    , m_autoscrollTimer(new platform::Timer(
          30, [this] { autoscrollTick(); }, this))
    , m_overlay(std::make_unique<BandOverlay>(viewport()))
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(20);
    connect(&platform::Settings::instance(), &platform::Settings::changed, this,
        [this](const QString &key) { settingChanged(key); });
}

QorCollectionView::~QorCollectionView()
{
    m_layoutManager->cancelItemEnumerator();
}

void QorCollectionView::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    viewport()->update();
}

void QorCollectionView::setNumberOfPreRenderedRows(int rows)
{
    m_numberOfPreRenderedRows = std::max(0, rows);
    m_cellUpdate->request();
}

const QVariant &QorCollectionView::itemAt(qint64 index) const
{
    static const QVariant none;
    return index >= 0 && index < itemCount() ? m_items.at(index) : none;
}

// ---- Reloading ---------------------------------------------------------

void QorCollectionView::reloadDataWithItems(const QVariantList &items, bool emptyCaches)
{
    reloadDataWithItems(items, {}, emptyCaches);
}

void QorCollectionView::reloadDataWithItems(const QVariantList &items,
    const std::vector<QorCollectionViewGroup> &groups, bool emptyCaches, std::function<void()> completion)
{
    deselectAllItems();
    m_layoutManager->cancelItemEnumerator();
    m_pending = {};
    if (!m_delegate)
        return;
    // Items are stored even while the view is smaller than a cell: the
    // layout that follows a resize must show these, not the old ones.
    m_groups = groups;
    m_items = items;
    refreshCollapsedStates();
    removeAllGroupHeaders();
    if (emptyCaches)
        releaseAllViewControllers();
    else
        softReloadVisibleViewControllers();
    m_selection.clear();

    m_pending.full = true;
    m_pending.capturedVisibleRect = visibleRect();
    if (completion)
        m_pending.fullCompletions.push_back(std::move(completion));
    startLayoutPass();
}

void QorCollectionView::softReloadDataWithCompletionBlock(std::function<void()> completion)
{
    if (!m_delegate)
        return;
    // A view smaller than one cell keeps its layout until it grows, except
    // for cells one list row high, which lay out in any view.
    constexpr int ListRowHeight = 42;
    const QSize cell = cellSize();
    const QRect visible = visibleRect();
    if (cell.height() != ListRowHeight
        && (visible.width() < cell.width() || visible.height() < cell.height()))
        return;
    if (m_pending.full) {
        // A full reload still waiting for its layout is redone with the new
        // geometry rather than dropped, so its cells and completion survive.
        m_pending.capturedVisibleRect = visible;
    } else {
        m_pending = {};
    }
    if (completion)
        m_pending.softCompletions.push_back(std::move(completion));
    startLayoutPass();
}

QorCollectionViewLayoutInput QorCollectionView::layoutInput() const
{
    QorCollectionViewLayoutInput in;
    in.visibleRect = visibleRect();
    in.cellSize = cellSize();
    in.frameWidth = viewport()->width();
    in.itemCount = itemCount();
    if (!m_delegate)
        return in;
    auto *self = const_cast<QorCollectionView *>(this);
    in.selectionInset = m_delegate->insetMarginForSelectingItemsInCollectionView(self);
    in.topOffset = m_delegate->topOffsetForItemsInCollectionView(self);
    if (!m_groups.empty()) {
        in.groupHeaderHeightDiff = groupHeaderHeightDiff();
        in.groups.reserve(m_groups.size());
        for (const auto &group : m_groups) {
            const QorRange range = group.itemRange();
            in.groups.push_back(
                { range.location, range.length, m_collapsedByKey.value(group.defaultsIdentifier()) });
        }
    }
    return in;
}

void QorCollectionView::startLayoutPass()
{
    m_layoutManager->enumerateItems(layoutInput(), [this] { layoutPassPublished(); });
}

void QorCollectionView::layoutPassPublished()
{
    PendingPass pass = std::move(m_pending);
    m_pending = {};
    if (pass.full) {
        publishFullReload(pass.capturedVisibleRect);
        for (auto &completion : pass.fullCompletions)
            platform::MainQueue::post(this, std::move(completion));
    } else {
        RedrawBatch batch(this);
        // The new height first: it may move the visible area.
        resizeFrameToFitContents();
        removeInvisibleViewControllers();
        moveViewControllersToProperPosition();
        addMissingViewControllersToView();
        viewport()->update();
    }
    for (auto &completion : pass.softCompletions)
        completion();
}

void QorCollectionView::publishFullReload(const QRect &capturedVisibleRect)
{
    RedrawBatch batch(this);
    const auto &lay = layout();
    const QList<qint64> placed = m_visible.keys();
    for (qint64 index : placed) {
        QWidget *controller = m_visible.value(index);
        if (!controller || index >= itemCount())
            continue;
        controller->setGeometry(viewToViewport(lay.rectOfItemAtIndex(index)));
        m_delegate->willShowViewController(this, controller, itemAt(index));
    }
    for (qint64 index : lay.indexesOfItemsInRect(capturedVisibleRect)) {
        if (index < itemCount() && !m_visible.contains(index))
            addMissingViewControllerForItemAtIndex(index, lay.rectOfItemAtIndex(index));
    }
    resizeFrameToFitContents();
    addMissingGroupHeaders();
    viewport()->update();
    // The rows around the visible ones follow on the next pass.
    m_cellUpdate->request();
}

void QorCollectionView::refreshCollapsedStates()
{
    m_collapsedByKey.clear();
    for (const auto &group : m_groups) {
        const QString key = group.defaultsIdentifier();
        if (!m_collapsedByKey.contains(key))
            m_collapsedByKey.insert(key, group.isCollapsed());
    }
}

void QorCollectionView::settingChanged(const QString &key)
{
    if (!m_zoomKey.isEmpty() && key == m_zoomKey) {
        zoomValueDidChange();
        return;
    }
    auto it = m_collapsedByKey.find(key);
    if (it == m_collapsedByKey.end())
        return;
    const bool collapsed = platform::Settings::boolValue(key).value_or(false);
    if (collapsed == it.value())
        return;
    it.value() = collapsed;
    softReloadDataWithCompletionBlock([this] { scrollViewDidScroll(); });
}

// ---- Cells -------------------------------------------------------------

QRect QorCollectionView::liveRect() const
{
    const int rowHeight = std::max(0, cellSize().height());
    const int extra = rowHeight * m_numberOfPreRenderedRows;
    return visibleRect().adjusted(0, -extra, 0, extra);
}

QorIndexSet QorCollectionView::indexesOfViewControllers() const
{
    QorIndexSet set;
    for (auto it = m_visible.cbegin(); it != m_visible.cend(); ++it)
        set.insert(it.key());
    return set;
}

QWidget *QorCollectionView::emptyViewControllerForInsertion()
{
    if (!m_reusable.empty()) {
        QWidget *controller = m_reusable.back();
        m_reusable.pop_back();
        return controller;
    }
    QWidget *controller = m_delegate->reusableViewControllerForCollectionView(this);
    if (controller) {
        controller->setParent(viewport());
        // Pinches over a cell reach the view too.
        controller->installEventFilter(this);
    }
    return controller;
}

void QorCollectionView::addMissingViewControllerForItemAtIndex(qint64 index, const QRect &rect)
{
    if (!m_delegate || index < 0 || index >= itemCount())
        return;
    QWidget *controller = emptyViewControllerForInsertion();
    if (!controller)
        return;
    m_visible.insert(index, controller);
    controller->setGeometry(viewToViewport(rect));
    m_delegate->willShowViewController(this, controller, itemAt(index));
    controller->show();
    if (m_selection.contains(index))
        delegateUpdateSelectionForItemAtIndex(index);
}

void QorCollectionView::removeViewControllerForItemAtIndex(qint64 index)
{
    QWidget *controller = m_visible.value(index, nullptr);
    if (!controller)
        return;
    controller->hide();
    delegateUpdateDeselectionForItemAtIndex(index);
    delegateViewControllerBecameInvisibleAtIndex(index);
    m_reusable.push_back(controller);
    m_visible.remove(index);
}

void QorCollectionView::removeInvisibleViewControllers()
{
    const QRect live = liveRect();
    const auto &lay = layout();
    const QList<qint64> placed = m_visible.keys();
    for (qint64 index : placed) {
        if (index >= itemCount() || !lay.rectOfItemAtIndex(index).intersects(live))
            removeViewControllerForItemAtIndex(index);
    }
}

void QorCollectionView::addMissingViewControllersToView()
{
    if (m_delegate) {
        const auto &lay = layout();
        for (qint64 index : lay.indexesOfItemsInRect(liveRect())) {
            if (index < itemCount() && !m_visible.contains(index))
                addMissingViewControllerForItemAtIndex(index, lay.rectOfItemAtIndex(index));
        }
    }
    addMissingGroupHeaders();
    if (m_overlay->isVisible())
        m_overlay->raise();
}

void QorCollectionView::moveViewControllersToProperPosition()
{
    const auto &lay = layout();
    for (auto it = m_visible.cbegin(); it != m_visible.cend(); ++it) {
        const QRect rect = lay.rectOfItemAtIndex(it.key());
        if (!rect.isNull())
            it.value()->setGeometry(viewToViewport(rect));
    }
}

void QorCollectionView::softReloadVisibleViewControllers()
{
    std::vector<qint64> parked;
    const QList<qint64> placed = m_visible.keys();
    for (qint64 index : placed) {
        QWidget *controller = m_visible.value(index);
        const bool selected = m_selection.contains(index);
        if (index < itemCount()) {
            if (selected)
                delegateUpdateDeselectionForItemAtIndex(index);
            m_delegate->willShowViewController(this, controller, itemAt(index));
        } else {
            if (selected)
                delegateUpdateDeselectionForItemAtIndex(index);
            delegateViewControllerBecameInvisibleAtIndex(index);
            controller->hide();
            m_reusable.push_back(controller);
            parked.push_back(index);
        }
    }
    for (qint64 index : parked)
        m_visible.remove(index);
}

void QorCollectionView::releaseAllViewControllers()
{
    for (auto it = m_visible.cbegin(); it != m_visible.cend(); ++it) {
        it.value()->hide();
        if (m_delegate)
            m_delegate->viewControllerBecameInvisible(this, it.value());
    }
    // Deleted later: a cell may be the one whose event started this reload.
    for (auto it = m_visible.cbegin(); it != m_visible.cend(); ++it)
        it.value()->deleteLater();
    for (QWidget *controller : m_reusable)
        controller->deleteLater();
    m_visible.clear();
    m_reusable.clear();
}

// ---- Group headers -------------------------------------------------------

QRect QorCollectionView::headerRectForGroup(size_t group) const
{
    const qint64 first = m_groups[group].itemRange().location;
    const auto item = layout().item(first);
    if (!item || first >= itemCount())
        return {};
    const int height = groupHeaderHeight();
    int y = item->itemRect.y() - height;
    if (group == 0 && !m_collapsedByKey.value(m_groups[0].defaultsIdentifier()) && m_delegate)
        y -= m_delegate->topOffsetForItemsInCollectionView(const_cast<QorCollectionView *>(this));
    return QRect(0, y, viewport()->width(), height);
}

void QorCollectionView::addMissingGroupHeaders()
{
    if (m_groups.empty() || !m_delegate)
        return;
    const QRect visible = visibleRect();
    const QList<qint64> shown = m_headers.keys();
    for (qint64 group : shown) {
        QWidget *header = m_headers.value(group);
        const QRect rect = size_t(group) < m_groups.size() ? headerRectForGroup(size_t(group)) : QRect();
        if (rect.intersects(visible)) {
            header->setGeometry(viewToViewport(rect));
        } else {
            header->hide();
            header->deleteLater();
            m_headers.remove(group);
        }
    }
    // Headers lie in group order from top to bottom: find the first one that
    // reaches into view and walk down until one starts below it.
    const auto &lay = layout();
    const qint64 laidOut = std::min(lay.count(), itemCount());
    auto bottomOf = [&](size_t g) -> qint64 {
        const qint64 first = m_groups[g].itemRange().location;
        if (first < 0 || first >= laidOut)
            return std::numeric_limits<qint64>::max();
        return qint64(lay.rectOfItemAtIndex(first).y());
    };
    size_t low = 0;
    size_t high = m_groups.size();
    while (low < high) {
        const size_t mid = (low + high) / 2;
        if (bottomOf(mid) <= visible.top())
            low = mid + 1;
        else
            high = mid;
    }
    for (size_t g = low; g < m_groups.size(); ++g) {
        const QRect rect = headerRectForGroup(g);
        if (rect.isNull()) {
            if (bottomOf(g) == std::numeric_limits<qint64>::max())
                break;
            continue;
        }
        if (rect.top() > visible.bottom())
            break;
        if (!rect.intersects(visible) || m_headers.contains(qint64(g)))
            continue;
        QWidget *header = m_delegate->headerForGroup(this, m_groups[g]);
        if (!header)
            continue;
        header->setParent(viewport());
        header->installEventFilter(this);
        m_headers.insert(qint64(g), header);
        header->setGeometry(viewToViewport(rect));
        header->show();
    }
}

void QorCollectionView::removeAllGroupHeaders()
{
    for (auto it = m_headers.cbegin(); it != m_headers.cend(); ++it) {
        it.value()->hide();
        it.value()->deleteLater();
    }
    m_headers.clear();
}

// ---- Geometry and scrolling -----------------------------------------------

QRect QorCollectionView::visibleRect() const
{
    return QRect(0, verticalScrollBar()->value(), viewport()->width(), viewport()->height());
}

QPoint QorCollectionView::viewportToView(QPoint point) const
{
    return point + QPoint(0, verticalScrollBar()->value());
}

QRect QorCollectionView::viewToViewport(const QRect &rect) const
{
    return rect.translated(0, -verticalScrollBar()->value());
}

std::vector<qint64> QorCollectionView::indexesOfItemsInRect(const QRect &rect) const
{
    std::vector<qint64> found = layout().indexesOfItemsInRect(rect);
    found.erase(std::remove_if(found.begin(), found.end(), [this](qint64 i) { return i >= itemCount(); }),
        found.end());
    return found;
}

QRect QorCollectionView::rectOfItemAtIndex(qint64 index) const
{
    return layout().rectOfItemAtIndex(index);
}

void QorCollectionView::scrollRectToVisible(const QRect &rect)
{
    if (rect.isNull())
        return;
    const QRect visible = visibleRect();
    QScrollBar *bar = verticalScrollBar();
    if (rect.top() < visible.top())
        bar->setValue(rect.top());
    else if (rect.bottom() > visible.bottom())
        bar->setValue(std::min(rect.top(), rect.bottom() - visible.height() + 1));
}

void QorCollectionView::resizeFrameToFitContents()
{
    const int visibleHeight = viewport()->height();
    int height = visibleHeight;
    if (itemCount() > 0)
        height = std::max(visibleHeight, layout().contentBottom());
    m_contentHeight = height;
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(visibleHeight);
    bar->setRange(0, std::max(0, height - visibleHeight));
}

void QorCollectionView::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
    scrollViewDidScroll();
}

void QorCollectionView::scrollViewDidScroll()
{
    m_cellUpdate->request();
    const QRect visible = visibleRect();
    if (m_delegate)
        m_delegate->collectionViewDidScroll(this, visible.y() > m_previousFrameBounds.y() ? 1 : 0);
    m_previousFrameBounds = visible;
}

void QorCollectionView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    resizeFrameToFitContents();
    if (itemCount() > 0)
        softReloadDataWithCompletionBlock();
}

// ---- Drawing ---------------------------------------------------------------

QSize QorCollectionView::cellSize() const
{
    return m_delegate ? m_delegate->cellSizeForCollectionView(const_cast<QorCollectionView *>(this))
                      : QSize();
}

int QorCollectionView::groupHeaderHeight() const
{
    return m_delegate ? m_delegate->groupHeaderHeightForCollectionView(const_cast<QorCollectionView *>(this))
                      : 0;
}

int QorCollectionView::groupHeaderHeightDiff() const
{
    return m_delegate
        ? m_delegate->groupHeaderHeightDiffForCollectionView(const_cast<QorCollectionView *>(this))
        : 0;
}

bool QorCollectionView::isEnabledEmptySelection() const
{
    return !m_delegate
        || m_delegate->isEnabledEmptySelectionForCollectionView(const_cast<QorCollectionView *>(this));
}

bool QorCollectionView::isEnabledMultipleSelection() const
{
    return !m_delegate
        || m_delegate->isEnabledMultipleSelectionForCollectionView(const_cast<QorCollectionView *>(this));
}

bool QorCollectionView::isEnabledBackgroundSelection() const
{
    return !m_delegate
        || m_delegate->isEnabledBackgroundSelectionForCollectionView(const_cast<QorCollectionView *>(this));
}

bool QorCollectionView::shoulDrawSelections() const
{
    return !m_delegate
        || m_delegate->collectionViewShouldDrawSelections(const_cast<QorCollectionView *>(this));
}

bool QorCollectionView::shoulDrawHover() const
{
    return !m_delegate || m_delegate->collectionViewShouldDrawHover(const_cast<QorCollectionView *>(this));
}

void QorCollectionView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    painter.fillRect(dirty, m_backgroundColor.isValid() ? m_backgroundColor : QColor(Qt::white));
    painter.setRenderHint(QPainter::Antialiasing);
    const bool background = isEnabledBackgroundSelection();
    auto drawMark = [&](const QRect &frame) {
        const QRect mark = frame.adjusted(
            background ? 5 : 3, background ? 5 : 3, background ? -5 : -3, background ? -5 : -3);
        if (!mark.intersects(dirty))
            return;
        QPainterPath path;
        path.addRoundedRect(QRectF(mark), 5, 5);
        if (background) {
            painter.fillPath(path, QColor(43, 43, 43));
        } else {
            painter.setPen(QPen(Qt::white, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path);
        }
    };
    if (!m_selection.isEmpty() && shoulDrawSelections()) {
        for (auto it = m_visible.cbegin(); it != m_visible.cend(); ++it) {
            if (m_selection.contains(it.key()))
                drawMark(it.value()->geometry());
        }
    }
    if (m_dragHoverIndex != QorNotFound && shoulDrawHover()) {
        QWidget *hovered = viewControllerForItemAtIndex(m_dragHoverIndex);
        drawMark(hovered ? hovered->geometry() : QRect());
    }
}

void QorCollectionView::markForRedraw(const QRect &viewRect)
{
    if (viewRect.isNull())
        return;
    const QRect rect = viewToViewport(viewRect).adjusted(-1, -1, 1, 1);
    if (m_redrawDepth > 0)
        m_pendingRedraw = m_pendingRedraw.united(rect);
    else
        viewport()->update(rect);
}

void QorCollectionView::markItemForRedraw(qint64 index)
{
    // Only placed cells carry a mark; the rest need no repaint.
    if (!m_itemRedrawSuspended && m_visible.contains(index))
        markForRedraw(layout().rectOfItemAtIndex(index));
}

// ---- Delegate forwarders ------------------------------------------------------

void QorCollectionView::delegateUpdateSelectionForItemAtIndex(qint64 index)
{
    if (m_delegate)
        m_delegate->updateViewControllerAsSelected(this, viewControllerForItemAtIndex(index), itemAt(index));
}

void QorCollectionView::delegateUpdateDeselectionForItemAtIndex(qint64 index)
{
    if (m_delegate)
        m_delegate->updateViewControllerAsDeselected(
            this, viewControllerForItemAtIndex(index), itemAt(index));
}

void QorCollectionView::delegateDidSelectItemAtIndex(qint64 index)
{
    if (m_delegate)
        m_delegate->didSelectItem(this, itemAt(index), viewControllerForItemAtIndex(index));
}

void QorCollectionView::delegateDidDeselectItemAtIndex(qint64 index)
{
    if (m_delegate)
        m_delegate->didDeselectItem(this, itemAt(index), viewControllerForItemAtIndex(index));
}

void QorCollectionView::delegateViewControllerBecameInvisibleAtIndex(qint64 index)
{
    if (m_delegate)
        m_delegate->viewControllerBecameInvisible(this, viewControllerForItemAtIndex(index));
}

void QorCollectionView::delegateCollectionViewSelectionDidChange()
{
    if (m_selectionChangedDisabled || !m_delegate)
        return;
    // Cancel a delivery still pending and ask again: the delegate hears of
    // the change once, after the current event has been handled.
    m_selectionChanged->cancel();
    m_selectionChanged->request();
}
