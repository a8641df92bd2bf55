// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/QorCollectionGridViewItem.h"

#include "browser/HomeViewController.h"
#include "common/Globals.h"
#include "common/Localization.h"
#include "engine/FileInfo.h"
#include "engine/FileProperties.h"
#include "platform/Workspace.h"
#include "platform/widgets/PreviewPanel.h"
#include "platform/widgets/ThemeIcon.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>

void ThumbnailView::setImage(const QImage &image)
{
    m_image = image;
    m_pixmap = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    update();
}

void ThumbnailView::setShowsPlaceholder(bool on)
{
    if (m_placeholder == on)
        return;
    m_placeholder = on;
    update();
}

void ThumbnailView::paintEvent(QPaintEvent *)
{
    if (m_pixmap.isNull()) {
        if (m_placeholder) {
            constexpr int Side = 64;
            QPainter painter(this);
            painter.setOpacity(0.45);
            platform::themeIcon(QStringLiteral("image-x-generic"))
                .paint(&painter, QRect((width() - Side) / 2, (height() - Side) / 2, Side, Side));
        }
        return;
    }
    const QSize fitted = m_pixmap.size().scaled(size(), Qt::KeepAspectRatio).boundedTo(m_pixmap.size());
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, m_pixmap);
}

void ElidingLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}

namespace {

// The cell's rounded card.
class RoundedBox : public QFrame
{
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *) override
    {
        constexpr qreal Radius = 5;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Base));
        painter.drawRoundedRect(QRectF(rect()), Radius, Radius);
    }
};

QLabel *smallLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

} // namespace

QorCollectionGridViewItem::QorCollectionGridViewItem(QWidget *parent)
    : QWidget(parent)
{
    boxParent = new RoundedBox(this);

    imageView = new ThumbnailView(boxParent);
    imageView->setMinimumSize(1, 1);
    checkBox = new QCheckBox(boxParent);
    checkBox->setToolTip(tr("Mark for editing"));
    connect(checkBox, &QCheckBox::clicked, this, [this] {
        if (owner)
            owner->clickedCollectionViewItemCheckBox(this);
    });
    imageViewPhotosLib = new QLabel(boxParent);
    imageViewPhotosLib->setPixmap(
        QIcon::fromTheme(QStringLiteral("folder-pictures"), style()->standardIcon(QStyle::SP_DirIcon))
            .pixmap(16, 16));
    imageViewPhotosLib->setToolTip(tr("From a photo library"));
    imageViewPhotosLib->hide();

    name = new ElidingLabel(boxParent);
    name->setAlignment(Qt::AlignCenter);
    date = smallLabel(boxParent);
    size = smallLabel(boxParent);
    size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // The check box and the badge sit over the thumbnail's corners.
    auto *picture = new QGridLayout;
    picture->setContentsMargins(0, 0, 0, 0);
    picture->addWidget(imageView, 0, 0, 2, 2);
    picture->addWidget(checkBox, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    picture->addWidget(imageViewPhotosLib, 0, 1, Qt::AlignRight | Qt::AlignTop);
    picture->setRowStretch(1, 1);
    picture->setColumnStretch(1, 1);

    auto *facts = new QHBoxLayout;
    facts->setContentsMargins(0, 0, 0, 0);
    facts->addWidget(date, 1);
    facts->addWidget(size);

    auto *box = new QVBoxLayout(boxParent);
    box->setContentsMargins(6, 6, 6, 4);
    box->setSpacing(2);
    box->addLayout(picture, 1);
    box->addWidget(name);
    box->addLayout(facts);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(boxParent);
}

QString QorCollectionGridViewItem::filePath() const
{
    return fileInfo ? fileInfo->path() : QString();
}

void QorCollectionGridViewItem::loadThumbnail()
{
    // Whatever was asked before is no longer wanted.
    const quint64 request = m_ticket.next();
    const QString path = filePath();
    if (path.isEmpty()) {
        setThumbnail(QString(), QImage());
        return;
    }
    GridThumbnails &thumbnails = GridThumbnails::shared();
    if (const auto cached = thumbnails.cached(path)) {
        setThumbnail(path, *cached);
        return;
    }
    // Never another file's picture while this one's is made.
    if (m_thumbnailPath != path)
        setThumbnail(QString(), QImage());
    thumbnails.request(
        path, m_ticket, request, this, [this, path](const QImage &image) { setThumbnail(path, image); });
}

void QorCollectionGridViewItem::setThumbnail(const QString &path, const QImage &image)
{
    m_thumbnailPath = path;
    imageView->setImage(image);
    imageView->setShowsPlaceholder(!path.isEmpty() && image.isNull());
}

QMenu *QorCollectionGridViewItem::makeContextMenu()
{
    auto *menu = new QMenu;
    auto add = [this, menu](const char *key, const char *icon, void (QorCollectionGridViewItem::*action)()) {
        menu->addAction(platform::themeIcon(QLatin1String(icon)), localizedString(key), this, action);
    };
    add("QX_ID_281", "view-list-details", &QorCollectionGridViewItem::showMetadata);
    add("QX_ID_280", "edit-select-all", &QorCollectionGridViewItem::markOrUnmarkAll);
    menu->addSeparator();
    add("QX_ID_276", "list-add", &QorCollectionGridViewItem::addPhotos);
    menu->addSeparator();
    add("QX_ID_277", "list-remove", &QorCollectionGridViewItem::removePhoto);
    add("QX_ID_278", "edit-delete", &QorCollectionGridViewItem::removeAllSelectedPhotos);
    add("QX_ID_279", "edit-clear-all", &QorCollectionGridViewItem::removeAllPhotos);
    menu->addSeparator();
    add("QX_ID_282", "document-properties", &QorCollectionGridViewItem::getInfo);
    add("QX_ID_283", "view-preview", &QorCollectionGridViewItem::quickLookFile);
    add("QX_ID_284", "document-open-folder", &QorCollectionGridViewItem::revealInFinder);
    return menu;
}

void QorCollectionGridViewItem::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = makeContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

void QorCollectionGridViewItem::showMetadata()
{
    if (fileInfo && owner)
        owner->openPreview(fileInfo);
}

void QorCollectionGridViewItem::markOrUnmarkAll()
{
    if (owner)
        owner->markOrUnmarkAll();
}

void QorCollectionGridViewItem::addPhotos()
{
    if (owner)
        owner->showAddPhotosPanel();
}

void QorCollectionGridViewItem::removePhoto()
{
    if (owner && fileInfo && fileInfo->url)
        owner->confirmRemoveItem(fileInfo->url);
}

void QorCollectionGridViewItem::removeAllSelectedPhotos()
{
    if (owner)
        owner->removeMarkedItems();
}

void QorCollectionGridViewItem::removeAllPhotos()
{
    if (owner)
        owner->removeAllItems();
}

void QorCollectionGridViewItem::getInfo()
{
    const QString path = filePath();
    if (!path.isEmpty())
        platform::Workspace::showProperties(path);
}

void QorCollectionGridViewItem::quickLookFile()
{
    if (item < 0 || item >= displayedFiles().size())
        return;
    url = fileInfo ? fileInfo->url : std::nullopt;
    if (url)
        platform::PreviewPanel::shared()->showFile(url->toLocalFile(), picture(url->toLocalFile()));
}

void QorCollectionGridViewItem::revealInFinder()
{
    const QString path = filePath();
    if (path.isEmpty())
        return;
    if (!platform::Workspace::reveal({ path }))
        platform::Workspace::openUrl(*fileInfo->url);
}
