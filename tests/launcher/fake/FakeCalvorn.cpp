// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for Calvorn in a temporary install tree: it notes each start
// in the file named by CALVORN_FAKE_RECORD, holds Calvorn's name on the bus
// and, unless CALVORN_FAKE_SILENT is set, does Calvorn's side of the
// handshake with the helper. It stays until the test posts
// "fakeCalvornQuit".
#include "app/HelperHandshake.h"
#include "platform/BusNotifications.h"
#include "platform/Presence.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Calvorn"));

    QFile record(qEnvironmentVariable("CALVORN_FAKE_RECORD"));
    if (record.open(QIODevice::Append)) {
        record.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
        record.close();
    }

    if (!platform::Presence::claim(QStringLiteral(CALVORN_APP_ID)))
        return 2;
    platform::BusNotifications::observe(QStringLiteral("fakeCalvornQuit"), QStringLiteral(CALVORN_APP_ID),
        &app, [] { QCoreApplication::quit(); });
    if (!qEnvironmentVariableIsSet("CALVORN_FAKE_SILENT"))
        HelperHandshake().atLaunch();

    // A test that failed before telling it to quit must not leave it behind.
    QTimer::singleShot(120000, &app, &QCoreApplication::quit);
    return app.exec();
}
