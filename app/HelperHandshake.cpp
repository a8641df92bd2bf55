// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelperHandshake.h"

#include "common/AppSettings.h"
#include "launcher/Handshake.h"
#include "platform/BusNotifications.h"
#include "platform/LoginItem.h"
#include "platform/Presence.h"

#include <QCoreApplication>

HelperHandshake::HelperHandshake(const QString &helperProgram)
    : m_helperProgram(helperProgram)
{ }

QString HelperHandshake::installedHelper()
{
    return launcher::helperProgramFrom(QCoreApplication::applicationDirPath());
}

void HelperHandshake::atLaunch() const
{
    const QString helperId = QStringLiteral(CALVORN_HELPER_ID);
    const bool helperWaiting = platform::Presence::isRunning(helperId);
    // A failure is printed by the login item itself; start-up goes on.
    if (isLaunchAutomaticallyAtMacStartup())
        setLoginItemEnabled(true);
    if (helperWaiting)
        platform::BusNotifications::post(
            QLatin1String(launcher::KillNotification), QStringLiteral(CALVORN_APP_ID));
}

bool HelperHandshake::setLoginItemEnabled(bool on, QString *whyNot) const
{
    return platform::LoginItem::setEnabled(QStringLiteral(CALVORN_HELPER_ID), on, m_helperProgram, whyNot);
}
