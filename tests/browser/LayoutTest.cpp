// SPDX-License-Identifier: GPL-3.0-or-later
// The layout arithmetic, the index set and the groups, as plain functions.

#include "browser/QorCollectionViewGroup.h"
#include "browser/QorCollectionViewLayout.h"
#include "browser/QorCollectionViewLayoutManager.h"
#include "browser/QorIndexSet.h"
#include "platform/Settings.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

using Input = QorCollectionViewLayoutInput;

Input grid(qint64 count, int width, QSize cell = QSize(100, 100))
{
    Input in;
    in.visibleRect = QRect(0, 0, width, 300);
    in.frameWidth = width;
    in.cellSize = cell;
    in.itemCount = count;
    return in;
}

QorCollectionViewLayout layOut(const Input &in)
{
    auto layout = QorCollectionViewLayout::compute(in);
    EXPECT_TRUE(layout.has_value());
    return layout.value_or(QorCollectionViewLayout());
}

} // namespace

TEST(CollectionLayout, RowsOfCellsTenPointsApartWrapAtTheVisibleRightEdge)
{
    // 450 wide: four columns at 0, 110, 220, 330; the fifth would end at 540.
    const auto layout = layOut(grid(10, 450));
    ASSERT_EQ(layout.count(), 10);
    EXPECT_EQ(layout.rectOfItemAtIndex(0), QRect(0, 0, 100, 100));
    EXPECT_EQ(layout.rectOfItemAtIndex(3), QRect(330, 0, 100, 100));
    EXPECT_EQ(layout.rectOfItemAtIndex(4), QRect(0, 100, 100, 100));
    EXPECT_EQ(layout.rectOfItemAtIndex(9), QRect(110, 200, 100, 100));
    EXPECT_EQ(layout.rowAndColumnPositionOfItemAtIndex(9), QPoint(1, 2));
    EXPECT_EQ(layout.contentBottom(), 300);
    EXPECT_EQ(layout.item(9)->description(), QStringLiteral("i:9 r:2 c:1"));
}

TEST(CollectionLayout, TwoOrThreeColumnsStartTenPointsInOthersAtZero)
{
    EXPECT_EQ(layOut(grid(1, 100)).rectOfItemAtIndex(0).x(), 0); // one column
    EXPECT_EQ(layOut(grid(1, 200)).rectOfItemAtIndex(0).x(), 10); // two
    EXPECT_EQ(layOut(grid(1, 399)).rectOfItemAtIndex(0).x(), 10); // three
    EXPECT_EQ(layOut(grid(1, 400)).rectOfItemAtIndex(0).x(), 0); // four
    // The margin counts in the wrap: two "columns" of 100 in 205 hold one cell a row.
    const auto narrow = layOut(grid(2, 205));
    EXPECT_EQ(narrow.rectOfItemAtIndex(1), QRect(10, 100, 100, 100));
}

TEST(CollectionLayout, TheFirstItemWrapsTooWhenTheVisibleAreaIsNarrower)
{
    Input in = grid(2, 250); // the frame holds two columns: margin 10
    in.visibleRect.setWidth(100);
    const auto layout = layOut(in);
    EXPECT_EQ(layout.rectOfItemAtIndex(0), QRect(10, 100, 100, 100));
    EXPECT_EQ(layout.item(0)->rowIndex, 1);
    EXPECT_EQ(layout.indexOfItemAtRow(0, 0), QorNotFound);
    EXPECT_EQ(layout.indexOfItemAtRow(1, 0), 0);
}

TEST(CollectionLayout, ContentRectanglesAreInsetByTheSelectionMargin)
{
    Input in = grid(1, 450);
    in.selectionInset = QSize(8, 4);
    const auto layout = layOut(in);
    EXPECT_EQ(layout.contentRectOfItemAtIndex(0), QRect(8, 4, 84, 92));
    EXPECT_EQ(layout.indexOfItemAtPoint(QPoint(2, 2)), 0);
    EXPECT_EQ(layout.indexOfItemContentRectAtPoint(QPoint(2, 2)), QorNotFound);
    EXPECT_EQ(layout.indexOfItemContentRectAtPoint(QPoint(50, 50)), 0);
}

TEST(CollectionLayout, GroupsOpenHeaderSpaceFinishTheirRowAndTakeTheTopOffset)
{
    Input in = grid(7, 450);
    in.topOffset = 20;
    in.groupHeaderHeightDiff = 46;
    in.groups = { { 0, 2, false }, { 2, 5, false } };
    const auto layout = layOut(in);
    // A group at index 0 adds only the header distance to the top offset.
    EXPECT_EQ(layout.rectOfItemAtIndex(0), QRect(0, 66, 100, 100));
    EXPECT_EQ(layout.rectOfItemAtIndex(1), QRect(110, 66, 100, 100));
    // The second group starts in mid-row: the row ends, then the header space.
    EXPECT_EQ(layout.rectOfItemAtIndex(2), QRect(0, 66 + 100 + 46, 100, 100));
    EXPECT_EQ(layout.item(2)->rowIndex, 1);
    EXPECT_EQ(layout.item(2)->columnIndex, 0);
    EXPECT_EQ(layout.rectOfItemAtIndex(6), QRect(0, 312, 100, 100));
}

TEST(CollectionLayout, CollapsedGroupsParkTheirItemsLeftOfTheViewAndKeepOnlyTheHeaderSpace)
{
    Input in = grid(9, 450);
    in.topOffset = 20;
    in.groupHeaderHeightDiff = 46;
    in.groups = { { 0, 3, true }, { 3, 3, true }, { 6, 3, false } };
    const auto layout = layOut(in);
    // The first group is collapsed: no top offset.
    EXPECT_EQ(layout.rectOfItemAtIndex(0), QRect(-200, 46, 100, 100));
    EXPECT_EQ(layout.rectOfItemAtIndex(2), QRect(-200, 46, 100, 100));
    EXPECT_EQ(layout.item(2)->columnIndex, 0);
    EXPECT_EQ(layout.rectOfItemAtIndex(3), QRect(-200, 92, 100, 100));
    EXPECT_EQ(layout.rectOfItemAtIndex(6), QRect(0, 138, 100, 100));
    // Hidden items answer no point, rectangle or row query.
    EXPECT_EQ(layout.indexOfItemAtPoint(QPoint(-150, 100)), QorNotFound);
    EXPECT_EQ(layout.indexesOfItemsInRect(QRect(-300, 0, 1000, 1000)), (std::vector<qint64> { 6, 7, 8 }));
    EXPECT_EQ(layout.indexOfItemAtRow(0, 0), 6);
}

TEST(CollectionLayout, UngroupedItemsBeforeACollapsedGroupStayVisible)
{
    Input in = grid(5, 450);
    in.groupHeaderHeightDiff = 46;
    in.groups = { { 2, 3, true } };
    const auto layout = layOut(in);
    EXPECT_EQ(layout.rectOfItemAtIndex(0), QRect(0, 0, 100, 100));
    EXPECT_EQ(layout.rectOfItemAtIndex(1), QRect(110, 0, 100, 100));
    EXPECT_EQ(layout.rectOfItemAtIndex(2).x(), -200);
}

TEST(CollectionLayout, EmptyAndCancelledPasses)
{
    const auto empty = QorCollectionViewLayout::compute(grid(0, 450));
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->count(), 0);
    EXPECT_EQ(empty->contentBottom(), 0);
    EXPECT_FALSE(QorCollectionViewLayout::compute(grid(100, 450), [] { return true; }).has_value());
    // A degenerate cell width still yields one column, not a division by zero.
    EXPECT_EQ(QorCollectionViewLayout::maximumNumberOfItemsPerRow(300, 0), 1);
}

TEST(CollectionLayout, QueriesOutsideTheItemsAnswerNothing)
{
    const auto layout = layOut(grid(6, 450));
    EXPECT_EQ(layout.rectOfItemAtIndex(6), QRect());
    EXPECT_EQ(layout.rectOfItemAtIndex(-1), QRect());
    EXPECT_EQ(layout.rowAndColumnPositionOfItemAtIndex(QorNotFound), QPoint());
    EXPECT_EQ(layout.indexOfItemAtPoint(QPoint(105, 50)), QorNotFound); // the gap
    EXPECT_EQ(layout.indexOfItemAtPoint(QPoint(340, 150)), QorNotFound); // past the last item
    EXPECT_EQ(layout.indexOfItemAtPoint(QPoint(115, 150)), 5);
    EXPECT_EQ(layout.indexOfItemAtRow(1, 2), QorNotFound);
    EXPECT_EQ(layout.indexesOfItemsInRect(QRect(50, 50, 100, 100)), (std::vector<qint64> { 0, 1, 4, 5 }));
    EXPECT_TRUE(layout.indexesOfItemsInRect(QRect(50, 50, 0, 0)).empty());
}

TEST(CollectionLayoutManager, OnlyTheNewestRequestPublishes)
{
    QorCollectionViewLayoutManager manager;
    std::vector<int> completions;
    manager.enumerateItems(grid(5, 450), [&] { completions.push_back(1); });
    // The first pass finishes and posts its result before the second starts.
    manager.waitForQueue();
    manager.enumerateItems(grid(3, 450), [&] { completions.push_back(2); });
    manager.waitForQueue();
    QCoreApplication::processEvents();
    EXPECT_EQ(completions, std::vector<int> { 2 });
    EXPECT_EQ(manager.itemLayouts().count(), 3);
    EXPECT_FALSE(manager.isEnumerating());
}

TEST(CollectionLayoutManager, CancelledPassesNeverComplete)
{
    QorCollectionViewLayoutManager manager;
    bool completed = false;
    manager.enumerateItems(grid(5, 450), [&] { completed = true; });
    manager.cancelItemEnumerator();
    manager.waitForQueue();
    QCoreApplication::processEvents();
    EXPECT_FALSE(completed);
    EXPECT_EQ(manager.itemLayouts().count(), 0);
}

TEST(QorIndexSet, KeepsDisjointSortedRuns)
{
    QorIndexSet set;
    set.insert(QorRange { 10, 5 }); // 10..14
    set.insert(3);
    set.insert(15); // touches the run: merges
    EXPECT_EQ(set.runs().size(), 2u);
    EXPECT_EQ(set.count(), 7);
    EXPECT_EQ(set.first(), 3);
    EXPECT_EQ(set.last(), 15);
    set.insert(QorRange { 4, 6 }); // bridges both runs
    EXPECT_EQ(set.runs(), (std::vector<QorRange> { { 3, 13 } }));
    set.remove(QorRange { 7, 2 }); // splits it
    EXPECT_EQ(set.runs(), (std::vector<QorRange> { { 3, 4 }, { 9, 7 } }));
    EXPECT_EQ(set.count(), 11);
    EXPECT_FALSE(set.contains(8));
    EXPECT_TRUE(set.contains(9));
    EXPECT_EQ(set.withoutIndex(3).first(), 4);
    set.remove(QorRange { 0, 100 });
    EXPECT_TRUE(set.isEmpty());
    EXPECT_EQ(set.first(), QorNotFound);
    EXPECT_EQ(set.count(), 0);
}

TEST(QorCollectionViewGroup, CollapsedStateIsASettingSharedByTitle)
{
    const QorCollectionViewGroup first
        = QorCollectionViewGroup::groupWithTitle(QStringLiteral("May %1"), 3, QorRange { 5, 10 });
    const QorCollectionViewGroup twin(QStringLiteral("May %1"), QorRange { 20, 2 });
    EXPECT_EQ(first.defaultsIdentifier(), QStringLiteral("collectionGroupMay %1Status"));
    EXPECT_EQ(first.description(), QStringLiteral("May %1 3 {5, 10}"));
    EXPECT_FALSE(first.isCollapsed());
    first.setCollapsed(true);
    EXPECT_EQ(platform::Settings::boolValue(QStringLiteral("collectionGroupMay %1Status")), true);
    EXPECT_TRUE(twin.isCollapsed());
    twin.setCollapsed(false);
    EXPECT_FALSE(first.isCollapsed());
}
