// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include "app/GeneralPreferencesVC.h"
#include "app/PreferencesTabViewController.h"
#include "app/PreferencesWindowController.h"
#include "common/AppSettings.h"
#include "common/Localization.h"
#include "platform/LoginItem.h"
#include "platform/Settings.h"
#include "support/AlertScript.h"

#include <QCheckBox>
#include <QLabel>

using platform::Settings;

namespace {

class PreferencesTest : public shelltest::ShellFixture
{
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        loadLocalizationDictionary();
    }

    // Opens the window the way the menu does, with the test's helper.
    GeneralPreferencesVC *open(const QString &helperProgram = QString())
    {
        GeneralPreferencesVC *general
            = PreferencesWindowController::shared()->contentViewController()->general();
        general->setHelperHandshake(HelperHandshake(helperProgram.isEmpty() ? helper : helperProgram));
        delegate->clickedPreferencesMenuItem();
        return general;
    }

    static QString entry() { return platform::LoginItem::entryPath(QStringLiteral(CALVORN_HELPER_ID)); }
};

} // namespace

TEST_F(PreferencesTest, WithNothingStoredTheBoxesShowTheDefaults)
{
    GeneralPreferencesVC *general = open();
    EXPECT_EQ(GeneralPreferencesVC::current(), general);
    EXPECT_FALSE(general->btnLaunchAutomaticallyAtMacStartup->isChecked());
    EXPECT_TRUE(general->btnAskForSavingSettingsAsAPreset->isChecked());
    EXPECT_TRUE(general->btnAllowToEditFile->isChecked());
    EXPECT_EQ(
        general->lblStartupLaunch->text(), localizedString(QStringLiteral("QX_ID_62")) + QLatin1Char(':'));
    EXPECT_EQ(general->btnAllowToEditFile->text(), localizedString(QStringLiteral("QX_ID_273")));
}

TEST_F(PreferencesTest, EachBoxWritesItsSettingAtOnce)
{
    GeneralPreferencesVC *general = open();
    general->btnAskForSavingSettingsAsAPreset->click();
    EXPECT_EQ(Settings::boolValue(SettingsKey::isSavePresetBeforeProceed), false);
    general->btnAllowToEditFile->click();
    EXPECT_EQ(Settings::boolValue(SettingsKey::isEditSystemAttributeDate), false);
    general->btnAllowToEditFile->click();
    EXPECT_EQ(Settings::boolValue(SettingsKey::isEditSystemAttributeDate), true);
}

TEST_F(PreferencesTest, StartAtLoginWritesAndRemovesTheLoginItem)
{
    GeneralPreferencesVC *general = open();
    general->btnLaunchAutomaticallyAtMacStartup->click();
    EXPECT_EQ(Settings::boolValue(SettingsKey::isLaunchAutomaticallyAtMacStartup), true);
    QFile file(entry());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\nTryExec=" + helper.toUtf8() + '\n'));
    file.close();

    general->btnLaunchAutomaticallyAtMacStartup->click();
    EXPECT_EQ(Settings::boolValue(SettingsKey::isLaunchAutomaticallyAtMacStartup), false);
    EXPECT_FALSE(QFileInfo::exists(entry()));
}

TEST_F(PreferencesTest, ALoginItemThatCannotBeMadeLeavesBoxAndSettingAndSaysWhy)
{
    GeneralPreferencesVC *general = open(m_dir.filePath(QStringLiteral("gone/Calvorn_Helper")));
    testsupport::AlertScript alerts;
    alerts.answer(1000);
    general->btnLaunchAutomaticallyAtMacStartup->click();

    EXPECT_FALSE(general->btnLaunchAutomaticallyAtMacStartup->isChecked());
    EXPECT_FALSE(Settings::contains(SettingsKey::isLaunchAutomaticallyAtMacStartup));
    EXPECT_FALSE(QFileInfo::exists(entry()));
    ASSERT_EQ(alerts.shown().size(), 1u);
    EXPECT_TRUE(alerts.shown()[0].informative.contains(QStringLiteral("gone/Calvorn_Helper")));
    EXPECT_EQ(alerts.shown()[0].buttons, QStringList { QStringLiteral("OK") });
}

TEST_F(PreferencesTest, ALoginItemThatCannotBeRemovedStaysOnInBoxAndSetting)
{
    Settings::setBool(SettingsKey::isLaunchAutomaticallyAtMacStartup, true);
    // Something that is no file stands where the entry would be removed.
    ASSERT_TRUE(QDir().mkpath(entry() + QStringLiteral("/inside")));
    GeneralPreferencesVC *general = open();
    ASSERT_TRUE(general->btnLaunchAutomaticallyAtMacStartup->isChecked());

    testsupport::AlertScript alerts;
    alerts.answer(1000);
    general->btnLaunchAutomaticallyAtMacStartup->click();

    EXPECT_TRUE(general->btnLaunchAutomaticallyAtMacStartup->isChecked());
    EXPECT_EQ(Settings::boolValue(SettingsKey::isLaunchAutomaticallyAtMacStartup), true);
    EXPECT_EQ(alerts.shown().size(), 1u);
}

TEST_F(PreferencesTest, TheBoxesFollowSettingsChangedElsewhere)
{
    GeneralPreferencesVC *general = open();
    // The main screen stops asking about presets while the window is open.
    Settings::setBool(SettingsKey::isSavePresetBeforeProceed, false);
    GeneralPreferencesVC::current()->updateButtons();
    EXPECT_FALSE(general->btnAskForSavingSettingsAsAPreset->isChecked());

    // Reopening reads them afresh.
    Settings::setBool(SettingsKey::isEditSystemAttributeDate, false);
    PreferencesWindowController::shared()->close();
    open();
    EXPECT_FALSE(general->btnAllowToEditFile->isChecked());
}
