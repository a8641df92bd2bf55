// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/AppHelpers.h"

#include "common/ScanFlags.h"
#include "platform/FileOps.h"
#include "platform/MainQueue.h"
#include "platform/PhotosApp.h"
#include "platform/widgets/FileIcon.h"
#include "platform/widgets/Presenter.h"

#include <QGridLayout>
#include <QLayout>
#include <QWidget>

#include <cmath>
#include <cstring>

void delay(double seconds, std::function<void()> fn)
{
    const int ms = seconds > 0 ? int(std::min(std::ceil(seconds * 1000.0), double(INT_MAX))) : 0;
    platform::MainQueue::after(ms, nullptr, std::move(fn));
}

bool isPhotosAppRunning()
{
    return platform::PhotosApp::isRunning();
}

void terminateApplication(const QString &name)
{
    if (name == PhotosAppName)
        platform::PhotosApp::terminate();
}

QWidget *makeOverlayWindow(QWidget *host, QWidget *content)
{
    return platform::Presenter::presentAsOverlay(host, content);
}

void pinSubview(QWidget *container, QWidget *subview)
{
    QLayout *layout = container->layout();
    if (!layout) {
        layout = new QGridLayout(container);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
    }
    layout->addWidget(subview);
    subview->show();
}

std::optional<QIcon> fileIcon(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    return platform::FileIcon::forPath(path);
}

std::optional<QStringList> collectFiles(const QString &path, QList<QByteArray> *undecodable)
{
    const auto attributes = platform::FileOps::attributes(path);
    if (!attributes)
        return QStringList();
    if (!attributes->isFolder)
        return QStringList { path };
    static const QLatin1String LibraryPhotos(".photoslibrary/originals/");
    QStringList found;
    const auto outcome = platform::FileWalk::collect(
        path, &ScanFlags::shared(),
        [&](const QString &entry) {
            // Photos inside a library are reached through its database, not
            // as loose files, when the walk came from outside their folder.
            const qsizetype library = entry.lastIndexOf(LibraryPhotos, -1, Qt::CaseInsensitive);
            if (library < 0 || library + qsizetype(std::strlen(".photoslibrary")) < path.size())
                found << entry;
        },
        [&](const QByteArray &entry) {
            if (undecodable)
                undecodable->append(entry);
        });
    if (outcome == platform::FileWalk::Outcome::Unreadable)
        return std::nullopt;
    return found;
}
