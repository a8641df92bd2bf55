// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BusNotifications.h"

#include "platform/Console.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace platform::BusNotifications {

namespace {

// Receives one subscription's signals; unsubscribes when its context dies.
class Observer : public QObject
{
    Q_OBJECT
public:
    Observer(const QString &name, const QString &object, std::function<void()> fn, QObject *context)
        : QObject(context)
        , m_name(name)
        , m_object(object)
        , m_fn(std::move(fn))
    { }

    bool subscribe()
    {
        m_subscribed = QDBusConnection::sessionBus().connect(QString(), objectPath(), interfaceName(), m_name,
            { m_object }, QStringLiteral("s"), this, SLOT(deliver(QString)));
        return m_subscribed;
    }

    ~Observer() override
    {
        if (m_subscribed)
            QDBusConnection::sessionBus().disconnect(QString(), objectPath(), interfaceName(), m_name,
                { m_object }, QStringLiteral("s"), this, SLOT(deliver(QString)));
    }

public slots:
    void deliver(const QString &object)
    {
        // The bus filters on the object already, but a signal addressed
        // straight to this connection passes every match rule.
        if (object == m_object && m_fn)
            m_fn();
    }

private:
    QString m_name;
    QString m_object;
    std::function<void()> m_fn;
    bool m_subscribed = false;
};

} // namespace

QString objectPath()
{
    return QLatin1Char('/') + QStringLiteral(CALVORN_APP_ID).replace(QLatin1Char('.'), QLatin1Char('/'));
}

QString interfaceName()
{
    return QStringLiteral(CALVORN_APP_ID ".Notifications");
}

bool post(const QString &name, const QString &object)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage signal = QDBusMessage::createSignal(objectPath(), interfaceName(), name);
    signal << object;
    if (bus.send(signal))
        return true;
    Console::err(
        QStringLiteral("Could not send the notification %1: %2").arg(name, bus.lastError().message()));
    return false;
}

bool observe(const QString &name, const QString &object, QObject *context, std::function<void()> fn)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !context)
        return false;
    auto *observer = new Observer(name, object, std::move(fn), context);
    if (!observer->subscribe()) {
        Console::err(
            QStringLiteral("Could not observe the notification %1: %2").arg(name, bus.lastError().message()));
        delete observer;
        return false;
    }
    // The subscription reaches the bus without a reply; a round trip after
    // it proves the bus has applied it.
    const QDBusMessage ping = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus.Peer"),
        QStringLiteral("Ping"));
    bus.call(ping);
    return true;
}

} // namespace platform::BusNotifications

#include "BusNotifications.moc"
