// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InitialWindowController.h"

#include "app/ViewController.h"
#include "platform/Settings.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/Window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace {

// Where the window was and how large, from the last run.
const QString GeometryKey = QStringLiteral("mainWindowGeometry");

} // namespace

InitialWindowController::InitialWindowController()
    : m_content(new ViewController(this))
{
    setWindowTitle(QStringLiteral("Calvorn"));
    setCentralWidget(m_content);
    // The pages' layouts set the least size: nothing is cut below it.
    const std::optional<QByteArray> geometry = platform::Settings::bytes(GeometryKey);
    if (!geometry || !restoreGeometry(*geometry)) {
        resize(1180, 760);
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    connect(qApp, &QCoreApplication::aboutToQuit, this, &InitialWindowController::rememberGeometry);
}

InitialWindowController *InitialWindowController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<InitialWindowController>();
}

void InitialWindowController::rememberGeometry()
{
    platform::Settings::setBytes(GeometryKey, QMainWindow::saveGeometry());
}

void InitialWindowController::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Saved on another screen or at another display scale, or larger than
    // this screen, it would open with its title bar out of reach.
    platform::Window::fitOnScreen(this);
}

void InitialWindowController::closeEvent(QCloseEvent *event)
{
    rememberGeometry();
    QMainWindow::closeEvent(event);
}
