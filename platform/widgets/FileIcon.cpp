// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/FileIcon.h"

#include "platform/widgets/ThemeIcon.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyle>

namespace platform::FileIcon {

namespace {

// The type's own theme icon, else its generic one (with our bundled
// generic picture icon behind the theme's).
QIcon themed(const QMimeType &type)
{
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = themeIcon(type.genericIconName());
    return icon;
}

} // namespace

QIcon forPath(const QString &path)
{
    const QFileInfo info(path);
    const QIcon generic
        = QApplication::style()->standardIcon(info.isDir() ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    const QIcon icon = themed(QMimeDatabase().mimeTypeForFile(info));
    return icon.isNull() ? generic : icon;
}

Provider::Provider()
    : m_folder(
        QIcon::fromTheme(QStringLiteral("folder"), QApplication::style()->standardIcon(QStyle::SP_DirIcon)))
    , m_file(QApplication::style()->standardIcon(QStyle::SP_FileIcon))
    , m_drive(QIcon::fromTheme(
          QStringLiteral("drive-harddisk"), QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon)))
{ }

QIcon Provider::icon(IconType type) const
{
    switch (type) {
    case Folder:
        return m_folder;
    case Drive:
    case Computer:
        return m_drive;
    default:
        return m_file;
    }
}

QIcon Provider::icon(const QFileInfo &info) const
{
    if (info.isRoot())
        return m_drive;
    if (info.isDir())
        return m_folder;
    // By name first: the model asks for every entry, and reading each
    // file's first bytes would be slow on large folders.
    const QIcon icon = byType(m_types.mimeTypeForFile(info, QMimeDatabase::MatchExtension));
    return icon.isNull() ? m_file : icon;
}

QIcon Provider::byType(const QMimeType &type) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_byType.constFind(type.name());
    if (found != m_byType.constEnd())
        return *found;
    const QIcon icon = themed(type);
    m_byType.insert(type.name(), icon);
    return icon;
}

} // namespace platform::FileIcon
