// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include "app/AboutWindow.h"
#include "app/InitialWindowController.h"
#include "app/PreferencesTabViewController.h"
#include "app/PreferencesWindowController.h"
#include "app/ViewController.h"
#include "common/Localization.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

using shelltest::ShellFixture;

namespace {

using StartUpTest = ShellFixture;

QList<QAction *> menuActions(QMainWindow *window)
{
    QList<QAction *> actions;
    for (QAction *menu : window->menuBar()->actions()) {
        if (menu->menu())
            actions << menu->menu()->actions();
    }
    return actions;
}

} // namespace

TEST_F(StartUpTest, ShowsTheMainWindowWithTheContainerOnTheDashboard)
{
    setLocalizationDictionary(std::nullopt);
    EXPECT_EQ(ViewController::current(), nullptr) << "no container before start-up";

    delegate->applicationWillFinishLaunching();

    InitialWindowController *window = InitialWindowController::shared();
    ASSERT_TRUE(window->isVisible());
    ASSERT_NE(ViewController::current(), nullptr);
    EXPECT_EQ(window->centralWidget(), ViewController::current());
    EXPECT_EQ(ViewController::current()->shownPage(),
        screens.shared(ViewController::pageIdentifier(ContainerPage::dashboard)));
    EXPECT_TRUE(localizationDictionary().has_value()) << "the container loads the interface texts";
    EXPECT_EQ(localizedString(QStringLiteral("QX_ID_15")), QStringLiteral("General"));
}

TEST_F(StartUpTest, TheMenuHoldsItsItemsWithLinuxShortcuts)
{
    delegate->applicationWillFinishLaunching();
    const QList<QAction *> actions = menuActions(InitialWindowController::shared());
    for (QAction *item : { delegate->menuItemShowApp.data(), delegate->menuItemPreferences.data(),
             delegate->menuItemRate.data(), delegate->menuItemQuit.data() }) {
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(actions.contains(item)) << qPrintable(item->text());
    }
    EXPECT_EQ(delegate->menuItemPreferences->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_EQ(delegate->menuItemQuit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    // File, Edit, View and Help; installing twice adds none again.
    delegate->applicationWillFinishLaunching();
    EXPECT_EQ(InitialWindowController::shared()->menuBar()->actions().size(), 4);
}

TEST_F(StartUpTest, CtrlCommaOpensThePreferencesOnTheGeneralTab)
{
    delegate->applicationWillFinishLaunching();
    InitialWindowController *window = InitialWindowController::shared();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    QTest::keyClick(window, Qt::Key_Comma, Qt::ControlModifier);

    PreferencesWindowController *preferences = PreferencesWindowController::shared();
    ASSERT_TRUE(preferences->isVisible());
    EXPECT_EQ(preferences->contentViewController()->currentIndex(), 0);
    EXPECT_EQ(preferences->contentViewController()->tabText(0), QStringLiteral("General"));
    EXPECT_TRUE(preferences->actions().contains(delegate->menuItemQuit.data()))
        << "Ctrl+Q also works from the preferences window";
}

TEST_F(StartUpTest, ReopeningShowsTheSameMainWindowAgain)
{
    delegate->applicationWillFinishLaunching();
    InitialWindowController *window = InitialWindowController::shared();
    ViewController *container = ViewController::current();
    window->close();
    ASSERT_FALSE(window->isVisible());

    EXPECT_TRUE(delegate->applicationShouldHandleReopen(true));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(InitialWindowController::shared(), window);
    EXPECT_EQ(ViewController::current(), container);

    window->showMinimized();
    delegate->clickedShowApp();
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(StartUpTest, HelpAboutNamesTheVersionTheLicenceAndTheLibrariesWithTheirVersions)
{
    delegate->applicationWillFinishLaunching();
    ASSERT_NE(delegate->menuItemAbout, nullptr);
    EXPECT_TRUE(menuActions(InitialWindowController::shared()).contains(delegate->menuItemAbout.data()));
    delegate->menuItemAbout->trigger();

    AboutWindow *about = delegate->aboutWindow;
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_TRUE(about->lblVersion->text().contains(QStringLiteral(CALVORN_VERSION)));
    EXPECT_TRUE(about->lblLicence->text().contains(QStringLiteral("GPL-3.0-or-later")));
    QStringList names;
    for (const auto &[library, version] : AboutWindow::libraries()) {
        names << library;
        EXPECT_FALSE(version.isEmpty()) << qPrintable(library);
        EXPECT_TRUE(about->lblLibraries->text().contains(version)) << qPrintable(library);
    }
    EXPECT_EQ(names,
        (QStringList { QStringLiteral("Qt"), QStringLiteral("Exiv2"), QStringLiteral("SQLite"),
            QStringLiteral("ICU"), QStringLiteral("OpenJPEG") }));
    EXPECT_EQ(AboutWindow::libraries().first().second, QString::fromLatin1(qVersion()));

    // Once open, the menu brings the same window forward.
    delegate->menuItemAbout->trigger();
    EXPECT_EQ(delegate->aboutWindow, about);
}
