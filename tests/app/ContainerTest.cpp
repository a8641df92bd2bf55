// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include "app/ViewController.h"
#include "browser/DashboardViewController.h"

#include <QCoreApplication>

namespace {

// A page of the container that counts how often it was made and shown.
class CountingScreen : public QWidget
{
    Q_OBJECT
public:
    CountingScreen() { ++made; }
    static inline int made = 0;
    int appearances = 0;

protected:
    void showEvent(QShowEvent *) override { ++appearances; }
};

class ContainerTest : public shelltest::ShellFixture
{
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        CountingScreen::made = 0;
        screens.add(ViewController::pageIdentifier(ContainerPage::home), [] { return new CountingScreen; });
        container = std::make_unique<ViewController>();
        container->resize(640, 480);
        container->show();
    }
    void TearDown() override
    {
        container.reset();
        ShellFixture::TearDown();
    }

    QWidget *page(ContainerPage which) { return screens.shared(ViewController::pageIdentifier(which)); }

    std::unique_ptr<ViewController> container;
};

} // namespace

TEST_F(ContainerTest, ShowsExactlyOnePageAndKeepsEveryPageAlive)
{
    EXPECT_EQ(ViewController::current(), container.get());
    EXPECT_NE(qobject_cast<DashboardViewController *>(container->shownPage()), nullptr)
        << "the container opens on the dashboard";

    container->showPage(ContainerPage::home);
    auto *home = qobject_cast<CountingScreen *>(container->shownPage());
    ASSERT_NE(home, nullptr);
    home->setProperty("grid", QStringLiteral("kept"));

    container->showPage(ContainerPage::dashboard);
    EXPECT_EQ(container->containerView->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_FALSE(home->isVisible());

    container->showPage(ContainerPage::home);
    EXPECT_EQ(container->shownPage(), home);
    EXPECT_EQ(home->property("grid").toString(), QStringLiteral("kept"));
    EXPECT_EQ(CountingScreen::made, 1);
    EXPECT_TRUE(home->isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(home->geometry(), container->containerView->rect()) << "the page fills the container";

    // Showing the page already shown shows it anew.
    const int appearances = home->appearances;
    container->showPage(ContainerPage::home);
    EXPECT_EQ(home->appearances, appearances + 1);
    EXPECT_EQ(container->shownPage(), home);
}

TEST_F(ContainerTest, EveryValueAboveHomeShowsTheResult)
{
    container->showPage(ContainerPage::result);
    QWidget *result = container->shownPage();
    EXPECT_EQ(result, page(ContainerPage::result));
    container->showPage(ContainerPage(7));
    EXPECT_EQ(container->shownPage(), result);
}

TEST_F(ContainerTest, PagesOutliveTheContainer)
{
    container->showPage(ContainerPage::home);
    QPointer<QWidget> home = container->shownPage();
    container.reset();
    EXPECT_EQ(ViewController::current(), nullptr);
    EXPECT_FALSE(home.isNull()) << "the screen registry owns the pages";
}

#include "ContainerTest.moc"
