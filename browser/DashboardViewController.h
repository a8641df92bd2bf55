// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/DropView.h"

#include <QFrame>
#include <QLabel>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

// The welcome screen while nothing is loaded: add image files and folders,
// add a photo library, or drop files and folders. Whatever the user picks
// goes, a tenth of a second later, to the main screen, which the window
// shows first; the scan decides what is loaded.
class DashboardViewController : public QWidget, public DropViewDelegate
{
    Q_OBJECT
public:
    explicit DashboardViewController(QWidget *parent = nullptr);

    // The one dashboard of the run, made on first use.
    static DashboardViewController *shared();

    QPointer<QLabel> lblWelcomeTo;
    QPointer<QLabel> lblCalvorn;
    QPointer<QFrame> boxAddPhotos;
    QPointer<QLabel> lblAddPhotos;
    QPointer<QPushButton> btnAddPhotos;
    QPointer<QFrame> boxAddPhotosLibrary;
    QPointer<QLabel> lblPhotosLibrary;
    QPointer<QPushButton> btnPhotosLibrary;
    QPointer<DropView> dropView;
    QPointer<QLabel> lblOrDragnDrop;

    void showAddPhotosPanel();
    void showAddPhotosLibraryPanel();
    void filesDropped(const QStringList &paths) override;
    // Shows the main screen and has it scan the URLs.
    void startScan(const QList<QUrl> &urls);

signals:
    // The window is to show the main screen.
    void homePageRequested();

private:
    // A framed box: a large picture, a caption and a button with its icon.
    QFrame *addBox(QPointer<QLabel> &label, QPointer<QPushButton> &button, const QString &buttonTitle,
        const QString &pictureName, const QString &buttonIconName);
};
