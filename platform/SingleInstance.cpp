// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SingleInstance.h"

#include "platform/Console.h"
#include "platform/Presence.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>

namespace platform {

SingleInstance::SingleInstance(
    const QString &id, std::function<void()> onActivate, const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_id(id)
    , m_onActivate(std::move(onActivate))
    , m_bus(bus)
{ }

SingleInstance::~SingleInstance()
{
    if (m_registered)
        m_bus.unregisterObject(objectPath(m_id));
}

QString SingleInstance::objectPath(const QString &id)
{
    return QLatin1Char('/') + QString(id).replace(QLatin1Char('.'), QLatin1Char('/'));
}

SingleInstance::Role SingleInstance::start()
{
    if (!m_bus.isConnected())
        return Role::First;
    // The object is in place before the name, so whoever sees the name
    // can already call it.
    m_registered = m_bus.registerObject(objectPath(m_id), this, QDBusConnection::ExportScriptableSlots);
    if (Presence::claim(m_id, m_bus))
        return Role::First;
    if (m_registered) {
        m_bus.unregisterObject(objectPath(m_id));
        m_registered = false;
    }
    if (!askOwnerToActivate() && Presence::claim(m_id, m_bus)) {
        // The owner went away meanwhile: this process is the one now.
        m_registered = m_bus.registerObject(objectPath(m_id), this, QDBusConnection::ExportScriptableSlots);
        return Role::First;
    }
    return Role::Second;
}

void SingleInstance::Activate(const QVariantMap &)
{
    if (m_onActivate)
        m_onActivate();
}

bool SingleInstance::askOwnerToActivate()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        m_id, objectPath(m_id), QStringLiteral("org.freedesktop.Application"), QStringLiteral("Activate"));
    call << QVariantMap();
    // Waits with events running, so an owner in this same process (tests)
    // can answer.
    QDBusPendingCallWatcher watcher(m_bus.asyncCall(call));
    QEventLoop loop;
    connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (watcher.isError()) {
        Console::err(QStringLiteral("Could not bring the running %1 forward: %2")
                         .arg(m_id, watcher.error().message()));
        return false;
    }
    return true;
}

} // namespace platform
