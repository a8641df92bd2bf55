// SPDX-License-Identifier: GPL-3.0-or-later
// Try the collection view by hand: 100,000 items in groups of 1,000.
// Scroll, click, Shift/Ctrl-click, drag a rubber band, use the arrow keys,
// type a number to jump to it, pinch or Ctrl+wheel to zoom, click a header
// to collapse its group, drag selected tiles onto another tile. Settings
// live in a temporary folder: nothing of the user's is touched.

#include "browser/QorCollectionView.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr int ItemCount = 100000;
constexpr int GroupSize = 1000;
const QString ZoomKey = QStringLiteral("collectionDemoZoom");

class Tile : public QWidget
{
public:
    int number = 0;
    bool selected = false;
    bool hovered = false;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor colour = QColor::fromHsv((number * 37) % 360, 90, hovered ? 255 : 210);
        painter.setBrush(colour);
        painter.setPen(selected ? QPen(Qt::black, 2) : Qt::NoPen);
        painter.drawRoundedRect(QRectF(rect()).adjusted(8, 8, -8, -8), 6, 6);
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignCenter, QString::number(number));
    }
};

class GroupHeader : public QLabel
{
public:
    explicit GroupHeader(const QorCollectionViewGroup &group)
        : m_group(group)
    {
        setText(QStringLiteral("  %1 %2").arg(
            group.isCollapsed() ? QStringLiteral("▸") : QStringLiteral("▾"), group.title()));
        setAutoFillBackground(true);
        setStyleSheet(QStringLiteral("background: #ddd; font-weight: bold;"));
    }

protected:
    void mousePressEvent(QMouseEvent *) override { m_group.setCollapsed(!m_group.isCollapsed()); }

private:
    QorCollectionViewGroup m_group;
};

class DemoDelegate : public QorCollectionViewDelegate
{
public:
    QStatusBar *status = nullptr;

    QSize cellSizeForCollectionView(QorCollectionView *) override
    {
        const int side = int(platform::Settings::intValue(ZoomKey).value_or(120));
        return QSize(side, side);
    }
    QWidget *reusableViewControllerForCollectionView(QorCollectionView *) override { return new Tile; }
    void willShowViewController(QorCollectionView *view, QWidget *controller, const QVariant &item) override
    {
        auto *tile = static_cast<Tile *>(controller);
        tile->number = item.toInt();
        tile->selected = view->selectionIndexes().contains(item.toInt());
        tile->update();
    }
    void updateViewControllerAsSelected(QorCollectionView *, QWidget *controller, const QVariant &) override
    {
        mark(controller, true);
    }
    void updateViewControllerAsDeselected(QorCollectionView *, QWidget *controller, const QVariant &) override
    {
        mark(controller, false);
    }
    void collectionViewSelectionDidChange(QorCollectionView *view) override
    {
        status->showMessage(QStringLiteral("%1 selected").arg(view->selectionIndexes().count()));
    }
    void didDoubleClickViewControllerAtIndex(QorCollectionView *, QWidget *controller) override
    {
        if (controller)
            status->showMessage(
                QStringLiteral("double click on %1").arg(static_cast<Tile *>(controller)->number));
    }
    int groupHeaderHeightForCollectionView(QorCollectionView *) override { return 30; }
    int groupHeaderHeightDiffForCollectionView(QorCollectionView *) override { return 36; }
    QWidget *headerForGroup(QorCollectionView *, const QorCollectionViewGroup &group) override
    {
        return new GroupHeader(group);
    }
    bool isEnabledBackgroundSelectionForCollectionView(QorCollectionView *) override { return true; }
    bool canDragItemsAtIndexes(QorCollectionView *, const QorIndexSet &) override { return true; }
    void writeItemsAtIndexes(QorCollectionView *, const QorIndexSet &indexes, QMimeData *mime) override
    {
        mime->setText(QStringLiteral("%1 tiles from %2").arg(indexes.count()).arg(indexes.first()));
    }
    bool validateDrop(QorCollectionView *, const QorDragInfo &info, qint64 index) override
    {
        return index != QorNotFound && info.mimeData && info.mimeData->hasText();
    }
    void dragEnteredViewController(QorCollectionView *, QWidget *controller) override
    {
        hover(controller, true);
    }
    void dragExitedViewController(QorCollectionView *, QWidget *controller) override
    {
        hover(controller, false);
    }
    bool performDragOperation(
        QorCollectionView *, const QorDragInfo &info, QWidget *, const QVariant &item) override
    {
        status->showMessage(QStringLiteral("dropped %1 on %2").arg(info.mimeData->text()).arg(item.toInt()));
        return item.isValid();
    }
    void deleteItemsAtIndexes(QorCollectionView *, const QorIndexSet &indexes) override
    {
        status->showMessage(QStringLiteral("would delete %1 items").arg(indexes.count()));
    }
    std::optional<bool> nameOfItemStartsWith(
        QorCollectionView *, const QVariant &item, const QString &prefix) override
    {
        return QString::number(item.toInt()).startsWith(prefix);
    }
    std::optional<QorRange> validScalingRangeForCollectionView(QorCollectionView *) override
    {
        return QorRange { 48, 252 };
    }
    QMenu *menuForItemsAtIndexes(QorCollectionView *, const QorIndexSet &indexes) override
    {
        auto *menu = new QMenu;
        menu->addAction(QStringLiteral("%1 selected").arg(indexes.count()))->setEnabled(false);
        return menu;
    }

private:
    static void mark(QWidget *controller, bool on)
    {
        if (auto *tile = static_cast<Tile *>(controller)) {
            tile->selected = on;
            tile->update();
        }
    }
    static void hover(QWidget *controller, bool on)
    {
        if (auto *tile = static_cast<Tile *>(controller)) {
            tile->hovered = on;
            tile->update();
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);

    QMainWindow window;
    auto *view = new QorCollectionView;
    DemoDelegate delegate;
    delegate.status = window.statusBar();
    view->setDelegate(&delegate);
    view->setBackgroundColor(QColor(212, 212, 212));
    view->setAcceptsDrops(true);
    view->registerForZoomValueChangesInDefaultsForKey(ZoomKey);
    window.setCentralWidget(view);
    window.resize(1100, 750);
    window.setWindowTitle(QStringLiteral("Collection view: 100,000 items"));

    QVariantList items;
    items.reserve(ItemCount);
    for (int i = 0; i < ItemCount; ++i)
        items.append(i);
    std::vector<QorCollectionViewGroup> groups;
    for (int start = 0; start < ItemCount; start += GroupSize)
        groups.emplace_back(QStringLiteral("Items %1 to %2").arg(start).arg(start + GroupSize - 1),
            QorRange { start, GroupSize });
    view->reloadDataWithItems(items, groups, false);

    window.show();
    // "--screenshot <file>": save a picture of the window once it has settled, then quit.
    const QStringList arguments = app.arguments();
    const qsizetype shot = arguments.indexOf(QStringLiteral("--screenshot"));
    if (shot > 0 && shot + 1 < arguments.size()) {
        QTimer::singleShot(1500, &window, [&] {
            view->verticalScrollBar()->setValue(14800);
            view->selectItemsAtIndexes(QorIndexSet(QorRange { 995, 10 }));
        });
        QTimer::singleShot(2500, &window, [&] {
            window.grab().save(arguments.at(shot + 1));
            app.quit();
        });
    }
    const int result = app.exec();
    view->setDelegate(nullptr);
    return result;
}
