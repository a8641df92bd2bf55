// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Presence.h"

#include <QDBusConnectionInterface>

namespace platform::Presence {

bool claim(const QString &id, const QDBusConnection &bus)
{
    QDBusConnectionInterface *daemon = bus.isConnected() ? bus.interface() : nullptr;
    if (!daemon)
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = daemon->registerService(
        id, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    return reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

bool isRunning(const QString &id, const QDBusConnection &bus)
{
    QDBusConnectionInterface *daemon = bus.isConnected() ? bus.interface() : nullptr;
    if (!daemon)
        return false;
    const QDBusReply<bool> reply = daemon->isServiceRegistered(id);
    return reply.isValid() && reply.value();
}

} // namespace platform::Presence
