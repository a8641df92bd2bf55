// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/ScanViewStatus.h"

#include <QPointer>
#include <QSize>
#include <QVariantMap>
#include <QWidget>

class CircularProgressView;
class QLabel;
class QPushButton;

// The sheet over the main window while a scan runs: a progress ring, the
// entry being processed, the photos accepted so far and the processed and
// total counts, fed by the "ScanViewStatus" notification. Its Stop button
// pauses the scan while it asks, and stops it on confirmation. It also asks
// whether to quit the photo application when the scan meets its library.
class ScanVC : public QWidget
{
    Q_OBJECT
public:
    explicit ScanVC(QWidget *parent = nullptr);

    // The one sheet of the process, made on first use.
    static ScanVC *shared();

    // The sheet's size on the main window.
    static constexpr QSize SheetSize { 707, 507 };

    QPointer<QLabel> lblAddingPhotos;
    QPointer<CircularProgressView> progress;
    QPointer<QPushButton> btnStop;
    QPointer<QLabel> lblPath;
    QPointer<QLabel> lblPathValue;
    QPointer<QLabel> lblPhotosSelected;
    QPointer<QLabel> lblProcessing;
    QPointer<QLabel> lblProcessingValue;

    void setupStopButton();
    // The Stop button: pauses, asks, then stops or resumes.
    void clickedClose();
    // Dismisses the sheet. (Hides QWidget::close, which nobody calls on the
    // sheet: it is presented and dismissed through platform::Presenter.)
    void close();
    // Shows the status a notification carries; anything else is ignored.
    void notificationUpdateScanViewStatus(const QVariantMap &userInfo);
    using QWidget::update;
    void update(const ScanViewStatus &status);
    // Asks whether to quit the photo application so its library can be read.
    void askToQuitPhotos();
};
