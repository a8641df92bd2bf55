#include "platform/Workspace.h"

#include "platform/Console.h"

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
