// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QStringList>
#include <QTableView>
#include <QWidget>

#include <optional>

class QMimeData;

// Receives the paths of files and folders dropped on a drop area.
class DropViewDelegate
{
public:
    virtual ~DropViewDelegate() = default;
    virtual void filesDropped(const QStringList &paths) = 0;
};

// Whether a drag of these paths may be dropped: the first path alone
// decides; it must be a folder (photo library packages included) or have
// one of the extensions, in any case. An empty list is refused.
bool acceptsDraggedPaths(const QStringList &paths, const QStringList &extensions);

// A drop area for files and folders. It accepts a drag by its first item
// and hands every dropped path, unfiltered, to its delegate: what is loaded
// is the scanner's decision. It tints itself while an accepted drag hovers.
class DropView : public QWidget
{
    Q_OBJECT
public:
    explicit DropView(QWidget *parent = nullptr);

    // The supported extensions, taken at creation.
    QStringList allExtensions;
    // Not owned: the screen holding the view.
    DropViewDelegate *delegate = nullptr;
    // A dashed rounded outline around the area, for a drop area that
    // stands on its own rather than behind other content.
    void setDrawsDashedBorder(bool on);

    // Clear unless an accepted drag hovers over the view.
    QColor backgroundColor() const { return m_background; }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void draggingEnded();
    void setBackgroundColor(const QColor &color);

    QColor m_background = Qt::transparent;
    bool m_drawsDashedBorder = false;
};

// Receives the paths dropped on a TableDropView.
class TableDropViewDelegate
{
public:
    virtual ~TableDropViewDelegate() = default;
    virtual void filesDroppedOnTable(const QStringList &paths) = 0;
};

// A table that takes dropped files and folders the same way; it remembers
// the verdict of the last drag and the first path of the last drop.
class TableDropView : public QTableView
{
    Q_OBJECT
public:
    explicit TableDropView(QWidget *parent = nullptr);

    QStringList allExtensions;
    TableDropViewDelegate *delegateDrop = nullptr;
    bool fileTypeIsOk = false;
    std::optional<QString> droppedFilePath;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
