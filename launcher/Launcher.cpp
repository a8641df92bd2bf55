// SPDX-License-Identifier: GPL-3.0-or-later
#include "launcher/Launcher.h"

#include "launcher/Handshake.h"
#include "platform/BusNotifications.h"
#include "platform/Console.h"
#include "platform/Presence.h"
#include "platform/Workspace.h"

namespace launcher {

Launcher::Launcher(const QString &mainProgram, QObject *parent)
    : QObject(parent)
    , m_mainProgram(mainProgram)
{ }

bool Launcher::start()
{
    const QString mainId = QStringLiteral(CALVORN_APP_ID);
    // Listening comes first, so Calvorn's word cannot pass unheard however
    // quickly it starts.
    const bool listening = platform::BusNotifications::observe(
        QLatin1String(KillNotification), mainId, this, [this] { emit finished(); });
    if (platform::Presence::isRunning(mainId))
        return false;
    // Calvorn tells the helper to quit only when it sees this name, so it is
    // taken before Calvorn starts.
    if (listening && !platform::Presence::claim(QStringLiteral(CALVORN_HELPER_ID)))
        platform::Console::err(QStringLiteral("Another Calvorn_Helper is running"));
    // A failed start is printed by launch(); the helper still waits, as
    // Calvorn started by other means also ends it.
    platform::Workspace::launch(m_mainProgram);
    return listening;
}

} // namespace launcher
