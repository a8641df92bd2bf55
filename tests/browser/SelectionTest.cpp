// SPDX-License-Identifier: GPL-3.0-or-later
// Selection by mouse and keyboard, type-to-select, the context menu and zoom,
// driven by synthesised events.

#include "CollectionTestSupport.h"

#include "platform/Clock.h"

#include <QContextMenuEvent>
#include <QNativeGestureEvent>
#include <QTest>
#include <QWheelEvent>

using namespace collectiontest;

namespace {

using Indexes = std::vector<qint64>;

// 20 items in five rows of four; item i sits at column i % 4, row i / 4.
struct SelectionGrid : Grid
{
    SelectionGrid() { load(numberedItems(20)); }
};

// Between the first two columns of row r.
QPoint gapInRow(int row)
{
    return QPoint(105, 50 + 100 * row);
}

struct ManualClock
{
    ManualClock() { platform::Clock::setManual(true); }
    ~ManualClock() { platform::Clock::setManual(false); }
};

} // namespace

TEST(CollectionSelection, AClickSelectsOneItemAndAClickBetweenItemsEmptiesIt)
{
    SelectionGrid grid;
    click(grid.view, grid.centreOf(1));
    EXPECT_EQ(grid.selection(), Indexes { 1 });
    grid.delegate.log.clear();
    click(grid.view, grid.centreOf(6));
    EXPECT_EQ(grid.selection(), Indexes { 6 });
    // Deselecting reports before it unmarks; selecting marks before it reports.
    EXPECT_EQ(grid.delegate.log,
        (std::vector<QString> { "deselect item1", "unmark item1", "mark item6", "select item6" }));
    click(grid.view, gapInRow(0));
    EXPECT_EQ(grid.selection(), Indexes {});

    grid.delegate.emptySelection = false;
    click(grid.view, grid.centreOf(3));
    click(grid.view, gapInRow(0));
    EXPECT_EQ(grid.selection(), Indexes { 3 });
}

TEST(CollectionSelection, ControlClickTogglesShiftClickExtendsOrDeselects)
{
    SelectionGrid grid;
    click(grid.view, grid.centreOf(1));
    click(grid.view, grid.centreOf(3), Qt::ControlModifier);
    EXPECT_EQ(grid.selection(), (Indexes { 1, 3 }));
    click(grid.view, grid.centreOf(1), Qt::ControlModifier);
    EXPECT_EQ(grid.selection(), Indexes { 3 });
    // Below the selection: through the clicked item.
    click(grid.view, grid.centreOf(9), Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), (Indexes { 3, 4, 5, 6, 7, 8, 9 }));
    click(grid.view, grid.centreOf(5), Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), (Indexes { 3, 4, 6, 7, 8, 9 }));
    // Above it: from the clicked item up to the last selected one.
    click(grid.view, grid.centreOf(1), Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), (Indexes { 1, 2, 3, 4, 5, 6, 7, 8, 9 }));
    // A plain click on a selected item keeps the selection (it may be dragged).
    click(grid.view, grid.centreOf(4));
    EXPECT_EQ(grid.selection().size(), 9u);
}

TEST(CollectionSelection, WithoutMultipleSelectionModifiedClicksArePlainClicks)
{
    SelectionGrid grid;
    grid.delegate.multipleSelection = false;
    click(grid.view, grid.centreOf(1));
    click(grid.view, grid.centreOf(3), Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), Indexes { 3 });
    click(grid.view, grid.centreOf(3), Qt::ControlModifier);
    EXPECT_EQ(grid.selection(), Indexes { 3 });
    click(grid.view, grid.centreOf(3), Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), Indexes { 3 });
    click(grid.view, grid.centreOf(5), Qt::ControlModifier);
    EXPECT_EQ(grid.selection(), Indexes { 5 });
}

TEST(CollectionSelection, ADoubleClickIsReportedOnceAtTheSecondPress)
{
    SelectionGrid grid;
    const QPoint at = grid.centreOf(2);
    click(grid.view, at);
    sendMouse(grid.view, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    release(grid.view, at);
    ASSERT_EQ(grid.delegate.doubleClicked.size(), 1u);
    EXPECT_EQ(grid.delegate.doubleClicked[0], grid.view.viewControllerForItemAtIndex(2));
    click(grid.view, at); // the third press of a triple click
    EXPECT_EQ(grid.delegate.doubleClicked.size(), 1u);
    EXPECT_EQ(grid.selection(), Indexes { 2 });
}

TEST(CollectionSelection, TheSelectionChangeIsAnnouncedAfterTheEventOncePerPass)
{
    SelectionGrid grid;
    QCoreApplication::processEvents();
    grid.delegate.selectionChanges = 0;
    click(grid.view, grid.centreOf(1));
    click(grid.view, grid.centreOf(2), Qt::ControlModifier);
    EXPECT_EQ(grid.delegate.selectionChanges, 0) << "announced inside the event";
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.delegate.selectionChanges, 1);
}

TEST(CollectionSelection, TheRubberBandSelectsWhatItTouches)
{
    SelectionGrid grid;
    QCoreApplication::processEvents();
    grid.delegate.selectionChanges = 0;
    press(grid.view, gapInRow(0));
    drag(grid.view, QPoint(200, 120));
    drag(grid.view, QPoint(330, 250));
    EXPECT_EQ(grid.view.rubberBandRect(), QRect(105, 50, 225, 200));
    // Columns 1 and 2 of the first three rows: column 3 starts at 330.
    EXPECT_EQ(grid.selection(), (Indexes { 1, 2, 5, 6, 9, 10 }));
    EXPECT_EQ(grid.delegate.selectionChanges, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.delegate.selectionChanges, 1);
    // Shrinking the band gives items back.
    drag(grid.view, QPoint(200, 120));
    EXPECT_EQ(grid.selection(), (Indexes { 1, 5 }));
    drag(grid.view, QPoint(330, 250));
    release(grid.view, QPoint(330, 250));
    EXPECT_TRUE(grid.view.rubberBandRect().isEmpty());
    EXPECT_FALSE(grid.view.isDragging());

    // With Control the band toggles against the selection at the press.
    press(grid.view, gapInRow(1), Qt::ControlModifier);
    drag(grid.view, QPoint(215, 295), Qt::ControlModifier);
    release(grid.view, QPoint(215, 295), Qt::ControlModifier);
    EXPECT_EQ(grid.selection(), (Indexes { 1, 2, 6, 10 }));
}

TEST(CollectionSelection, TheRubberBandScrollsPastTheEdgeAndKeepsSelecting)
{
    ManualClock clock; // the repeating autoscroll waits for the clock
    Grid grid;
    grid.load(numberedItems(400));
    press(grid.view, gapInRow(0));
    drag(grid.view, QPoint(215, 340)); // 40 points below the view
    EXPECT_EQ(grid.view.verticalScrollBar()->value(), 41);
    // The band reaches the pointer's place in the scrolled content: rows 0 to 3.
    EXPECT_EQ(grid.selection(), (Indexes { 1, 5, 9, 13 }));
    platform::Clock::advance(30); // the pointer rests below the view
    EXPECT_EQ(grid.view.verticalScrollBar()->value(), 82);
    EXPECT_EQ(grid.selection(), (Indexes { 1, 5, 9, 13, 17 }));
    platform::Clock::advance(30);
    EXPECT_EQ(grid.view.verticalScrollBar()->value(), 123);
    EXPECT_EQ(grid.selection(), (Indexes { 1, 5, 9, 13, 17 }));
    release(grid.view, QPoint(215, 340 + 123));
    platform::Clock::advance(300);
    EXPECT_EQ(grid.view.verticalScrollBar()->value(), 123) << "no scrolling after the release";
}

TEST(CollectionSelection, ArrowKeysMoveAndShiftArrowsExtend)
{
    SelectionGrid grid;
    click(grid.view, grid.centreOf(0));
    QTest::keyClick(&grid.view, Qt::Key_Left);
    EXPECT_EQ(grid.selection(), Indexes { 0 });
    QTest::keyClick(&grid.view, Qt::Key_Right);
    EXPECT_EQ(grid.selection(), Indexes { 1 });
    QTest::keyClick(&grid.view, Qt::Key_Down);
    EXPECT_EQ(grid.selection(), Indexes { 5 });
    QTest::keyClick(&grid.view, Qt::Key_Up);
    EXPECT_EQ(grid.selection(), Indexes { 1 });
    click(grid.view, grid.centreOf(19));
    QTest::keyClick(&grid.view, Qt::Key_Right);
    EXPECT_EQ(grid.selection(), Indexes { 19 });
    QTest::keyClick(&grid.view, Qt::Key_Down); // no row below
    EXPECT_EQ(grid.selection(), Indexes { 19 });

    click(grid.view, grid.centreOf(5));
    QTest::keyClick(&grid.view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), (Indexes { 5, 6 }));
    QTest::keyClick(&grid.view, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), (Indexes { 5, 6, 7, 8, 9, 10 }));
    EXPECT_EQ(grid.view.lastSelectionIndex(), 10);
    QTest::keyClick(&grid.view, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), (Indexes { 5, 6 }));
    QTest::keyClick(&grid.view, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(grid.selection(), Indexes { 5 });
    EXPECT_EQ(grid.view.lastSelectionIndex(), 5);
}

TEST(CollectionSelection, ArrowsScrollTheSelectedItemIntoView)
{
    Grid grid;
    grid.load(numberedItems(40));
    click(grid.view, grid.centreOf(8));
    QTest::keyClick(&grid.view, Qt::Key_Down);
    EXPECT_EQ(grid.selection(), Indexes { 12 });
    EXPECT_EQ(grid.view.verticalScrollBar()->value(), 100);
}

TEST(CollectionSelection, TypingSelectsTheFirstItemWhoseNameStartsWithIt)
{
    ManualClock clock;
    Grid grid;
    grid.load({ "Apple", "banana", "Blueberry", "cherry", "blue" });
    QTest::keyClicks(&grid.view, "b");
    EXPECT_EQ(grid.selection(), Indexes { 1 });
    QTest::keyClicks(&grid.view, "L");
    EXPECT_EQ(grid.view.accumulatedKeyStrokes(), QStringLiteral("bl"));
    EXPECT_EQ(grid.selection(), Indexes { 2 });
    platform::Clock::advance(999);
    QTest::keyClicks(&grid.view, "x");
    EXPECT_EQ(grid.view.accumulatedKeyStrokes(), QStringLiteral("blx"));
    EXPECT_EQ(grid.selection(), Indexes { 2 }) << "no match keeps the selection";
    platform::Clock::advance(1000);
    EXPECT_TRUE(grid.view.accumulatedKeyStrokes().isEmpty());
    QTest::keyClicks(&grid.view, "c");
    EXPECT_EQ(grid.selection(), Indexes { 3 });

    grid.delegate.typeToSelect = false;
    QTest::keyClicks(&grid.view, "a");
    EXPECT_EQ(grid.selection(), Indexes { 3 });
    EXPECT_EQ(grid.view.accumulatedKeyStrokes(), QStringLiteral("c"));
}

TEST(CollectionSelection, TypingInALargeGridFindsTheLowestMatchAndShowsIt)
{
    ManualClock clock;
    Grid grid;
    QVariantList items = numberedItems(20000);
    items[15000] = QStringLiteral("zebra two");
    items[9001] = QStringLiteral("zebra one");
    grid.load(items);
    QTest::keyClicks(&grid.view, "ze");
    EXPECT_EQ(grid.selection(), Indexes { 9001 });
    EXPECT_EQ(grid.view.verticalScrollBar()->value(), grid.view.rectOfItemAtIndex(9001).y());
}

TEST(CollectionSelection, DeleteKeysHandTheSelectionToTheDelegate)
{
    SelectionGrid grid;
    click(grid.view, grid.centreOf(2));
    click(grid.view, grid.centreOf(3), Qt::ControlModifier);
    QTest::keyClick(&grid.view, Qt::Key_Backspace);
    QTest::keyClick(&grid.view, Qt::Key_Delete);
    EXPECT_EQ(grid.delegate.deleted, (std::vector<Indexes> { { 2, 3 }, { 2, 3 } }));
}

TEST(CollectionSelection, SelectAllTakesEveryItem)
{
    SelectionGrid grid;
    QTest::keyClick(&grid.view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid.view.selectionIndexes(), QorIndexSet(QorRange { 0, 20 }));
    EXPECT_EQ(grid.view.lastSelectionIndex(), 0);
}

namespace {

struct MenuDelegate : RecordingDelegate
{
    std::vector<Indexes> asked;
    QMenu *menuForItemsAtIndexes(QorCollectionView *, const QorIndexSet &indexes) override
    {
        asked.push_back(indexes.toVector());
        return nullptr;
    }
};

} // namespace

TEST(CollectionSelection, TheContextClickSelectsTheItemUnderThePointerFirst)
{
    MenuDelegate delegate;
    Grid grid;
    grid.view.setDelegate(&delegate);
    grid.load(numberedItems(20));
    click(grid.view, grid.centreOf(1));
    QContextMenuEvent event(
        QContextMenuEvent::Mouse, grid.centreOf(7), grid.view.viewport()->mapToGlobal(grid.centreOf(7)));
    QApplication::sendEvent(grid.view.viewport(), &event);
    EXPECT_EQ(delegate.asked, std::vector<Indexes> { { 7 } });
    EXPECT_FALSE(grid.view.isDragging());
    grid.view.setDelegate(&grid.delegate);
}

namespace {

// Cells as wide as the zoom setting under key (starting at 100), which may
// range from 50 to 200.
struct ZoomGrid : Grid
{
    ZoomGrid(const QString &key, int items)
    {
        platform::Settings::setInt(key, 100);
        QCoreApplication::processEvents(); // its change notice, before the view listens
        delegate.zoomKey = key;
        delegate.scalingRange = QorRange { 50, 150 };
        view.registerForZoomValueChangesInDefaultsForKey(key);
        load(numberedItems(items));
    }
};

} // namespace

TEST(CollectionZoom, PinchingScalesTheZoomSettingWithinTheDelegatesRange)
{
    const QString key = QStringLiteral("collectionTestZoom");
    ZoomGrid grid(key, 20);

    grid.view.magnify(0.5);
    settle(grid.view);
    EXPECT_EQ(platform::Settings::intValue(key), 150);
    EXPECT_EQ(grid.delegate.zooms, 1);
    EXPECT_EQ(grid.view.rectOfItemAtIndex(1), QRect(170, 0, 150, 150)); // the frame holds three: margin 10

    QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2,
        QPointF(10, 10), QPointF(10, 10), QPointF(10, 10), 1.0, QPointF());
    QApplication::sendEvent(grid.view.viewport(), &pinch);
    settle(grid.view);
    EXPECT_EQ(platform::Settings::intValue(key), 200) << "clamped to the top of the range";

    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
        Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.view.viewport(), &wheel);
    settle(grid.view);
    EXPECT_EQ(platform::Settings::intValue(key), 180);
    EXPECT_EQ(grid.view.rectOfItemAtIndex(1), QRect(200, 0, 180, 180)); // two columns
    EXPECT_EQ(grid.delegate.zooms, 3);
}

TEST(CollectionZoom, TheFirstItemInViewStaysInPlace)
{
    ZoomGrid grid(QStringLiteral("collectionTestZoomAnchor"), 4000);
    grid.scrollTo(50000 + 30); // row 500 (item 2000) 30 points above the top
    grid.view.magnify(0.5);
    settle(grid.view);
    // Two cells of 150 a row now (margin and spacing leave no room for a
    // third): item 2000 is in row 1000.
    EXPECT_EQ(grid.view.rectOfItemAtIndex(2000).y(), 150000);
    EXPECT_EQ(grid.view.verticalScrollBar()->value(), 150000 + 30);
    EXPECT_TRUE(grid.view.viewControllerForItemAtIndex(2000));
}
