// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Paths.h"

#include <QDir>
#include <QStandardPaths>

namespace platform::Paths {

QString cacheFolder()
{
    const QString folder
        = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Calvorn");
    QDir().mkpath(folder);
    return folder;
}

QString picturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() ? homeFolder() : pictures;
}

QString homeFolder()
{
    return QDir::homePath();
}

} // namespace platform::Paths
