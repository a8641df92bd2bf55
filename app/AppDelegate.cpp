// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"

#include "app/AboutWindow.h"
#include "app/InitialWindowController.h"
#include "app/MainMenu.h"
#include "app/PreferencesWindowController.h"
#include "batch/BatchFlags.h"
#include "common/AppSettings.h"
#include "common/ScanFlags.h"
#include "platform/GlobalQueue.h"
#include "platform/MainQueue.h"
#include "platform/Settings.h"
#include "platform/Workspace.h"
#include "platform/widgets/Alert.h"
#include "platform/widgets/ThemeIcon.h"
#include "platform/widgets/Window.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <memory>

AppDelegate::AppDelegate(const HelperHandshake &handshake, QObject *parent)
    : QObject(parent)
    , m_handshake(handshake)
{ }

void AppDelegate::applicationWillFinishLaunching()
{
    installMenu(InitialWindowController::shared());
    showMainWindowAtLaunch();
}

void AppDelegate::applicationDidFinishLaunching()
{
    setUpLoginItem();
    platform::MainQueue::after(RatingPromptDelayMs, this, [this] { rateUsOnAppStore(); });
}

void AppDelegate::applicationWillTerminate()
{
    ScanFlags::shared().setScanStopped(true);
    BatchFlags::shared().setProcessStopped(true);
    platform::GlobalQueue::shutDown();
}

bool AppDelegate::applicationShouldHandleReopen(bool)
{
    showMainWindow();
    return true;
}

void AppDelegate::showMainWindowAtLaunch()
{
    showMainWindow();
}

void AppDelegate::showMainWindow()
{
    platform::Window::activate(InitialWindowController::shared());
}

void AppDelegate::setUpLoginItem()
{
    m_handshake.atLaunch();
}

void AppDelegate::clickedShowApp()
{
    showMainWindow();
}

void AppDelegate::clickedPreferencesMenuItem()
{
    PreferencesWindowController *preferences = PreferencesWindowController::shared();
    addApplicationActions(preferences);
    if (!preferences->isVisible()) {
        preferences->adjustSize();
        platform::Window::centreOver(preferences, InitialWindowController::shared());
    }
    platform::Window::activate(preferences);
}

void AppDelegate::rateUsOnAppStore()
{
    if (!isAppstoreRated())
        showRatingAlert();
}

void AppDelegate::giveRatingOnAppstore()
{
    showRatingAlert();
}

void AppDelegate::showRatingAlert()
{
    std::unique_ptr<platform::Alert> alert(
        platform::Alert::warning(InitialWindowController::shared(), QStringLiteral("Enjoying Calvorn"),
            QStringLiteral("Spread the word and help other fellow users. \nRate us in your software centre."),
            { QStringLiteral("Rate Calvorn"), QStringLiteral("Remind Me Later") }));
    if (alert->runModal() != platform::Alert::FirstButton)
        return;
    // The user chose to rate: the question is not asked at start-up again,
    // whether or not this desktop has a software centre to show the page.
    platform::Settings::setBool(SettingsKey::isAppstoreRated, true);
    if (platform::Workspace::openUrl(platform::Workspace::storeUrl(QStringLiteral(CALVORN_APP_ID))))
        return;
    std::unique_ptr<platform::Alert> notOpened(platform::Alert::warning(InitialWindowController::shared(),
        tr("No software centre could open Calvorn's page"),
        tr("This desktop has no software centre that opens application pages. Thank you all the same!"),
        { tr("OK") }));
    notOpened->setAlertStyle(platform::Alert::Style::Informational);
    notOpened->runModal();
}

void AppDelegate::clickedAbout()
{
    if (!aboutWindow) {
        aboutWindow = new AboutWindow(InitialWindowController::shared());
        addApplicationActions(aboutWindow);
    }
    if (!aboutWindow->isVisible()) {
        aboutWindow->adjustSize();
        platform::Window::centreOver(aboutWindow, InitialWindowController::shared());
    }
    platform::Window::activate(aboutWindow);
}

void AppDelegate::installMenu(QMainWindow *window)
{
    if (menuItemShowApp)
        return;
    mainMenu = new MainMenu(window);
    QMenu *file = mainMenu->fileMenu();
    file->addSeparator();
    menuItemPreferences = file->addAction(platform::themeIcon(QStringLiteral("preferences-system")),
        tr("&Preferences…"), this, &AppDelegate::clickedPreferencesMenuItem);
    menuItemPreferences->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    menuItemPreferences->setMenuRole(QAction::PreferencesRole);
    file->addSeparator();
    menuItemQuit = file->addAction(platform::themeIcon(QStringLiteral("application-exit")), tr("&Quit"), qApp,
        &QCoreApplication::quit, Qt::QueuedConnection);
    menuItemQuit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    menuItemQuit->setMenuRole(QAction::QuitRole);
    menuItemShowApp
        = mainMenu->viewMenu()->addAction(tr("&Show Calvorn"), this, &AppDelegate::clickedShowApp);
    menuItemRate = mainMenu->helpMenu()->addAction(platform::themeIcon(QStringLiteral("star-shape")),
        tr("&Rate Calvorn…"), this, &AppDelegate::giveRatingOnAppstore);
    mainMenu->helpMenu()->addSeparator();
    menuItemAbout = mainMenu->helpMenu()->addAction(platform::themeIcon(QStringLiteral("help-about")),
        tr("&About Calvorn"), this, &AppDelegate::clickedAbout);
    menuItemAbout->setMenuRole(QAction::AboutRole);

    for (QAction *action : applicationActions())
        action->setShortcutContext(Qt::ApplicationShortcut);
}

QList<QAction *> AppDelegate::applicationActions() const
{
    QList<QAction *> actions;
    for (QAction *action :
        { menuItemShowApp.data(), menuItemPreferences.data(), menuItemRate.data(), menuItemQuit.data() }) {
        if (action)
            actions << action;
    }
    return actions;
}

void AppDelegate::addApplicationActions(QWidget *window) const
{
    // A shortcut only works while a widget holding its action is visible:
    // the main window may be closed while another window stays open.
    window->addActions(applicationActions());
}
