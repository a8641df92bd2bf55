#include "app/Screens.h"

#include "app/ViewController.h"
#include "browser/DashboardViewController.h"
#include "browser/HomeViewController.h"
#include "platform/widgets/ScreenRegistry.h"

namespace {

void showPage(ContainerPage page)
{
    if (ViewController *container = ViewController::current())
        container->showPage(page);
}

} // namespace

void registerScreens(platform::ScreenRegistry &screens)
{
    screens.add(QStringLiteral("DashboardViewController"), [] {
        auto *dashboard = new DashboardViewController;
        QObject::connect(dashboard, &DashboardViewController::homePageRequested, dashboard,
            [] { showPage(ContainerPage::home); });
        return dashboard;
    });
    screens.add(QStringLiteral("HomeViewController"), [] {
        auto *home = new HomeViewController;
        QObject::connect(home, &HomeViewController::dashboardPageRequested, home,
            [] { showPage(ContainerPage::dashboard); });
        return home;
    });
}
