// SPDX-License-Identifier: GPL-3.0-or-later
// Drag and drop of QorCollectionView: dragging the selection out, and
// drops that land on one item. Both sides are off until the delegate
// answers for them; dropping also needs setAcceptsDrops(true).

#include "browser/QorCollectionView.h"

#include "browser/QorCollectionViewParts.h"
#include "platform/widgets/DragData.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPointer>

void QorCollectionView::setAcceptsDrops(bool on)
{
    viewport()->setAcceptDrops(on);
}

void QorCollectionView::initiateDraggingSession()
{
    const qint64 index = layout().indexOfItemAtPoint(m_mouseDownLocation);
    selectItemAtIndex(index);
    const QRect rect = rectOfItemAtIndex(index);

    platform::DragData::Drag drag;
    drag.source = this;
    drag.image = platform::DragData::translucentGrab(viewControllerForItemAtIndex(index));
    drag.hotSpot = m_mouseDownLocation - rect.topLeft();
    drag.actions = Qt::CopyAction | Qt::MoveAction;
    drag.defaultAction = Qt::CopyAction;
    drag.mimeData = new QMimeData;
    if (m_delegate)
        m_delegate->writeItemsAtIndexes(this, QorIndexSet(m_selection), drag.mimeData);

    // The drag loop takes the release of the button: end the press here.
    handleMouseUp();
    QPointer<QorCollectionView> alive(this);
    m_dragSessionActive = true;
    platform::DragData::exec(drag);
    if (alive)
        m_dragSessionActive = false;
}

QorDragInfo QorCollectionView::dragInfo(const QDropEvent *event) const
{
    QorDragInfo info;
    info.mimeData = event->mimeData();
    info.location = viewportToView(event->position().toPoint());
    info.source = event->source();
    info.possibleActions = event->possibleActions();
    return info;
}

Qt::DropAction QorCollectionView::draggingUpdated(const QorDragInfo &info)
{
    if (m_dragHoverIndex != QorNotFound)
        markForRedraw(rectOfItemAtIndex(m_dragHoverIndex));
    qint64 index = layout().indexOfItemAtPoint(info.location);
    if (index >= itemCount())
        index = QorNotFound;
    auto validates = [&] { return m_delegate && m_delegate->validateDrop(this, info, index); };

    Qt::DropAction answer = Qt::IgnoreAction;
    const bool fromHere = m_dragSessionActive || info.source == this;
    if (fromHere) {
        if (!m_selection.contains(index) && validates()) {
            setDragHoverIndex(index);
            answer = Qt::MoveAction;
        } else {
            setDragHoverIndex(QorNotFound);
        }
    } else if (validates()) {
        setDragHoverIndex(index);
        answer = Qt::CopyAction;
    }
    if (m_dragHoverIndex != QorNotFound)
        markForRedraw(rectOfItemAtIndex(m_dragHoverIndex));
    return answer;
}

void QorCollectionView::setDragHoverIndex(qint64 index)
{
    if (index == m_dragHoverIndex)
        return;
    if (m_dragHoverIndex != QorNotFound)
        markForRedraw(rectOfItemAtIndex(m_dragHoverIndex));
    if (m_delegate)
        m_delegate->dragExitedViewController(this, viewControllerForItemAtIndex(m_dragHoverIndex));
    m_dragHoverIndex = index;
    if (m_delegate)
        m_delegate->dragEnteredViewController(this, viewControllerForItemAtIndex(index));
    if (index != QorNotFound)
        markForRedraw(rectOfItemAtIndex(index));
}

void QorCollectionView::dragEnterEvent(QDragEnterEvent *event)
{
    const QorDragInfo info = dragInfo(event);
    m_lastDragInfo = info;
    m_currentDragMime = info.mimeData;
    std::optional<Qt::DropAction> answer;
    if (m_delegate)
        answer = m_delegate->draggingEntered(this, info);
    const Qt::DropAction action = answer ? *answer : draggingUpdated(info);
    // Accepted whatever the answer, so that moves keep coming: the answer
    // may change from item to item.
    event->setDropAction(action);
    event->accept();
}

void QorCollectionView::dragMoveEvent(QDragMoveEvent *event)
{
    const QorDragInfo info = dragInfo(event);
    m_lastDragInfo = info;
    const Qt::DropAction action = draggingUpdated(info);
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void QorCollectionView::dragLeaveEvent(QDragLeaveEvent *event)
{
    // The pointer left the view, so it lies on no item.
    QorDragInfo info = m_lastDragInfo;
    info.mimeData = m_currentDragMime;
    setDragHoverIndex(QorNotFound);
    if (m_delegate)
        m_delegate->draggingExited(this, info);
    draggingEnded();
    event->accept();
}

void QorCollectionView::dropEvent(QDropEvent *event)
{
    const QorDragInfo info = dragInfo(event);
    m_lastDragInfo = info;
    const QMimeData *mime = event->mimeData();
    // A drop that carries nothing (or an empty list of files) is refused
    // before anyone reads its first entry.
    const bool empty = !mime || mime->formats().isEmpty()
        || (mime->hasFormat(QStringLiteral("text/uri-list")) && mime->urls().isEmpty());
    bool done = false;
    if (!empty && m_delegate) {
        const bool onItem = m_dragHoverIndex >= 0 && m_dragHoverIndex < itemCount();
        done = m_delegate->performDragOperation(this, info, viewControllerForItemAtIndex(m_dragHoverIndex),
            onItem ? itemAt(m_dragHoverIndex) : QVariant());
    }
    if (done) {
        const bool fromHere = m_dragSessionActive || info.source == this;
        event->setDropAction(fromHere ? Qt::MoveAction : Qt::CopyAction);
        event->accept();
    } else
        event->ignore();
    draggingEnded();
}

void QorCollectionView::draggingEnded()
{
    QorDragInfo info = m_lastDragInfo;
    info.mimeData = m_currentDragMime;
    setDragHoverIndex(QorNotFound);
    if (m_delegate)
        m_delegate->draggingEnded(this, info);
    m_currentDragMime = nullptr;
}
