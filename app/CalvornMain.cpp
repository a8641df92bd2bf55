// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CalvornMain.h"

#include "app/AppDelegate.h"
#include "app/Screens.h"
#include "platform/Exiv2Setup.h"
#include "platform/LibraryLog.h"
#include "platform/MainQueue.h"
#include "platform/Memory.h"
#include "platform/SingleInstance.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"

#include <QApplication>

int runCalvorn(int argc, char *argv[], std::function<void()> launched)
{
    platform::Memory::keepFreedMemoryForReuse();
    QApplication app(argc, argv);
    // Also the X11 window class, which the desktop entry's StartupWMClass
    // names; Wayland compositors match the desktop file name instead.
    QApplication::setApplicationName(QStringLiteral("Calvorn"));
    QApplication::setApplicationVersion(QStringLiteral(CALVORN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(CALVORN_APP_ID));
    // Every window's icon, the dialogs' and sheets' included.
    QApplication::setWindowIcon(platform::applicationIcon());
    initializeExiv2();
    platform::LibraryLog::install();

    platform::ScreenRegistry screens;
    registerScreens(screens);
    AppDelegate delegate;

    // A second start only brings the first one's window forward.
    platform::SingleInstance instance(
        QStringLiteral(CALVORN_APP_ID), [&delegate] { delegate.applicationShouldHandleReopen(true); });
    if (instance.start() == platform::SingleInstance::Role::Second)
        return 0;

    delegate.applicationWillFinishLaunching();
    platform::MainQueue::post(&delegate, [&delegate, launched = std::move(launched)] {
        delegate.applicationDidFinishLaunching();
        if (launched)
            launched();
    });
    const int status = app.exec();
    delegate.applicationWillTerminate();
    return status;
}
