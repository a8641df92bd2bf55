// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar's commands: each is enabled where its command applies and
// does what the screen's own button does.

#include "ShellFixture.h"

#include "app/InitialWindowController.h"
#include "app/MainMenu.h"
#include "app/ViewController.h"
#include "batch/RenameViewController.h"
#include "browser/HomeViewController.h"
#include "editor/PresetsListViewController.h"
#include "engine/FileInfo.h"
#include "platform/widgets/OpenPanel.h"
#include "support/AlertScript.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

using shelltest::ShellFixture;

namespace {

class MainMenuTest : public ShellFixture
{
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        platform::Clock::setManual(true);
        delegate->applicationWillFinishLaunching();
        menu = delegate->mainMenu;
        ASSERT_NE(menu, nullptr);
    }
    void TearDown() override
    {
        allFiles().clear();
        displayedFiles().clear();
        ShellFixture::TearDown();
    }
    static void drain()
    {
        for (int pass = 0; pass < 4; ++pass) {
            platform::GlobalQueue::waitForDone();
            QCoreApplication::processEvents();
        }
    }

    MainMenu *menu = nullptr;
};

} // namespace

TEST_F(MainMenuTest, EachCommandAppliesWhereItsButtonDoesAndDoesWhatItDoes)
{
    // The dashboard: only adding photos applies.
    menu->refresh();
    EXPECT_TRUE(menu->addPhotos->isEnabled());
    EXPECT_TRUE(menu->addPhotosLibrary->isEnabled());
    for (QAction *action : { menu->markAll.data(), menu->removeMarked.data(), menu->resetAll.data(),
             menu->rename.data(), menu->startProcess.data(), menu->find.data(), menu->sortByName.data() })
        EXPECT_FALSE(action->isEnabled()) << qPrintable(action->text());

    // The main screen with two photos, none marked.
    ViewController::current()->showPage(ContainerPage::home);
    HomeViewController *home = HomeViewController::shared();
    for (const char *name : { "b.jpg", "a.jpg" }) {
        auto file = std::make_shared<FileInfo>();
        file->fileName = QLatin1String(name);
        file->url = QUrl::fromLocalFile(QStringLiteral("/photos/") + file->fileName);
        allFiles() << file;
    }
    home->reloadGrid();
    drain();
    EXPECT_FALSE(menu->removeMarked->isEnabled()) << "as the remove button, with nothing marked";
    EXPECT_TRUE(menu->sortByName->isChecked());

    menu->markAll->trigger();
    drain();
    EXPECT_TRUE(displayedFiles()[0]->isMark && displayedFiles()[1]->isMark);
    EXPECT_TRUE(home->btnSelectAll->isChecked());
    EXPECT_TRUE(menu->removeMarked->isEnabled()) << "follows the marks at once";

    testsupport::AlertScript alerts;
    alerts.answer(platform::Alert::FirstButton).answer(platform::Alert::FirstButton + 1);
    menu->removeMarked->trigger();
    menu->resetAll->trigger();
    drain();
    ASSERT_EQ(alerts.shown().size(), 2u);
    EXPECT_EQ(alerts.shown()[0].message, QStringLiteral("Remove the marked photos?"));
    EXPECT_EQ(alerts.shown()[1].message, QStringLiteral("Reset all edits?"));

    EXPECT_TRUE(menu->exportMetadata->isEnabled() && menu->presets->isEnabled());
    menu->presets->trigger();
    EXPECT_TRUE(PresetsListViewController::shared()->isVisible());

    menu->rename->trigger();
    EXPECT_TRUE(RenameViewController::shared()->isVisible());
    RenameViewController::shared()->close();

    menu->sortBySize->trigger();
    drain();
    EXPECT_EQ(home->sortMethod, SortMethods::size);
    menu->refresh();
    EXPECT_TRUE(menu->sortBySize->isChecked());
    EXPECT_FALSE(menu->sortByName->isChecked());
    menu->sortDescending->trigger();
    EXPECT_EQ(home->sortOrder, SortOrder::descending);

    home->searchField->setText(QStringLiteral("b"));
    drain();
    menu->find->trigger();
    EXPECT_EQ(home->searchField->selectedText(), QStringLiteral("b")) << "ready for a new search";
    home->searchField->clear();
    drain();

    int panels = 0;
    const auto previous = platform::OpenPanel::setResponder([&panels](const platform::OpenPanel &) {
        ++panels;
        return platform::OpenPanel::Answer { platform::OpenPanel::Cancel, {} };
    });
    menu->addPhotos->trigger();
    drain();
    platform::OpenPanel::setResponder(previous);
    EXPECT_EQ(panels, 1);

    // Start with every photo unmarked: the start button's own refusal.
    menu->markAll->trigger();
    drain();
    alerts.answer(platform::Alert::FirstButton);
    menu->startProcess->trigger();
    ASSERT_EQ(alerts.shown().size(), 3u);
    EXPECT_EQ(alerts.shown()[2].message, QStringLiteral("No photos marked"));
}
