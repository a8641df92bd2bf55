// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QStringList>

#include <functional>

class QMimeData;
class QObject;
class QWidget;

namespace platform {

// Dragging and dropping between widgets and other programs.
namespace DragData {

// The paths of the dragged files, from "text/uri-list"; empty unless every
// URL is a local file.
QStringList localFiles(const QMimeData *mime);
// A new "text/uri-list" payload for local files; the caller owns it.
QMimeData *mimeDataForFiles(const QStringList &paths);

// A picture of the widget at the given opacity, to drag around.
QPixmap translucentGrab(QWidget *source, qreal opacity = 0.5);

struct Drag
{
    QObject *source = nullptr;
    // Owned by the drag once exec() is called.
    QMimeData *mimeData = nullptr;
    QPixmap image;
    // The point of the image under the pointer.
    QPoint hotSpot;
    Qt::DropActions actions = Qt::CopyAction;
    Qt::DropAction defaultAction = Qt::CopyAction;
};

// Runs the drag until it is dropped or abandoned; answers what the target
// did (Qt::IgnoreAction when nothing took it). Blocks in the platform's
// drag loop, unless a performer is installed.
Qt::DropAction exec(const Drag &drag);

// Tests replace the platform's drag loop: the performer sees the drag (it
// may deliver drop events itself) and answers the action. Returns the
// previous performer; an empty one restores the real loop.
using Performer = std::function<Qt::DropAction(const Drag &)>;
Performer setPerformer(Performer performer);

} // namespace DragData
} // namespace platform
