// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/DropView.h"

#include "common/Globals.h"
#include "platform/widgets/DragData.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QPainter>

bool acceptsDraggedPaths(const QStringList &paths, const QStringList &extensions)
{
    if (paths.isEmpty())
        return false;
    const QFileInfo first(paths.first());
    return extensions.contains(first.suffix().toLower()) || first.isDir();
}

namespace {

// Answers a drag entering a drop target; true when it is taken.
bool answerDragEntry(QDropEvent *event, const QStringList &extensions)
{
    if (!acceptsDraggedPaths(platform::DragData::localFiles(event->mimeData()), extensions)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

} // namespace

DropView::DropView(QWidget *parent)
    : QWidget(parent)
    , allExtensions(supportedExtensions())
{
    setAcceptDrops(true);
}

void DropView::dragEnterEvent(QDragEnterEvent *event)
{
    if (answerDragEntry(event, allExtensions))
        setBackgroundColor(palette().color(QPalette::Highlight).lighter(170));
}

void DropView::dragLeaveEvent(QDragLeaveEvent *event)
{
    QWidget::dragLeaveEvent(event);
    draggingEnded();
}

void DropView::dropEvent(QDropEvent *event)
{
    draggingEnded();
    const QStringList paths = platform::DragData::localFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (delegate)
        delegate->filesDropped(paths);
}

void DropView::draggingEnded()
{
    setBackgroundColor(Qt::transparent);
}

void DropView::setBackgroundColor(const QColor &color)
{
    if (color == m_background)
        return;
    m_background = color;
    update();
}

void DropView::setDrawsDashedBorder(bool on)
{
    m_drawsDashedBorder = on;
    update();
}

void DropView::paintEvent(QPaintEvent *)
{
    if (m_background.alpha() == 0 && !m_drawsDashedBorder)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    constexpr qreal Radius = 10;
    QPen pen(Qt::NoPen);
    if (m_drawsDashedBorder) {
        pen = QPen(palette().color(QPalette::Mid), 2, Qt::DashLine);
        pen.setDashPattern({ 4, 3 });
    }
    painter.setPen(pen);
    painter.setBrush(m_background);
    painter.drawRoundedRect(area, Radius, Radius);
}

TableDropView::TableDropView(QWidget *parent)
    : QTableView(parent)
    , allExtensions(supportedExtensions())
{
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
}

void TableDropView::dragEnterEvent(QDragEnterEvent *event)
{
    fileTypeIsOk = answerDragEntry(event, allExtensions);
}

void TableDropView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!fileTypeIsOk) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void TableDropView::dropEvent(QDropEvent *event)
{
    const QStringList paths = platform::DragData::localFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    droppedFilePath = paths.first();
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (delegateDrop)
        delegateDrop->filesDroppedOnTable(paths);
}
