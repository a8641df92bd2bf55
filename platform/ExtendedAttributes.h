// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Copies every extended attribute of the file at sourcePath (file managers
// keep tags, ratings and comments there, and access control lists live
// there too) onto the open file targetFd. Attributes of the namespaces only
// the system may set (security, trusted) are copied where allowed and
// otherwise left out. Returns an empty text on success, else the reason.
QString copyExtendedAttributes(const QByteArray &sourcePath, int targetFd);

} // namespace platform
