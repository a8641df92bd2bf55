// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

namespace platform {

// The icon the desktop shows for a file, from its type's theme icon;
// a generic file or folder icon where the theme has none. Never null.
// GUI thread only.
namespace FileIcon {

QIcon forPath(const QString &path);

} // namespace FileIcon
} // namespace platform
