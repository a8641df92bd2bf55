// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the collection view with a large library: the layout of
// 100,000 items, a full reload, scrolling through the whole grid, a rubber
// band over thousands of items, and selecting everything. Runs headless;
// build in Release for meaningful numbers.

#include "browser/QorCollectionView.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

constexpr int ItemCount = 100000;
constexpr int GroupSize = 500;

class Tile : public QWidget
{
public:
    QString text;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect().adjusted(4, 4, -4, -4), QColor(90, 120, 160));
        painter.drawText(rect(), Qt::AlignCenter, text);
    }
};

class BenchDelegate : public QorCollectionViewDelegate
{
public:
    QSize cell { 160, 160 };
    int cellsMade = 0;

    QSize cellSizeForCollectionView(QorCollectionView *) override { return cell; }
    QWidget *reusableViewControllerForCollectionView(QorCollectionView *) override
    {
        ++cellsMade;
        return new Tile;
    }
    void willShowViewController(QorCollectionView *, QWidget *controller, const QVariant &item) override
    {
        static_cast<Tile *>(controller)->text = item.toString();
    }
    int groupHeaderHeightForCollectionView(QorCollectionView *) override { return 30; }
    int groupHeaderHeightDiffForCollectionView(QorCollectionView *) override { return 30; }
    QWidget *headerForGroup(QorCollectionView *, const QorCollectionViewGroup &) override
    {
        return new QWidget;
    }
};

struct Stats
{
    std::vector<double> samples;
    void add(double ms) { samples.push_back(ms); }
    double median()
    {
        std::sort(samples.begin(), samples.end());
        return samples.empty() ? 0 : samples[samples.size() / 2];
    }
    double max() const { return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end()); }
    // "first a ms, then median b ms, max c ms": the first run pays for
    // cold memory and new cells, the others show the steady state.
    QString firstThenRest() const
    {
        if (samples.empty())
            return {};
        Stats rest;
        rest.samples.assign(samples.begin() + 1, samples.end());
        return QStringLiteral("first %1 ms, then median %2 ms, max %3 ms")
            .arg(samples.front(), 0, 'f', 2)
            .arg(rest.median(), 0, 'f', 2)
            .arg(rest.max(), 0, 'f', 2);
    }
    double mean() const
    {
        double sum = 0;
        for (double s : samples)
            sum += s;
        return samples.empty() ? 0 : sum / double(samples.size());
    }
};

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void drain()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void reloadAndWait(
    QorCollectionView &view, const QVariantList &items, const std::vector<QorCollectionViewGroup> &groups)
{
    bool done = false;
    view.reloadDataWithItems(items, groups, false, [&] { done = true; });
    while (!done) {
        view.layoutManager()->waitForQueue();
        QCoreApplication::processEvents();
    }
    drain();
}

void sendMouse(QorCollectionView &view, QEvent::Type type, QPoint local, Qt::MouseButtons buttons)
{
    QWidget *viewport = view.viewport();
    QMouseEvent event(type, QPointF(local), QPointF(viewport->mapToGlobal(local)),
        type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

} // namespace

int main(int argc, char **argv)
{
    // Headless, and never near the user's settings.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QVariantList items;
    items.reserve(ItemCount);
    for (int i = 0; i < ItemCount; ++i)
        items.append(QStringLiteral("IMG_%1.jpg").arg(i, 6, 10, QLatin1Char('0')));
    std::vector<QorCollectionViewGroup> groups;
    for (int start = 0; start < ItemCount; start += GroupSize)
        groups.emplace_back(QStringLiteral("Bench %1").arg(start / GroupSize), QorRange { start, GroupSize });

    out << "Collection view, " << ItemCount << " items in " << groups.size() << " groups\n";

    // 1. The layout pass alone.
    {
        QorCollectionViewLayoutInput in;
        in.visibleRect = QRect(0, 0, 1200, 800);
        in.frameWidth = 1200;
        in.cellSize = QSize(160, 160);
        in.itemCount = ItemCount;
        in.groupHeaderHeightDiff = 30;
        for (const auto &g : groups)
            in.groups.push_back({ g.itemRange().location, g.itemRange().length, false });
        Stats stats;
        for (int run = 0; run < 15; ++run) {
            QElapsedTimer timer;
            timer.start();
            auto layout = QorCollectionViewLayout::compute(in);
            stats.add(msSince(timer));
        }
        out << QStringLiteral("layout pass (background):          %1\n").arg(stats.firstThenRest());
    }

    BenchDelegate delegate;
    QorCollectionView view;
    view.setDelegate(&delegate);
    view.resize(1200, 800);
    view.show();
    drain();

    // 2. Full reloads, from the call to the cells on screen.
    {
        Stats stats;
        for (int run = 0; run < 10; ++run) {
            QElapsedTimer timer;
            timer.start();
            reloadAndWait(view, items, groups);
            stats.add(msSince(timer));
        }
        out << QStringLiteral("full reload, call to shown:        %1\n").arg(stats.firstThenRest());
    }

    // 3. Scrolling through the whole grid, one step per frame.
    {
        QScrollBar *bar = view.verticalScrollBar();
        const int step = 120;
        Stats stats;
        int mostCells = 0;
        const int madeBefore = delegate.cellsMade;
        QElapsedTimer total;
        total.start();
        for (int y = 0; y <= bar->maximum(); y += step) {
            QElapsedTimer timer;
            timer.start();
            bar->setValue(y);
            drain();
            stats.add(msSince(timer));
            mostCells = std::max(mostCells, int(view.visibleViewControllerArray().size()));
        }
        out << QStringLiteral("scroll %1 px in %2 px steps:  %3 steps, mean %4 ms, max %5 ms a step "
                              "(%6 s in all); at most %7 cells placed, %8 made while scrolling\n")
                   .arg(bar->maximum())
                   .arg(step)
                   .arg(stats.samples.size())
                   .arg(stats.mean(), 0, 'f', 3)
                   .arg(stats.max(), 0, 'f', 2)
                   .arg(msSince(total) / 1000.0, 0, 'f', 2)
                   .arg(mostCells)
                   .arg(delegate.cellsMade - madeBefore);
    }

    // 4. A rubber band dragged down over thousands of small cells, scrolling as it goes.
    {
        delegate.cell = QSize(48, 48);
        view.verticalScrollBar()->setValue(0);
        reloadAndWait(view, items, {});
        {
            Stats plain;
            for (int y = 0; y < 101 * 180; y += 101) {
                QElapsedTimer timer;
                timer.start();
                view.verticalScrollBar()->setValue(y);
                drain();
                plain.add(msSince(timer));
            }
            out << QStringLiteral(
                "scroll small cells, 101 px steps:  mean %1 ms, max %2 ms a step; %3 cells placed\n")
                       .arg(plain.mean(), 0, 'f', 2)
                       .arg(plain.max(), 0, 'f', 2)
                       .arg(view.visibleViewControllerArray().size());
            view.verticalScrollBar()->setValue(0);
            drain();
        }
        sendMouse(view, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton);
        Stats stats;
        Stats handling;
        const QPoint below(600, view.viewport()->height() + 100);
        while (view.selectionIndexes().count() < 6000) {
            QElapsedTimer timer;
            timer.start();
            sendMouse(view, QEvent::MouseMove, below, Qt::LeftButton);
            handling.add(msSince(timer));
            drain();
            stats.add(msSince(timer));
        }
        sendMouse(view, QEvent::MouseButtonRelease, below, Qt::NoButton);
        out << QStringLiteral("rubber band to %1 items:         %2 steps, mean %3 ms, max %4 ms a step\n")
                   .arg(view.selectionIndexes().count())
                   .arg(stats.samples.size())
                   .arg(stats.mean(), 0, 'f', 2)
                   .arg(stats.max(), 0, 'f', 2);
        out << QStringLiteral("  of which the selection itself:   mean %1 ms, max %2 ms a step\n")
                   .arg(handling.mean(), 0, 'f', 2)
                   .arg(handling.max(), 0, 'f', 2);
    }

    // 5. Everything selected and deselected.
    {
        QElapsedTimer timer;
        timer.start();
        view.selectAll();
        drain();
        const double select = msSince(timer);
        timer.restart();
        view.deselectAllItems();
        drain();
        out << QStringLiteral("select all / deselect all:         %1 ms / %2 ms\n")
                   .arg(select, 0, 'f', 2)
                   .arg(msSince(timer), 0, 'f', 2);
    }

    // 6. A zoom step: a soft reload of everything.
    {
        Stats stats;
        for (int run = 0; run < 10; ++run) {
            delegate.cell = run % 2 ? QSize(150, 150) : QSize(170, 170);
            bool done = false;
            QElapsedTimer timer;
            timer.start();
            view.softReloadDataWithCompletionBlock([&] { done = true; });
            while (!done) {
                view.layoutManager()->waitForQueue();
                QCoreApplication::processEvents();
            }
            drain();
            stats.add(msSince(timer));
        }
        out << QStringLiteral("soft reload (zoom step):           %1\n").arg(stats.firstThenRest());
    }
    view.setDelegate(nullptr);
    return 0;
}
