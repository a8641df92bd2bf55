// SPDX-License-Identifier: GPL-3.0-or-later
// Reloading, cell recycling, scrolling and group headers of the grid.

#include "CollectionTestSupport.h"

#include <QScrollBar>

using namespace collectiontest;

namespace {

// Every placed cell shows the item of its index at the item's place, and
// every item in view has a cell.
void expectCellsMatchLayout(Grid &grid)
{
    QorCollectionView &view = grid.view;
    const QorIndexSet placed = view.indexesOfViewControllers();
    placed.forEach([&](qint64 index) {
        auto *cell = static_cast<Cell *>(view.viewControllerForItemAtIndex(index));
        EXPECT_EQ(cell->item, view.contentArray().at(index)) << index;
        EXPECT_EQ(cell->geometry(), view.viewToViewport(view.rectOfItemAtIndex(index))) << index;
        EXPECT_TRUE(cell->isVisible()) << index;
    });
    for (qint64 index : view.indexesOfItemsInRect(view.visibleRect()))
        EXPECT_TRUE(placed.contains(index)) << "no cell for visible item " << index;
}

// Groups of eight items (two rows of four) under 30-point headers.
struct GroupedGrid : Grid
{
    std::vector<QorCollectionViewGroup> groups;

    GroupedGrid(const QString &prefix, int groupCount)
    {
        delegate.headerHeight = 30;
        delegate.headerDiff = 30;
        for (int g = 0; g < groupCount; ++g)
            groups.emplace_back(QStringLiteral("%1 %2").arg(prefix).arg(g), QorRange { g * 8, 8 });
        load(numberedItems(groupCount * 8), groups);
    }
};

} // namespace

TEST(CollectionView, AReloadPlacesCellsForTheVisibleRowsThenTheRowsAround)
{
    Grid grid; // 450 x 300: four columns, three rows in view
    grid.view.reloadDataWithItems(numberedItems(100), false);
    EXPECT_TRUE(grid.view.visibleViewControllerArray().isEmpty()) << "cells before the layout arrived";
    settle(grid.view);
    // Three rows in view and three pre-rendered rows below them.
    EXPECT_EQ(grid.view.indexesOfViewControllers(), QorIndexSet(QorRange { 0, 24 }));
    EXPECT_EQ(grid.delegate.cellsMade, 24);
    expectCellsMatchLayout(grid);
    // 25 rows of 100 points.
    EXPECT_EQ(grid.view.contentHeight(), 2500);
}

TEST(CollectionView, ScrollingRecyclesCellsAndKeepsTheirNumberBounded)
{
    Grid grid;
    grid.load(numberedItems(1000));
    // In view: at most four rows (one partly); around them three rows each way.
    const int bound = (4 + 2 * 3) * 4;
    const int bottom = grid.view.verticalScrollBar()->maximum();
    ASSERT_EQ(bottom, 25000 - 300);
    std::vector<int> stops;
    for (int y = 0; y < bottom; y += 137)
        stops.push_back(y);
    stops.push_back(bottom);
    stops.push_back(0);
    stops.push_back(bottom / 2);
    for (int y : stops) {
        grid.scrollTo(y);
        ASSERT_LE(grid.view.visibleViewControllerArray().size(), bound) << "at " << y;
        expectCellsMatchLayout(grid);
    }
    EXPECT_LE(grid.delegate.cellsMade, bound);
    EXPECT_EQ(grid.view.visibleViewControllerArray().size() + grid.view.reusableViewControllerCount(),
        grid.delegate.cellsMade);
}

TEST(CollectionView, AReloadWithFewerItemsParksTheRestAndReusesTheOthersInPlace)
{
    Grid grid;
    grid.load(numberedItems(100));
    QWidget *first = grid.view.viewControllerForItemAtIndex(0);
    grid.delegate.shown.clear();
    grid.view.reloadDataWithItems(numberedItems(6, QStringLiteral("new")), false);
    // At once, before any layout: six cells re-filled in place, the rest parked.
    EXPECT_EQ(grid.view.indexesOfViewControllers(), QorIndexSet(QorRange { 0, 6 }));
    EXPECT_EQ(grid.view.reusableViewControllerCount(), 18);
    EXPECT_EQ(grid.view.viewControllerForItemAtIndex(0), first);
    EXPECT_EQ(static_cast<Cell *>(first)->item, QVariant(QStringLiteral("new0")));
    settle(grid.view);
    expectCellsMatchLayout(grid);
    EXPECT_EQ(grid.delegate.cellsMade, 24) << "parked cells are reused, not made anew";

    grid.view.selectItemAtIndex(2);
    grid.load({});
    EXPECT_TRUE(grid.view.visibleViewControllerArray().isEmpty());
    EXPECT_TRUE(grid.view.selectionIndexes().isEmpty());
    EXPECT_EQ(grid.view.contentHeight(), 300);
    EXPECT_EQ(grid.view.reusableViewControllerCount(), 24);
}

TEST(CollectionView, EmptyCachesReleasesEveryCellAndAsksForNewOnes)
{
    Grid grid;
    grid.load(numberedItems(100));
    grid.delegate.log.clear();
    grid.load(numberedItems(100), {}, true);
    EXPECT_EQ(
        std::count(grid.delegate.log.begin(), grid.delegate.log.end(), QStringLiteral("invisible")), 24);
    EXPECT_EQ(grid.delegate.cellsMade, 48);
    expectCellsMatchLayout(grid);
}

TEST(CollectionView, AReloadWhileNarrowerThanACellStillTakesTheItems)
{
    Grid grid;
    grid.load(numberedItems(10, QStringLiteral("old")));
    grid.view.resize(60, 300);
    settle(grid.view);
    grid.load(numberedItems(5, QStringLiteral("new")));
    EXPECT_EQ(grid.view.contentArray(), numberedItems(5, QStringLiteral("new")));
    grid.view.resize(450, 300);
    settle(grid.view);
    EXPECT_EQ(grid.view.rectOfItemAtIndex(3), QRect(330, 0, 100, 100));
    EXPECT_EQ(grid.view.indexesOfViewControllers(), QorIndexSet(QorRange { 0, 5 }));
    expectCellsMatchLayout(grid);
}

TEST(CollectionView, OnlyTheNewestOfOverlappingReloadsIsShown)
{
    Grid grid;
    std::vector<QString> completions;
    grid.view.reloadDataWithItems(
        numberedItems(50, QStringLiteral("a")), {}, false, [&] { completions.push_back("a"); });
    // The first pass has finished, its result waits in the event queue.
    grid.view.layoutManager()->waitForQueue();
    grid.view.reloadDataWithItems(
        numberedItems(7, QStringLiteral("b")), {}, false, [&] { completions.push_back("b"); });
    settle(grid.view);
    EXPECT_EQ(completions, std::vector<QString> { "b" });
    EXPECT_EQ(grid.view.layoutManager()->itemLayouts().count(), 7);
    EXPECT_EQ(grid.view.contentHeight(), 300);
    expectCellsMatchLayout(grid);
}

TEST(CollectionView, AResizeDuringAReloadKeepsTheReloadsCompletion)
{
    Grid grid;
    int completions = 0;
    grid.view.reloadDataWithItems(numberedItems(50), {}, false, [&] { ++completions; });
    grid.view.resize(340, 300); // soft reload before the full one was shown
    settle(grid.view);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(grid.view.rectOfItemAtIndex(3), QRect(10, 100, 100, 100)); // three columns now
    expectCellsMatchLayout(grid);
}

TEST(CollectionView, ScrollingReportsItsDirection)
{
    Grid grid;
    grid.load(numberedItems(100));
    grid.delegate.scrollDirections.clear();
    grid.scrollTo(250);
    grid.scrollTo(100);
    EXPECT_EQ(grid.delegate.scrollDirections, (std::vector<int> { 1, 0 }));
}

TEST(CollectionView, AnEmptyGridScrollsAndResizesWithoutCells)
{
    Grid grid;
    grid.load({});
    grid.scrollTo(100);
    grid.view.resize(200, 100);
    settle(grid.view);
    grid.view.softReloadDataWithCompletionBlock();
    settle(grid.view);
    EXPECT_EQ(grid.delegate.cellsMade, 0);
    EXPECT_EQ(grid.view.verticalScrollBar()->value(), 0);
}

TEST(CollectionView, GroupHeadersComeAndGoWithTheVisibleArea)
{
    GroupedGrid grid(QStringLiteral("headers"), 10);
    // Each group: 30 points of header and two rows of four.
    EXPECT_EQ(grid.view.rectOfItemAtIndex(8), QRect(0, 260, 100, 100));
    EXPECT_EQ(grid.delegate.headersMade, 2);
    ASSERT_NE(grid.view.headerViewControllerForGroup(1), nullptr);
    EXPECT_EQ(grid.view.headerViewControllerForGroup(1)->geometry(), QRect(0, 230, 450, 30));

    grid.scrollTo(460);
    EXPECT_EQ(grid.view.headerViewControllerForGroup(0), nullptr);
    EXPECT_EQ(grid.view.headerViewControllerForGroup(1), nullptr);
    ASSERT_NE(grid.view.headerViewControllerForGroup(2), nullptr);
    EXPECT_EQ(grid.view.headerViewControllerForGroup(2)->geometry(), QRect(0, 0, 450, 30));
    EXPECT_EQ(grid.view.headerViewControllerForGroup(2)->objectName(), QStringLiteral("headers 2"));
    EXPECT_EQ(grid.delegate.headersMade, 4);
    expectCellsMatchLayout(grid);
}

TEST(CollectionView, CollapsingAGroupLaysTheGridOutAgain)
{
    GroupedGrid grid(QStringLiteral("collapse"), 4);
    auto &groups = grid.groups;
    ASSERT_TRUE(grid.view.viewControllerForItemAtIndex(8));

    groups[1].setCollapsed(true);
    settle(grid.view);
    for (qint64 i = 8; i < 16; ++i)
        EXPECT_EQ(grid.view.viewControllerForItemAtIndex(i), nullptr) << i;
    // The third group's header takes the place of the second group's rows.
    EXPECT_EQ(grid.view.rectOfItemAtIndex(16), QRect(0, 290, 100, 100));
    ASSERT_NE(grid.view.headerViewControllerForGroup(2), nullptr);
    EXPECT_EQ(grid.view.headerViewControllerForGroup(2)->geometry(), QRect(0, 260, 450, 30));
    expectCellsMatchLayout(grid);

    // The state lives in the settings: a new view of the same groups starts collapsed.
    GroupedGrid other(QStringLiteral("collapse"), 4);
    EXPECT_EQ(other.view.rectOfItemAtIndex(8).x(), -200);
    groups[1].setCollapsed(false);
    settle(grid.view);
    EXPECT_EQ(grid.view.rectOfItemAtIndex(8), QRect(0, 260, 100, 100));
}

TEST(CollectionView, ASoftReloadKeepsSelectionAndCells)
{
    Grid grid;
    grid.load(numberedItems(20));
    grid.view.selectItemAtIndex(5);
    QWidget *cell = grid.view.viewControllerForItemAtIndex(5);
    bool done = false;
    grid.view.softReloadDataWithCompletionBlock([&] { done = true; });
    settle(grid.view);
    EXPECT_TRUE(done);
    EXPECT_EQ(grid.selection(), std::vector<qint64> { 5 });
    EXPECT_EQ(grid.view.viewControllerForItemAtIndex(5), cell);
}
