#include "platform/widgets/ScreenRegistry.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Calvorn"));
    QApplication::setApplicationVersion(QStringLiteral(CALVORN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(CALVORN_APP_ID));

    platform::ScreenRegistry screens;
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Calvorn"));
    window.resize(1100, 720);
    window.show();
    return app.exec();
}
