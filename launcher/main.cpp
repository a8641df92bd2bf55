// SPDX-License-Identifier: GPL-3.0-or-later
#include "launcher/Handshake.h"
#include "launcher/Launcher.h"

#include <QCoreApplication>

// Started at login through the XDG autostart entry that Calvorn writes.
// No window: it starts Calvorn unless Calvorn runs, and waits until Calvorn
// tells it to quit.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Calvorn_Helper"));

    launcher::Launcher launcher(launcher::mainProgramFrom(QCoreApplication::applicationDirPath()));
    QObject::connect(
        &launcher, &launcher::Launcher::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    if (!launcher.start())
        return 0;
    return app.exec();
}
