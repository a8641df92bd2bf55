// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/ViewControllerCellViewModel.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

class QObject;
class QWidget;

namespace platform {
class OpenPanel;
}

// The two open panels that bring photos in, shared by the dashboard and the
// main screen, and the scan requests made of what they chose.
namespace AddPhotosPanels {

// Image files of the supported types and folders, several at once; photo
// library packages cannot be chosen here.
platform::OpenPanel *newFilesAndFoldersPanel(QWidget *parent, const QString &buttonTitle);
// One photo library package, starting in the Pictures folder.
platform::OpenPanel *newPhotosLibraryPanel(QWidget *parent, const QString &buttonTitle);
// In the library panel: packages can be chosen and folders opened (to look
// for one); nothing else can be clicked.
bool shouldEnableInLibraryPanel(const QUrl &url);

// Runs the panel as a sheet of window; when it ends with OK, its URLs go to
// chosen, in the panel's order, delayMs later on the GUI thread (unless
// context is gone by then).
void run(platform::OpenPanel *panel, QWidget *window, int delayMs, QObject *context,
    std::function<void(const QList<QUrl> &)> chosen);

// One selected request per URL, in order.
QList<ViewControllerCellViewModel> scanRequests(const QList<QUrl> &urls);
// The file URLs of dropped paths, in order.
QList<QUrl> fileUrls(const QStringList &paths);

} // namespace AddPhotosPanels
