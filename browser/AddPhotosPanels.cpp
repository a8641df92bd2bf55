// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/AddPhotosPanels.h"

#include "common/Globals.h"
#include "platform/MainQueue.h"
#include "platform/Paths.h"
#include "platform/widgets/OpenPanel.h"

#include <QFileInfo>
#include <QPointer>

namespace AddPhotosPanels {

namespace {

const QString LibraryExtension = QStringLiteral("photoslibrary");

} // namespace

platform::OpenPanel *newFilesAndFoldersPanel(QWidget *parent, const QString &buttonTitle)
{
    auto *panel = new platform::OpenPanel(parent);
    panel->setResolvesAliases(true);
    panel->setAllowsMultipleSelection(true);
    panel->setCanChooseDirectories(true);
    panel->setCanCreateDirectories(true);
    panel->setCanChooseFiles(true);
    panel->setAllowedFileTypes(supportedExtensions());
    panel->setTreatsPackagesAsDirectories(false);
    panel->setPrompt(buttonTitle);
    panel->setWindowTitle(QObject::tr("Add Photos"));
    panel->setFolderMemoryKey(QStringLiteral("addPhotosPanelFolder"));
    return panel;
}

platform::OpenPanel *newPhotosLibraryPanel(QWidget *parent, const QString &buttonTitle)
{
    auto *panel = new platform::OpenPanel(parent);
    panel->setAllowsMultipleSelection(false);
    panel->setCanChooseDirectories(false);
    panel->setCanCreateDirectories(false);
    panel->setCanChooseFiles(true);
    panel->setTreatsPackagesAsDirectories(false);
    panel->setDirectoryUrl(QUrl::fromLocalFile(platform::Paths::picturesFolder()));
    panel->setAllowedFileTypes({ LibraryExtension });
    panel->setPrompt(buttonTitle);
    panel->setWindowTitle(QObject::tr("Add a Photo Library"));
    panel->setShouldEnable(shouldEnableInLibraryPanel);
    return panel;
}

bool shouldEnableInLibraryPanel(const QUrl &url)
{
    const QFileInfo entry(url.toLocalFile());
    if (entry.suffix().compare(LibraryExtension, Qt::CaseInsensitive) == 0)
        return true;
    return entry.isDir();
}

void run(platform::OpenPanel *panel, QWidget *window, int delayMs, QObject *context,
    std::function<void(const QList<QUrl> &)> chosen)
{
    QPointer<platform::OpenPanel> asked(panel);
    panel->beginSheet(window, [asked, delayMs, context = QPointer<QObject>(context), chosen](int response) {
        if (response != platform::OpenPanel::OK || !asked || !context)
            return;
        const QList<QUrl> urls = asked->urls();
        platform::MainQueue::after(delayMs, context, [urls, chosen] { chosen(urls); });
    });
}

QList<ViewControllerCellViewModel> scanRequests(const QList<QUrl> &urls)
{
    QList<ViewControllerCellViewModel> requests;
    requests.reserve(urls.size());
    for (const QUrl &url : urls) {
        ViewControllerCellViewModel request;
        request.path = url.toLocalFile();
        request.isSelected = true;
        requests << request;
    }
    return requests;
}

QList<QUrl> fileUrls(const QStringList &paths)
{
    QList<QUrl> urls;
    urls.reserve(paths.size());
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    return urls;
}

} // namespace AddPhotosPanels
