// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "editor/PresetViewController.h"
#include "editor/PresetsListViewController.h"
#include "platform/widgets/ScreenRegistry.h"

namespace {

const QString HomeIdentifier = QStringLiteral("HomeViewController");

void showPage(ContainerPage page)
{
    if (ViewController *container = ViewController::current())
        container->showPage(page);
}

// The main screen when it has been made; screens that reach it never make it.
HomeViewController *madeHome(const platform::ScreenRegistry &screens)
{
    return screens.isShared(HomeIdentifier) ? HomeViewController::shared() : nullptr;
}

// The presets screens lay a preset over the main screen's form.
void applyPresetOnHome(const platform::ScreenRegistry &screens, const Metadata &preset)
{
    if (HomeViewController *home = madeHome(screens))
        home->applyPreset(preset);
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
    screens.add(QStringLiteral("PresetsListViewController"), [&screens] {
        auto *list = new PresetsListViewController;
        QObject::connect(list, &PresetsListViewController::presetChosen, list,
            [&screens](const Metadata &preset) { applyPresetOnHome(screens, preset); });
        return list;
    });
    screens.add(QStringLiteral("PresetViewController"), [&screens] {
        auto *manager = new PresetViewController;
        QObject::connect(manager, &PresetViewController::presetApplied, manager,
            [&screens](const Metadata &preset) { applyPresetOnHome(screens, preset); });
        return manager;
    });
    // Finish on the result page also clears the main screen's own choices.
    screens.add(QStringLiteral("ResultViewController"), [&screens] {
        auto *result = new ResultViewController;
        QObject::connect(result, &ResultViewController::returnedToHome, result, [&screens] {
            if (HomeViewController *home = madeHome(screens))
                home->returnFromResult();
        });
        return result;
    });
    registerBatchScreens(screens);
}
