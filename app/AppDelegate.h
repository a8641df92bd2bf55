// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/HelperHandshake.h"

#include <QList>
#include <QObject>
#include <QPointer>

class AboutWindow;
class MainMenu;
class QAction;
class QMainWindow;

// Calvorn's start-up and its application menu: shows the main window,
// keeps the login item and ends a waiting Calvorn_Helper once started,
// and asks for a rating a while after each start until the user rated.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    // How long after start-up the rating prompt comes.
    static constexpr int RatingPromptDelayMs = 300 * 1000;

    explicit AppDelegate(const HelperHandshake &handshake = HelperHandshake(), QObject *parent = nullptr);

    // Before the event loop runs: the menu and the main window.
    void applicationWillFinishLaunching();
    // Once the event loop runs: the login item and the rating prompt.
    void applicationDidFinishLaunching();
    // The event loop is over: a running scan stops, a running batch stops
    // after the file in hand, and every background job has ended before
    // this returns, so none outlives what it uses.
    void applicationWillTerminate();
    // A second start of Calvorn, or the desktop, asks for the window.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);

    void showMainWindowAtLaunch();
    void showMainWindow();
    void setUpLoginItem();

    void clickedShowApp();
    void clickedPreferencesMenuItem();
    // The delayed prompt: only while the user has not rated.
    void rateUsOnAppStore();
    // From the menu: always.
    void giveRatingOnAppstore();
    // Help > About Calvorn: one window, brought forward when open.
    void clickedAbout();

    // The menu's actions; their shortcuts work in every Calvorn window they
    // are added to (addApplicationActions).
    QList<QAction *> applicationActions() const;
    void addApplicationActions(QWidget *window) const;

    QPointer<QAction> menuItemShowApp;
    QPointer<QAction> menuItemPreferences;
    QPointer<QAction> menuItemRate;
    QPointer<QAction> menuItemAbout;
    QPointer<AboutWindow> aboutWindow;
    QPointer<QAction> menuItemQuit;
    // The screens' commands in the menu bar; owned by the main window.
    QPointer<MainMenu> mainMenu;

private:
    void installMenu(QMainWindow *window);
    void showRatingAlert();

    HelperHandshake m_handshake;
};
