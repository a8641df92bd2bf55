// SPDX-License-Identifier: GPL-3.0-or-later
#include "launcher/Handshake.h"

#include <QDir>

namespace launcher {

QString mainProgramFrom(const QString &helperFolder)
{
    return QDir::cleanPath(helperFolder + QStringLiteral("/../../bin/Calvorn"));
}

QString helperProgramFrom(const QString &mainFolder)
{
    return QDir::cleanPath(mainFolder + QStringLiteral("/../libexec/calvorn/Calvorn_Helper"));
}

} // namespace launcher
