// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include "app/Screens.h"
#include "app/ViewController.h"
#include "browser/DashboardViewController.h"
#include "browser/HomeViewController.h"
#include "common/Globals.h"
#include "platform/Clock.h"
#include "platform/GlobalQueue.h"
#include "support/AlertScript.h"

#include <QCoreApplication>

using shelltest::ShellFixture;

namespace {

class ScreensTest : public ShellFixture
{
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        platform::Clock::setManual(true);
        container = std::make_unique<ViewController>();
    }
    void TearDown() override
    {
        platform::GlobalQueue::waitForDone();
        QCoreApplication::processEvents();
        container.reset();
        allFiles().clear();
        displayedFiles().clear();
        ShellFixture::TearDown();
    }

    std::unique_ptr<ViewController> container;
};

} // namespace

TEST_F(ScreensTest, TheDashboardAndTheMainScreenSwitchTheContainer)
{
    auto *dashboard = qobject_cast<DashboardViewController *>(container->shownPage());
    ASSERT_NE(dashboard, nullptr) << "the real dashboard, not a placeholder";

    emit dashboard->homePageRequested();
    auto *home = qobject_cast<HomeViewController *>(container->shownPage());
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(home, HomeViewController::shared());

    // Removing the last photos brings the dashboard back.
    testsupport::AlertScript alerts;
    alerts.answer(platform::Alert::FirstButton + 1);
    home->removeAllItems();
    platform::GlobalQueue::waitForDone();
    QCoreApplication::processEvents();
    platform::Clock::advance(HomeViewController::HandOffMs);
    EXPECT_EQ(container->shownPage(), dashboard);
}
