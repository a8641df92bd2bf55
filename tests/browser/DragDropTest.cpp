// SPDX-License-Identifier: GPL-3.0-or-later
// Dragging items out of the grid and dropping onto its items.

#include "CollectionTestSupport.h"

#include "platform/widgets/DragData.h"

#include <QDragEnterEvent>

using namespace collectiontest;

namespace {

struct RecordedDrag
{
    QString text;
    QSize imageSize;
    QPoint hotSpot;
    QObject *source = nullptr;
};

// Replaces the platform's drag loop for one test.
struct DragPerformer
{
    std::vector<RecordedDrag> drags;
    std::function<Qt::DropAction()> during;
    platform::DragData::Performer previous;

    DragPerformer()
    {
        previous = platform::DragData::setPerformer([this](const platform::DragData::Drag &drag) {
            drags.push_back({ drag.mimeData->text(), drag.image.size(), drag.hotSpot, drag.source });
            return during ? during() : Qt::CopyAction;
        });
    }
    ~DragPerformer() { platform::DragData::setPerformer(previous); }
};

// Drag events at a point in view coordinates; answers whether the view took it.
bool sendDrag(QorCollectionView &view, QEvent::Type type, QPoint viewPoint, const QMimeData *mime,
    Qt::DropAction *action = nullptr)
{
    const QPoint local = viewPoint - QPoint(0, view.verticalScrollBar()->value());
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    std::unique_ptr<QDropEvent> event;
    if (type == QEvent::DragEnter)
        event = std::make_unique<QDragEnterEvent>(local, actions, mime, Qt::LeftButton, Qt::NoModifier);
    else if (type == QEvent::DragMove)
        event = std::make_unique<QDragMoveEvent>(local, actions, mime, Qt::LeftButton, Qt::NoModifier);
    else
        event = std::make_unique<QDropEvent>(QPointF(local), actions, mime, Qt::LeftButton, Qt::NoModifier);
    event->setAccepted(false);
    QApplication::sendEvent(view.viewport(), event.get());
    if (action)
        *action = event->dropAction();
    return event->isAccepted();
}

void sendLeave(QorCollectionView &view)
{
    QDragLeaveEvent event;
    QApplication::sendEvent(view.viewport(), &event);
}

struct DropGrid : Grid
{
    DropGrid()
    {
        view.setAcceptsDrops(true);
        load(numberedItems(20));
    }
};

} // namespace

TEST(CollectionDrag, ASelectedItemIsDraggedOnlyPastThreePoints)
{
    DragPerformer performer;
    Grid grid;
    grid.delegate.canDrag = true;
    grid.load(numberedItems(20));
    const QPoint start = grid.centreOf(2);
    click(grid.view, start);
    press(grid.view, start);
    drag(grid.view, start + QPoint(2, 2)); // 2.8 points: not yet
    EXPECT_TRUE(performer.drags.empty());
    EXPECT_TRUE(grid.view.rubberBandRect().isEmpty());
    drag(grid.view, start + QPoint(3, 0) + QPoint(1, 0));
    ASSERT_EQ(performer.drags.size(), 1u);
    EXPECT_EQ(performer.drags[0].text, QStringLiteral("item2"));
    EXPECT_EQ(performer.drags[0].imageSize, QSize(100, 100));
    EXPECT_EQ(performer.drags[0].hotSpot, start - grid.view.rectOfItemAtIndex(2).topLeft());
    EXPECT_EQ(performer.drags[0].source, &grid.view);
    EXPECT_FALSE(grid.view.isDragging());

    // The whole selection travels.
    click(grid.view, grid.centreOf(3), Qt::ControlModifier);
    press(grid.view, grid.centreOf(3));
    drag(grid.view, grid.centreOf(3) + QPoint(20, 20));
    ASSERT_EQ(performer.drags.size(), 2u);
    EXPECT_EQ(performer.drags[1].text, QStringLiteral("item2,item3"));
}

TEST(CollectionDrag, WithoutTheDelegatesConsentTheMouseDrawsARubberBand)
{
    DragPerformer performer;
    Grid grid;
    grid.load(numberedItems(20));
    click(grid.view, grid.centreOf(0));
    press(grid.view, grid.centreOf(0));
    drag(grid.view, grid.centreOf(5));
    release(grid.view, grid.centreOf(5));
    EXPECT_TRUE(performer.drags.empty());
    EXPECT_EQ(grid.selection(), (std::vector<qint64> { 0, 1, 4, 5 }));
}

TEST(CollectionDrop, DropsFromElsewhereLandOnItemsTheDelegateAccepts)
{
    DropGrid grid;
    grid.delegate.dropOn = [](qint64 index) { return index == 2 || index == 6; };
    QMimeData mime;
    mime.setText(QStringLiteral("payload"));
    Qt::DropAction action = Qt::IgnoreAction;

    sendDrag(grid.view, QEvent::DragEnter, grid.centreOf(5), &mime, &action);
    EXPECT_EQ(action, Qt::IgnoreAction);
    EXPECT_EQ(grid.view.dragHoverIndex(), QorNotFound);
    EXPECT_TRUE(sendDrag(grid.view, QEvent::DragMove, grid.centreOf(2), &mime, &action));
    EXPECT_EQ(action, Qt::CopyAction);
    EXPECT_EQ(grid.view.dragHoverIndex(), 2);
    // A refused spot answers no, but the item stays hovered until the pointer leaves all items.
    EXPECT_FALSE(sendDrag(grid.view, QEvent::DragMove, grid.centreOf(5), &mime));
    EXPECT_EQ(grid.view.dragHoverIndex(), 2);
    grid.delegate.log.clear();
    EXPECT_TRUE(sendDrag(grid.view, QEvent::DragMove, grid.centreOf(6), &mime));
    EXPECT_EQ(grid.delegate.log, (std::vector<QString> { "hover exit item2", "hover enter item6" }));

    EXPECT_TRUE(sendDrag(grid.view, QEvent::Drop, grid.centreOf(6), &mime, &action));
    EXPECT_EQ(action, Qt::CopyAction);
    ASSERT_EQ(grid.delegate.droppedItems.size(), 1u);
    EXPECT_EQ(grid.delegate.droppedItems[0], QVariant(QStringLiteral("item6")));
    EXPECT_EQ(grid.delegate.droppedControllers[0], grid.view.viewControllerForItemAtIndex(6));
    EXPECT_EQ(grid.delegate.droppedTexts[0], QStringLiteral("payload"));
    EXPECT_EQ(grid.delegate.dragsEnded, 1);
    EXPECT_EQ(grid.view.dragHoverIndex(), QorNotFound);

    // Leaving the view ends the hover and the drag.
    sendDrag(grid.view, QEvent::DragEnter, grid.centreOf(2), &mime);
    EXPECT_EQ(grid.view.dragHoverIndex(), 2);
    sendLeave(grid.view);
    EXPECT_EQ(grid.view.dragHoverIndex(), QorNotFound);
    EXPECT_EQ(grid.delegate.dragsExited, 1);
    EXPECT_EQ(grid.delegate.dragsEnded, 2);
}

TEST(CollectionDrop, ADropWithNoHoverPassesNoItem)
{
    DropGrid grid;
    grid.delegate.dropOn = [](qint64) { return true; };
    QMimeData mime;
    mime.setText(QStringLiteral("payload"));
    sendDrag(grid.view, QEvent::DragEnter, QPoint(105, 50), &mime); // between items
    EXPECT_TRUE(sendDrag(grid.view, QEvent::Drop, QPoint(105, 50), &mime));
    ASSERT_EQ(grid.delegate.droppedItems.size(), 1u);
    EXPECT_FALSE(grid.delegate.droppedItems[0].isValid());
    EXPECT_EQ(grid.delegate.droppedControllers[0], nullptr);
}

TEST(CollectionDrop, ADropCarryingNothingIsRefused)
{
    DropGrid grid;
    grid.delegate.dropOn = [](qint64) { return true; };
    QMimeData nothing;
    QMimeData noFiles;
    noFiles.setData(QStringLiteral("text/uri-list"), QByteArray());
    for (const QMimeData *mime : { &nothing, &noFiles }) {
        sendDrag(grid.view, QEvent::DragEnter, grid.centreOf(2), mime);
        EXPECT_EQ(grid.view.dragHoverIndex(), 2);
        EXPECT_FALSE(sendDrag(grid.view, QEvent::Drop, grid.centreOf(2), mime));
        EXPECT_EQ(grid.view.dragHoverIndex(), QorNotFound);
    }
    EXPECT_TRUE(grid.delegate.droppedItems.empty());
    EXPECT_EQ(grid.delegate.dragsEnded, 2);
}

TEST(CollectionDrop, WithTheOwnersSwitchOffNothingIsAccepted)
{
    DropGrid grid;
    QMimeData mime;
    mime.setText(QStringLiteral("payload"));
    Qt::DropAction action = Qt::CopyAction;
    sendDrag(grid.view, QEvent::DragEnter, grid.centreOf(2), &mime, &action);
    EXPECT_EQ(action, Qt::IgnoreAction);
    EXPECT_FALSE(sendDrag(grid.view, QEvent::DragMove, grid.centreOf(2), &mime));
    EXPECT_EQ(grid.view.dragHoverIndex(), QorNotFound);
    EXPECT_TRUE(grid.view.viewport()->acceptDrops());

    QorCollectionView plain;
    EXPECT_FALSE(plain.viewport()->acceptDrops()) << "the view never registers itself";
}

TEST(CollectionDrop, DraggingWithinTheViewMovesOntoUnselectedItemsOnly)
{
    DragPerformer performer;
    DropGrid grid;
    grid.delegate.canDrag = true;
    grid.delegate.dropOn = [](qint64) { return true; };
    Qt::DropAction onSelected = Qt::CopyAction;
    Qt::DropAction onOther = Qt::IgnoreAction;
    qint64 hoverOnSelected = 0;
    bool dropped = false;
    performer.during = [&] {
        QMimeData mime;
        mime.setText(QStringLiteral("inner"));
        sendDrag(grid.view, QEvent::DragEnter, grid.centreOf(3), &mime, &onSelected);
        hoverOnSelected = grid.view.dragHoverIndex();
        sendDrag(grid.view, QEvent::DragMove, grid.centreOf(7), &mime, &onOther);
        dropped = sendDrag(grid.view, QEvent::Drop, grid.centreOf(7), &mime);
        return Qt::MoveAction;
    };
    click(grid.view, grid.centreOf(2));
    click(grid.view, grid.centreOf(3), Qt::ControlModifier);
    press(grid.view, grid.centreOf(2));
    drag(grid.view, grid.centreOf(2) + QPoint(30, 0));
    ASSERT_EQ(performer.drags.size(), 1u);
    EXPECT_EQ(onSelected, Qt::IgnoreAction);
    EXPECT_EQ(hoverOnSelected, QorNotFound);
    EXPECT_EQ(onOther, Qt::MoveAction);
    EXPECT_TRUE(dropped);
    ASSERT_EQ(grid.delegate.droppedItems.size(), 1u);
    EXPECT_EQ(grid.delegate.droppedItems[0], QVariant(QStringLiteral("item7")));
}
