// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/DragData.h"

#include <QDrag>
#include <QMimeData>
#include <QPainter>
#include <QUrl>
#include <QWidget>

#include <memory>

namespace platform::DragData {

namespace {

Performer &performer()
{
    static Performer p;
    return p;
}

} // namespace

QStringList localFiles(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    QStringList paths;
    const QList<QUrl> urls = mime->urls();
    paths.reserve(urls.size());
    for (const QUrl &url : urls) {
        if (!url.isLocalFile())
            return {};
        paths.append(url.toLocalFile());
    }
    return paths;
}

QMimeData *mimeDataForFiles(const QStringList &paths)
{
    QList<QUrl> urls;
    urls.reserve(paths.size());
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    auto *mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}

QPixmap translucentGrab(QWidget *source, qreal opacity)
{
    if (!source)
        return {};
    const QPixmap grabbed = source->grab();
    if (grabbed.width() <= 0 || grabbed.height() <= 0)
        return {};
    QPixmap faded(grabbed.size());
    faded.setDevicePixelRatio(grabbed.devicePixelRatio());
    faded.fill(Qt::transparent);
    QPainter painter(&faded);
    painter.setOpacity(opacity);
    painter.drawPixmap(0, 0, grabbed);
    return faded;
}

Qt::DropAction exec(const Drag &drag)
{
    if (performer()) {
        const std::unique_ptr<QMimeData> owned(drag.mimeData);
        return performer()(drag);
    }
    auto *qdrag = new QDrag(drag.source);
    qdrag->setMimeData(drag.mimeData);
    if (!drag.image.isNull()) {
        qdrag->setPixmap(drag.image);
        qdrag->setHotSpot(drag.hotSpot);
    }
    // QDrag deletes itself once the drag loop has ended.
    return qdrag->exec(drag.actions, drag.defaultAction);
}

Performer setPerformer(Performer p)
{
    Performer previous = std::move(performer());
    performer() = std::move(p);
    return previous;
}

} // namespace platform::DragData
