// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>

#include <mutex>

namespace platform {

// The icon the desktop shows for a file, from its type's theme icon;
// a generic file or folder icon where the theme has none. Never null.
// GUI thread only.
namespace FileIcon {

QIcon forPath(const QString &path);

// The same icons for file lists (QFileSystemModel, QFileDialog), which ask
// from their own threads: made on the GUI thread, then safe on any thread.
class Provider : public QAbstractFileIconProvider
{
public:
    Provider();

    QIcon icon(IconType type) const override;
    QIcon icon(const QFileInfo &info) const override;

private:
    QIcon byType(const QMimeType &type) const;

    QIcon m_folder;
    QIcon m_file;
    QIcon m_drive;
    QMimeDatabase m_types;
    mutable std::mutex m_mutex;
    mutable QHash<QString, QIcon> m_byType;
};

} // namespace FileIcon
} // namespace platform
