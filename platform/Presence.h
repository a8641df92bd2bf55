// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QString>

namespace platform {

// Which of our programs run in this session: each one holds its identifier
// as a well-known name on the session bus for as long as it lives.
namespace Presence {

// Takes id as this process's name, without queueing behind another owner.
// False when another process holds it or there is no session bus.
bool claim(const QString &id, const QDBusConnection &bus = QDBusConnection::sessionBus());
// True when some process holds id; false without a session bus.
bool isRunning(const QString &id, const QDBusConnection &bus = QDBusConnection::sessionBus());

} // namespace Presence
} // namespace platform
