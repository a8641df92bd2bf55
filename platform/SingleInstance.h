// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace platform {

// One running copy of an application per session. The first process owns
// the application's id on the session bus and answers the desktop's
// standard org.freedesktop.Application.Activate; a later start asks that
// process to come forward and then ends.
class SingleInstance : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    enum class Role {
        First, // this process owns the id, or there is no bus to ask
        Second, // another process owns the id and was asked to activate
    };

    SingleInstance(const QString &id, std::function<void()> onActivate,
        const QDBusConnection &bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);
    ~SingleInstance() override;

    Role start();

    // "/org/example/App" for "org.example.App", as desktops expect.
    static QString objectPath(const QString &id);

public slots:
    // Called over the bus by a later start (or by the desktop).
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData);

private:
    bool askOwnerToActivate();

    QString m_id;
    std::function<void()> m_onActivate;
    QDBusConnection m_bus;
    bool m_registered = false;
};

} // namespace platform
