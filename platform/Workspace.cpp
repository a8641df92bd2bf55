#include "platform/Workspace.h"

#include "platform/Console.h"

#include <QDBusConnection>
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

QUrl storeUrl(const QString &applicationId)
{
    return QUrl(QStringLiteral("appstream://") + applicationId);
}

namespace {

// A file manager that has not answered by then is taken as absent.
constexpr int FileManagerTimeoutMs = 5000;

bool askFileManager(const QString &method, const QStringList &paths)
{
    if (paths.isEmpty())
        return true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QStringList uris;
    for (const QString &path : paths)
        uris << QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"), method);
    call << uris << QString();
    return bus.call(call, QDBus::Block, FileManagerTimeoutMs).type() == QDBusMessage::ReplyMessage;
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
    if (!askFileManager(QStringLiteral("ShowFolders"), folders)) {
        for (const QString &folder : folders)
            shown = openUrl(QUrl::fromLocalFile(folder)) && shown;
    }
    if (!askFileManager(QStringLiteral("ShowItems"), files)) {
        for (const QString &file : files)
            shown = openUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath())) && shown;
    }
    return shown;
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
