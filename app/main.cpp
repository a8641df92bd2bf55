#include "app/HelperHandshake.h"
#include "platform/Exiv2Setup.h"
#include "platform/MainQueue.h"
#include "platform/Memory.h"
#include "platform/SingleInstance.h"
#include "platform/widgets/ScreenRegistry.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    platform::Memory::keepFreedMemoryForReuse();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Calvorn"));
    QApplication::setApplicationVersion(QStringLiteral(CALVORN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(CALVORN_APP_ID));
    initializeExiv2();

    platform::ScreenRegistry screens;
    QMainWindow window;

    // A second start only brings the first one's window forward.
    platform::SingleInstance instance(QStringLiteral(CALVORN_APP_ID), [&window] {
        window.show();
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.raise();
        window.activateWindow();
    });
    if (instance.start() == platform::SingleInstance::Role::Second)
        return 0;

    window.setWindowTitle(QStringLiteral("Calvorn"));
    window.resize(1100, 720);
    window.show();

    platform::MainQueue::post([] { HelperHandshake().atLaunch(); });
    return app.exec();
}
