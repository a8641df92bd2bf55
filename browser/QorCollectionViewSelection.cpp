// SPDX-License-Identifier: GPL-3.0-or-later
// Selection, keyboard, mouse and zoom of QorCollectionView.

#include "browser/QorCollectionView.h"

#include "browser/QorCollectionViewParts.h"
#include "platform/MainQueue.h"
#include "platform/Settings.h"
#include "platform/Timer.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace {

// The type-to-select buffer empties this long after the last keystroke.
constexpr int KeyBufferLifetimeMs = 1000;
// A press on a selected, draggable item becomes a drag past this distance.
constexpr double DragThreshold = 3.0;
// Ctrl and one wheel notch zoom like a pinch of this magnification.
constexpr double WheelMagnification = 0.1;

} // namespace

// ---- Selection -------------------------------------------------------------

void QorCollectionView::selectItemAtIndex(qint64 index, bool inBulk)
{
    if (index < 0 || index >= itemCount())
        return;
    if (!m_delegate
        || m_delegate->shouldSelectItem(this, itemAt(index), viewControllerForItemAtIndex(index))) {
        m_selection.insert(index);
        delegateUpdateSelectionForItemAtIndex(index);
        delegateDidSelectItemAtIndex(index);
        if (!inBulk)
            delegateCollectionViewSelectionDidChange();
        if (shoulDrawSelections())
            markItemForRedraw(index);
    }
    if (!inBulk)
        m_lastSelectionIndex = index;
}

void QorCollectionView::selectItemsAtIndexes(const QorIndexSet &indexes)
{
    RedrawBatch batch(this);
    indexes.forEach([this](qint64 index) { selectItemAtIndex(index, true); });
    if (!indexes.isEmpty())
        m_lastSelectionIndex = indexes.first();
    delegateCollectionViewSelectionDidChange();
}

void QorCollectionView::deselectItemAtIndex(qint64 index, bool inBulk)
{
    if (index < 0 || index >= itemCount())
        return;
    m_selection.remove(index);
    if (shoulDrawSelections())
        markItemForRedraw(index);
    if (!inBulk)
        delegateCollectionViewSelectionDidChange();
    delegateDidDeselectItemAtIndex(index);
    delegateUpdateDeselectionForItemAtIndex(index);
}

void QorCollectionView::deselectItemsAtIndexes(const QorIndexSet &indexes)
{
    RedrawBatch batch(this);
    indexes.forEach([this](qint64 index) { deselectItemAtIndex(index, true); });
    delegateCollectionViewSelectionDidChange();
}

void QorCollectionView::deselectAllItems()
{
    const QorIndexSet snapshot = m_selection;
    deselectItemsAtIndexes(snapshot);
}

void QorCollectionView::selectAll()
{
    selectItemsAtIndexes(QorIndexSet(QorRange { 0, itemCount() }));
}

void QorCollectionView::simpleSelectItemAtIndex(qint64 index)
{
    if (index == QorNotFound)
        return;
    deselectAllItems();
    selectItemAtIndex(index);
    scrollRectToVisible(rectOfItemAtIndex(index));
}

void QorCollectionView::simpleExtendSelectionRange(QorRange range, qint64 index)
{
    if (!isEnabledMultipleSelection() || index == QorNotFound)
        return;
    if (m_selection.contains(index)) {
        QorIndexSet others(range);
        others.remove(index);
        deselectItemsAtIndexes(others);
    } else {
        selectItemsAtIndexes(QorIndexSet(range));
    }
    m_lastSelectionIndex = index;
    scrollRectToVisible(rectOfItemAtIndex(index));
}

bool QorCollectionView::shiftOrCommandKeyPressed(Qt::KeyboardModifiers modifiers) const
{
    if (!isEnabledMultipleSelection())
        return false;
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
}

QRect QorCollectionView::rubberBandRect() const
{
    const QPoint a = m_mouseDownLocation;
    const QPoint b = m_mouseDraggedLocation;
    return QRect(
        std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(a.x() - b.x()), std::abs(a.y() - b.y()));
}

// ---- Keyboard ----------------------------------------------------------------

void QorCollectionView::moveLeft()
{
    if (m_lastSelectionIndex > 0)
        simpleSelectItemAtIndex(m_lastSelectionIndex - 1);
}

void QorCollectionView::moveRight()
{
    if (itemCount() > 0)
        simpleSelectItemAtIndex(std::min(m_lastSelectionIndex + 1, itemCount() - 1));
}

void QorCollectionView::moveUp()
{
    const QPoint position = layout().rowAndColumnPositionOfItemAtIndex(m_lastSelectionIndex);
    simpleSelectItemAtIndex(layout().indexOfItemAtRow(position.y() - 1, position.x()));
}

void QorCollectionView::moveDown()
{
    const QPoint position = layout().rowAndColumnPositionOfItemAtIndex(m_lastSelectionIndex);
    simpleSelectItemAtIndex(layout().indexOfItemAtRow(position.y() + 1, position.x()));
}

void QorCollectionView::moveLeftAndModifySelection()
{
    const qint64 a = m_lastSelectionIndex;
    if (a > 0)
        simpleExtendSelectionRange(QorRange { a - 1, 2 }, a - 1);
}

void QorCollectionView::moveRightAndModifySelection()
{
    const qint64 a = m_lastSelectionIndex;
    if (itemCount() > 0)
        simpleExtendSelectionRange(QorRange { a, 2 }, std::min(a + 1, itemCount() - 1));
}

void QorCollectionView::moveUpAndModifySelection()
{
    const qint64 a = m_lastSelectionIndex;
    const QPoint position = layout().rowAndColumnPositionOfItemAtIndex(a);
    qint64 t = layout().indexOfItemAtRow(position.y() - 1, position.x());
    if (t == QorNotFound)
        t = 0;
    if (t > a)
        return;
    const QorRange range = m_selection.contains(t) ? QorRange { t + 1, a - t } : QorRange { t, a - t };
    simpleExtendSelectionRange(range, t);
}

void QorCollectionView::moveDownAndModifySelection()
{
    const qint64 a = m_lastSelectionIndex;
    const QPoint position = layout().rowAndColumnPositionOfItemAtIndex(a);
    qint64 t = layout().indexOfItemAtRow(position.y() + 1, position.x());
    if (t == QorNotFound)
        t = itemCount() - 1;
    if (t < a)
        return;
    const QorRange range = m_selection.contains(t) ? QorRange { a, t - a } : QorRange { a, t - a + 1 };
    simpleExtendSelectionRange(range, t);
}

void QorCollectionView::deleteBackward()
{
    if (m_delegate) {
        const QorIndexSet selection = m_selection;
        m_delegate->deleteItemsAtIndexes(this, selection);
    }
}

void QorCollectionView::deleteForward()
{
    deleteBackward();
}

qint64 QorCollectionView::firstItemNamed(const QString &prefix) const
{
    // On this thread alone, from the first item: a look through names is
    // quick, and a wait for Qt's global pool lasts as long as whatever holds
    // its threads (one, on a machine of one processor).
    auto *self = const_cast<QorCollectionView *>(this);
    for (qint64 i = 0; i < itemCount(); ++i) {
        if (m_delegate->nameOfItemStartsWith(self, m_items.at(i), prefix).value_or(false))
            return i;
    }
    return QorNotFound;
}

bool QorCollectionView::insertText(const QString &text)
{
    if (!m_delegate || itemCount() == 0)
        return false;
    const QString buffer = (m_accumulatedKeyStrokes + text).toLower();
    // The first item's answer tells whether the delegate selects by name at all.
    const std::optional<bool> first = m_delegate->nameOfItemStartsWith(this, m_items.at(0), buffer);
    if (!first)
        return false;

    m_keyBufferToken = std::make_unique<QObject>();
    platform::MainQueue::after(
        KeyBufferLifetimeMs, m_keyBufferToken.get(), [this] { clearAccumulatedBuffer(); });
    m_accumulatedKeyStrokes = buffer;

    const qint64 match = *first ? 0 : firstItemNamed(buffer);
    if (match == QorNotFound)
        return true;
    deselectAllItems();
    selectItemAtIndex(match);
    if (m_contentHeight > viewport()->height()) {
        const QRect rect = rectOfItemAtIndex(match);
        verticalScrollBar()->setValue(std::min(rect.y(), m_contentHeight - viewport()->height()));
    }
    return true;
}

void QorCollectionView::keyPressEvent(QKeyEvent *event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        shift ? moveLeftAndModifySelection() : moveLeft();
        return;
    case Qt::Key_Right:
        shift ? moveRightAndModifySelection() : moveRight();
        return;
    case Qt::Key_Up:
        shift ? moveUpAndModifySelection() : moveUp();
        return;
    case Qt::Key_Down:
        shift ? moveDownAndModifySelection() : moveDown();
        return;
    case Qt::Key_Backspace:
        deleteBackward();
        return;
    case Qt::Key_Delete:
        deleteForward();
        return;
    default:
        break;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const QString text = event->text();
    const bool typed = !text.isEmpty() && text.at(0).isPrint()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (typed && insertText(text))
        return;
    QAbstractScrollArea::keyPressEvent(event);
}

// Focus that comes and goes with the window's activation or a popup is
// not the view gaining or losing its place as the keyboard's target.
static bool movesKeyboardTarget(const QFocusEvent *event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

void QorCollectionView::focusInEvent(QFocusEvent *event)
{
    if (movesKeyboardTarget(event) && m_delegate)
        m_delegate->collectionViewBecameFirstResponder(this);
    QAbstractScrollArea::focusInEvent(event);
}

void QorCollectionView::focusOutEvent(QFocusEvent *event)
{
    if (movesKeyboardTarget(event) && m_delegate)
        m_delegate->collectionViewLostFirstResponder(this);
    QAbstractScrollArea::focusOutEvent(event);
}

// ---- Mouse -------------------------------------------------------------------

// Mouse events may come through a cell that moved or was parked since the
// press, so positions are taken from the screen, not from the event's widget.
static QPoint viewportPosition(QWidget *viewport, const QMouseEvent *event)
{
    return viewport->mapFromGlobal(event->globalPosition().toPoint());
}

void QorCollectionView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    handleMouseDown(viewportToView(viewportPosition(viewport(), event)), event->modifiers(), true, 1);
}

void QorCollectionView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    handleMouseDown(viewportToView(viewportPosition(viewport(), event)), event->modifiers(), true, 2);
}

void QorCollectionView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    m_lastDragGlobalPos = event->globalPosition().toPoint();
    m_lastDragModifiers = event->modifiers();
    handleMouseDragged(viewportPosition(viewport(), event), event->modifiers());
}

void QorCollectionView::mouseReleaseEvent(QMouseEvent *)
{
    handleMouseUp();
}

void QorCollectionView::handleMouseDown(
    QPoint point, Qt::KeyboardModifiers modifiers, bool leftButton, int clickCount)
{
    setFocus(Qt::MouseFocusReason);
    m_isDragging = true;
    m_mouseDownLocation = point;
    m_mouseDraggedLocation = point;

    qint64 index = layout().indexOfItemContentRectAtPoint(point);
    if (index >= itemCount())
        index = QorNotFound;
    if (index == QorNotFound && !isEnabledEmptySelection())
        return;
    if (index != QorNotFound && m_delegate)
        m_delegate->didClickItem(this, itemAt(index), viewControllerForItemAtIndex(index));

    const bool extending = shiftOrCommandKeyPressed(modifiers);
    if (!extending && !m_selection.contains(index))
        deselectAllItems();
    m_originalSelection = m_selection;

    if (leftButton && clickCount == 2 && m_delegate)
        m_delegate->didDoubleClickViewControllerAtIndex(this, viewControllerForItemAtIndex(index));

    if (extending && m_originalSelection.contains(index)) {
        deselectItemAtIndex(index);
        return;
    }
    if (!(modifiers & Qt::ControlModifier) && !m_originalSelection.isEmpty()) {
        // A plain press on a selected item keeps the selection, so it can be dragged.
        if (!(modifiers & Qt::ShiftModifier) || index == QorNotFound)
            return;
        const qint64 last = m_originalSelection.last();
        selectItemsAtIndexes(last < index ? QorIndexSet(QorRange { last, index - last + 1 })
                                          : QorIndexSet(QorRange { index, last - index }));
        return;
    }
    selectItemAtIndex(index);
}

void QorCollectionView::handleMouseDragged(QPoint viewportPoint, Qt::KeyboardModifiers modifiers)
{
    autoscroll(viewportPoint);
    if (!m_isDragging)
        return;
    const QPoint point = viewportToView(viewportPoint);
    const qint64 pressed = layout().indexOfItemContentRectAtPoint(m_mouseDownLocation);
    if (pressed != QorNotFound && pressed < itemCount() && !m_selection.isEmpty() && m_delegate
        && m_delegate->canDragItemsAtIndexes(this, m_selection)) {
        const QPointF moved = point - m_mouseDownLocation;
        if (std::hypot(moved.x(), moved.y()) > DragThreshold)
            initiateDraggingSession();
        return;
    }
    regularMouseDragged(point, modifiers);
}

void QorCollectionView::regularMouseDragged(QPoint point, Qt::KeyboardModifiers modifiers)
{
    RedrawBatch batch(this);
    const QorIndexSet before = m_selection;
    m_selectionChangedDisabled = true;
    // Each step re-derives the whole selection; only the cells whose mark
    // actually changed are repainted afterwards.
    m_itemRedrawSuspended = true;
    deselectAllItems();
    const bool extending = shiftOrCommandKeyPressed(modifiers);
    if (extending)
        m_originalSelection.forEach([this](qint64 index) { selectItemAtIndex(index); });

    m_mouseDraggedLocation = point;
    const QRect band = rubberBandRect();
    for (qint64 index : indexesOfItemContentRectsInRect(band)) {
        if (extending && m_originalSelection.contains(index))
            deselectItemAtIndex(index);
        else
            selectItemAtIndex(index);
    }
    m_itemRedrawSuspended = false;
    for (auto it = m_visible.cbegin(); it != m_visible.cend(); ++it) {
        if (before.contains(it.key()) != m_selection.contains(it.key()))
            markItemForRedraw(it.key());
    }
    m_overlay->show(viewToViewport(band));
    m_selectionChangedDisabled = false;
    if (!(m_selection == before))
        delegateCollectionViewSelectionDidChange();
}

void QorCollectionView::handleMouseUp()
{
    m_overlay->hide();
    m_mouseDownLocation = QPoint();
    m_mouseDraggedLocation = QPoint();
    m_isDragging = false;
    m_originalSelection.clear();
    m_autoscrollTimer->stop();
}

void QorCollectionView::autoscroll(QPoint viewportPoint)
{
    int by = 0;
    if (viewportPoint.y() < 0)
        by = viewportPoint.y();
    else if (viewportPoint.y() >= viewport()->height())
        by = viewportPoint.y() - viewport()->height() + 1;
    if (by != 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + by);
    // While the pointer stays outside, keep scrolling without waiting for it to move.
    if (by != 0 && m_isDragging) {
        if (!m_autoscrollTimer->isActive())
            m_autoscrollTimer->start();
    } else {
        m_autoscrollTimer->stop();
    }
}

void QorCollectionView::autoscrollTick()
{
    if (!m_isDragging) {
        m_autoscrollTimer->stop();
        return;
    }
    handleMouseDragged(viewport()->mapFromGlobal(m_lastDragGlobalPos), m_lastDragModifiers);
}

void QorCollectionView::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Mouse) {
        handleMouseDown(viewportToView(event->pos()), event->modifiers(), false, 1);
        handleMouseUp();
    }
    QMenu *menu = m_delegate ? m_delegate->menuForItemsAtIndexes(this, m_selection) : nullptr;
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// ---- Zoom --------------------------------------------------------------------

void QorCollectionView::registerForZoomValueChangesInDefaultsForKey(const QString &key)
{
    m_zoomKey = key;
}

void QorCollectionView::zoomValueDidChange()
{
    // The first item in view stays where it is on the screen, so zooming
    // deep inside a large grid does not land among other items.
    const std::vector<qint64> shown = indexesOfItemsInRect(visibleRect());
    const qint64 anchor = shown.empty() ? QorNotFound : shown.front();
    const int offset = shown.empty() ? 0 : rectOfItemAtIndex(anchor).y() - visibleRect().y();
    softReloadDataWithCompletionBlock([this, anchor, offset] {
        if (anchor != QorNotFound && anchor < itemCount())
            verticalScrollBar()->setValue(rectOfItemAtIndex(anchor).y() - offset);
        if (m_delegate)
            m_delegate->collectionViewDidZoom(this);
    });
}

void QorCollectionView::magnify(double magnification)
{
    if (m_zoomKey.isEmpty() || !m_delegate)
        return;
    const std::optional<QorRange> range = m_delegate->validScalingRangeForCollectionView(this);
    if (!range)
        return;
    const qint64 zoom = platform::Settings::intValue(m_zoomKey).value_or(0);
    const double scaled = std::clamp((magnification + 1.0) * double(zoom), double(range->location),
        double(range->location + range->length));
    platform::Settings::setInt(m_zoomKey, qint64(scaled));
    zoomValueDidChange();
    m_lastPinchMagnification = magnification;
}

bool QorCollectionView::handleZoomEvent(QEvent *event)
{
    if (m_zoomKey.isEmpty())
        return false;
    if (event->type() == QEvent::NativeGesture) {
        auto *gesture = static_cast<QNativeGestureEvent *>(event);
        switch (gesture->gestureType()) {
        case Qt::ZoomNativeGesture:
            magnify(gesture->value());
            break;
        case Qt::EndNativeGesture:
            m_lastPinchMagnification = 0;
            break;
        default:
            return false;
        }
        event->accept();
        return true;
    }
    if (event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier) || wheel->angleDelta().y() == 0)
            return false;
        magnify(wheel->angleDelta().y() / 120.0 * WheelMagnification);
        event->accept();
        return true;
    }
    return false;
}

bool QorCollectionView::viewportEvent(QEvent *event)
{
    if (handleZoomEvent(event))
        return true;
    return QAbstractScrollArea::viewportEvent(event);
}

bool QorCollectionView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::NativeGesture && handleZoomEvent(event))
        return true;
    return QAbstractScrollArea::eventFilter(watched, event);
}
