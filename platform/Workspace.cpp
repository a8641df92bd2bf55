// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Workspace.h"

#include "platform/Console.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform::Workspace {

bool openUrl(const QUrl &url)
{
    // The desktop's opener starts even where nothing handles the address,
    // and then fails out of our sight.
    return url.isValid() && canOpen(url) && QDesktopServices::openUrl(url);
}

namespace {

bool desktopEntryListsType(const QString &path, const QByteArray &type)
{
    QFile entry(path);
    if (!entry.open(QIODevice::ReadOnly))
        return false;
    while (!entry.atEnd()) {
        const QByteArray line = entry.readLine().trimmed();
        if (line.startsWith("MimeType=") && line.mid(9).split(';').contains(type))
            return true;
    }
    return false;
}

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
    return callFileManager(QStringLiteral("ShowItemProperties"), { path })
        || openFolder(QFileInfo(path).absolutePath());
}

bool canOpen(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String("mailto") || scheme == QLatin1String("file") || scheme.isEmpty())
        return true;
    const QByteArray type = "x-scheme-handler/" + scheme.toLatin1();
    for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        QDirIterator entries(
            folder, { QStringLiteral("*.desktop") }, QDir::Files, QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            if (desktopEntryListsType(entries.next(), type))
                return true;
        }
    }
    return false;
}

QUrl storeUrl(const QString &applicationId)
{
    return QUrl(QStringLiteral("appstream:") + applicationId);
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
