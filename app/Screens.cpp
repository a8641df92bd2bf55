#include "app/Screens.h"

#include "app/ViewController.h"
#include "batch/BatchScreens.h"
#include "batch/ResultViewController.h"
#include "browser/DashboardViewController.h"
#include "browser/HomeViewController.h"
#include "browser/MetadataDetailsViewController.h"
#include "browser/PreviewViewController.h"
#include "editor/DateTimeViewController.h"
#include "editor/EditLocationViewController.h"
#include "editor/MetadataEditorViewController.h"
#include "platform/widgets/ScreenRegistry.h"

namespace {

const QString HomeIdentifier = QStringLiteral("HomeViewController");

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
    screens.add(HomeIdentifier, [] {
        auto *home = new HomeViewController;
        QObject::connect(home, &HomeViewController::dashboardPageRequested, home,
            [] { showPage(ContainerPage::dashboard); });
        return home;
    });
    screens.add<MetadataDetailsViewController>();
    screens.add<MetadataEditorViewController>();
    screens.add<DateTimeViewController>();
    screens.add<EditLocationViewController>();
    screens.add<PreviewViewController>();
    // Finish on the result page also clears the main screen's own choices.
    screens.add(QStringLiteral("ResultViewController"), [&screens] {
        auto *result = new ResultViewController;
        QObject::connect(result, &ResultViewController::returnedToHome, result, [&screens] {
            if (screens.isShared(HomeIdentifier))
                HomeViewController::shared()->returnFromResult();
        });
        return result;
    });
    registerBatchScreens(screens);
}
