#include "platform/Workspace.h"

#include "platform/Console.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform::Workspace {

bool openUrl(const QUrl &url)
{
    return url.isValid() && QDesktopServices::openUrl(url);
}

namespace {

// Asks the file manager on the session bus, without waiting for it: it may
// first have to start. False when no file manager is there to ask.
bool callFileManager(const QString &method, const QStringList &paths)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const bool running = bus.interface()->isServiceRegistered(FileManagerService).value();
    if (!running && !bus.interface()->activatableServiceNames().value().contains(FileManagerService))
        return false;
    QStringList uris;
    for (const QString &path : paths)
        uris << QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    QDBusMessage call = QDBusMessage::createMethodCall(
        FileManagerService, QStringLiteral("/org/freedesktop/FileManager1"), FileManagerService, method);
    call << uris << QString();
    return bus.send(call);
}

bool openFolder(const QString &folder)
{
    return openUrl(QUrl::fromLocalFile(folder));
}

} // namespace

bool reveal(const QStringList &paths)
{
    QStringList folders;
    QStringList files;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        (info.isDir() ? folders : files) << info.absoluteFilePath();
    }
    bool shown = !paths.isEmpty();
    if (!folders.isEmpty() && !callFileManager(QStringLiteral("ShowFolders"), folders)) {
        for (const QString &folder : folders)
            shown = openFolder(folder) && shown;
    }
    if (!files.isEmpty() && !callFileManager(QStringLiteral("ShowItems"), files)) {
        for (const QString &file : files)
            shown = openFolder(QFileInfo(file).absolutePath()) && shown;
    }
    return shown;
}

bool showProperties(const QString &path)
{
    if (path.isEmpty())
        return false;
    return callFileManager(QStringLiteral("ShowItemProperties"), {path})
           || openFolder(QFileInfo(path).absolutePath());
}

QUrl storeUrl(const QString &applicationId)
{
    return QUrl(QStringLiteral("appstream://") + applicationId);
}

bool launch(const QString &programPath)
{
    if (QProcess::startDetached(programPath, {}, QDir::homePath()))
        return true;
    Console::err(QStringLiteral("Could not start %1").arg(programPath));
    return false;
}

bool isInstalled(const QString &applicationId)
{
    const QString entry = applicationId + QStringLiteral(".desktop");
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString &folder : folders) {
        const QFileInfo info(folder);
        if (!info.exists())
            continue;
        if (!info.isDir() || !info.isReadable()) {
            Console::out(QStringLiteral("Cannot list applications folder %1").arg(folder));
            continue;
        }
        if (QFileInfo::exists(folder + QLatin1Char('/') + entry))
            return true;
    }
    return false;
}

} // namespace platform::Workspace
