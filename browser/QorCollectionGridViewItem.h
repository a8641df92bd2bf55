// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/GridThumbnails.h"

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <optional>

class FileInfo;
class HomeViewController;
class QCheckBox;
class QMenu;

// A picture scaled to fit its area, keeping its proportions.
class ThumbnailView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }
    // Whether a generic picture icon stands for a file nothing decodes
    // (rather than an empty cell while its thumbnail is made).
    void setShowsPlaceholder(bool on);
    bool showsPlaceholder() const { return m_placeholder; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
    QPixmap m_pixmap;
    bool m_placeholder = false;
};

// A text label that shows as much of its text as fits, with an ellipsis in
// the middle; its text stays whole.
class ElidingLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// One cell of the photo grid: a file's thumbnail, name, date and size, a
// badge for photos from a photo library, and the check box that marks the
// file. Its context menu reaches the main screen's commands. The main
// screen fills it each time the grid shows it for a file; the thumbnail is
// made in the background and dropped when the cell has meanwhile been
// filled for something else.
class QorCollectionGridViewItem : public QWidget
{
    Q_OBJECT
public:
    explicit QorCollectionGridViewItem(QWidget *parent = nullptr);

    QPointer<QFrame> boxParent;
    QPointer<ThumbnailView> imageView;
    QPointer<QCheckBox> checkBox;
    QPointer<ElidingLabel> name;
    QPointer<QLabel> date;
    QPointer<QLabel> size;
    QPointer<QLabel> imageViewPhotosLib;

    // The group and the index in the displayed list of the file shown.
    qint64 section = 0;
    qint64 item = 0;
    // The URL last handed to the quick view.
    std::optional<QUrl> url;
    std::shared_ptr<FileInfo> fileInfo;
    // The screen the menu and the check box act on; set with the file.
    QPointer<HomeViewController> owner;

    // Shows the file's thumbnail, made off the GUI thread (at once when it
    // is cached). A cell without a file with a URL shows none.
    void loadThumbnail();

    // A new context menu of the cell's commands; the caller owns it.
    QMenu *makeContextMenu();
    void showMetadata();
    void markOrUnmarkAll();
    void addPhotos();
    void removePhoto();
    void removeAllSelectedPhotos();
    void removeAllPhotos();
    void getInfo();
    void quickLookFile();
    void revealInFinder();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void setThumbnail(const QString &path, const QImage &image);
    // The file's path; empty without a file or a URL.
    QString filePath() const;

    GridThumbnails::Ticket m_ticket;
    // Whose thumbnail imageView shows.
    QString m_thumbnailPath;
};
