// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace platform {

// Notifications between our programs, as signals on the session bus: one
// object path and interface for all of them, the notification's name as the
// signal's member and its object as the one text argument. Without a
// session bus both calls do nothing.
namespace BusNotifications {

QString objectPath();
QString interfaceName();

// Sends the notification to whoever observes it; nothing comes back.
// False when it could not be sent.
bool post(const QString &name, const QString &object);

// Calls fn on the GUI thread each time the notification arrives with
// exactly this object, until context is destroyed. Returns once the bus
// applies the subscription, so a notification sent after this returns is
// not missed. False when there is no bus or the subscription failed.
bool observe(const QString &name, const QString &object, QObject *context, std::function<void()> fn);

} // namespace BusNotifications
} // namespace platform
