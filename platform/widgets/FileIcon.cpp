// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/FileIcon.h"

#include <QApplication>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStyle>

namespace platform::FileIcon {

QIcon forPath(const QString &path)
{
    const QFileInfo info(path);
    const QIcon generic
        = QApplication::style()->standardIcon(info.isDir() ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    return icon.isNull() ? generic : icon;
}

} // namespace platform::FileIcon
