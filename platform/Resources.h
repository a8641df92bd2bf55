// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace platform {

// Property lists compiled into the program with Qt's resource system.
namespace Resources {

// Loads ":/<name>.plist"; none when missing, malformed or not a dictionary.
std::optional<QVariantMap> loadPlist(const QString &name);
// Parses an XML property list; none when malformed.
std::optional<QVariant> parsePlist(const QByteArray &xml);

} // namespace Resources
} // namespace platform
