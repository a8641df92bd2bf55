// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/AppSettings.h"
#include "common/Globals.h"

#include "platform/Archive.h"
#include "platform/Settings.h"

#include <QSettings>

#include <gtest/gtest.h>

using platform::Settings;

namespace {

const QStringList AllKeys { SettingsKey::sortOrderPresets, SettingsKey::isAppstoreRated,
    SettingsKey::isLaunchAutomaticallyAtMacStartup, SettingsKey::isSavePresetBeforeProceed,
    SettingsKey::isEditSystemAttributeDate, SettingsKey::isScanPhotosLibraryWhenParentFolerScan,
    SettingsKey::allExclusionPaths, SettingsKey::fileRename };

// Writes a raw value the way another writer (or a hand-edited file) would.
void storeRaw(const QString &key, const QVariant &value)
{
    QSettings file(Settings::filePath(), QSettings::IniFormat);
    file.setValue(key, value);
    file.sync();
}

class AppSettings : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString &key : AllKeys)
            Settings::remove(key);
    }
};

} // namespace

TEST_F(AppSettings, EmptyStoreGivesTheDefaults)
{
    EXPECT_FALSE(sortOrderPresets());
    EXPECT_FALSE(isAppstoreRated());
    EXPECT_FALSE(isLaunchAutomaticallyAtMacStartup());
    EXPECT_TRUE(isSavePresetBeforeProceed());
    EXPECT_TRUE(isEditSystemAttributeDate());
    EXPECT_TRUE(isScanPhotosLibraryWhenParentFolerScan());
    EXPECT_EQ(allExclusionPaths(), defaultExclusionPaths());
    EXPECT_EQ(allExclusionPaths().size(), 8);
    EXPECT_EQ(loadRenameSettings(), Rename());
}

TEST_F(AppSettings, KeysAreSpelledAsStored)
{
    Settings::setBool(QStringLiteral("isScanPhotosLibraryWhenParentFolerScan"), false);
    EXPECT_FALSE(isScanPhotosLibraryWhenParentFolerScan());
    Settings::setBool(QStringLiteral("isLaunchAutomaticallyAtMacStartup"), true);
    EXPECT_TRUE(isLaunchAutomaticallyAtMacStartup());
}

TEST_F(AppSettings, PresetSortOrderIsDescendingOnlyForOne)
{
    Settings::setInt(SettingsKey::sortOrderPresets, 0);
    EXPECT_FALSE(sortOrderPresets());
    Settings::setInt(SettingsKey::sortOrderPresets, 2);
    EXPECT_FALSE(sortOrderPresets());
    Settings::setInt(SettingsKey::sortOrderPresets, 1);
    EXPECT_TRUE(sortOrderPresets());
    Settings::setText(SettingsKey::sortOrderPresets, QStringLiteral("descending"));
    EXPECT_FALSE(sortOrderPresets());
}

TEST_F(AppSettings, StrictBooleansTreatOtherValuesAsAbsent)
{
    // Stored Booleans are used; their defaults are true for these two.
    for (const auto &[key, read] :
        { std::pair { SettingsKey::isSavePresetBeforeProceed, &isSavePresetBeforeProceed },
            std::pair { SettingsKey::isEditSystemAttributeDate, &isEditSystemAttributeDate } }) {
        Settings::setBool(key, false);
        EXPECT_FALSE(read()) << qPrintable(key);
        Settings::setBool(key, true);
        EXPECT_TRUE(read());
        Settings::setInt(key, 0);
        EXPECT_FALSE(read()) << "0 counts as a Boolean";
        Settings::setText(key, QStringLiteral("no"));
        EXPECT_TRUE(read()) << "a text is not a Boolean";
        Settings::setInt(key, 2);
        EXPECT_TRUE(read()) << "2 is not a Boolean";
        EXPECT_EQ(boolSetting(key), read());
    }
    // The launch setting defaults to false instead.
    Settings::setText(SettingsKey::isLaunchAutomaticallyAtMacStartup, QStringLiteral("yes"));
    EXPECT_FALSE(isLaunchAutomaticallyAtMacStartup());
    Settings::setInt(SettingsKey::isLaunchAutomaticallyAtMacStartup, 1);
    EXPECT_TRUE(isLaunchAutomaticallyAtMacStartup());
}

TEST_F(AppSettings, LenientBooleansReadAnyPresentValue)
{
    Settings::setInt(SettingsKey::isScanPhotosLibraryWhenParentFolerScan, 0);
    EXPECT_FALSE(isScanPhotosLibraryWhenParentFolerScan());
    Settings::setText(SettingsKey::isScanPhotosLibraryWhenParentFolerScan, QStringLiteral("no"));
    EXPECT_FALSE(isScanPhotosLibraryWhenParentFolerScan()) << "present, so not the default";
    Settings::setInt(SettingsKey::isScanPhotosLibraryWhenParentFolerScan, 7);
    EXPECT_TRUE(isScanPhotosLibraryWhenParentFolerScan());

    Settings::setBool(SettingsKey::isAppstoreRated, true);
    EXPECT_TRUE(isAppstoreRated());
    for (const char *truthy : { "YES", "y", "True", " +007", "9 lives" }) {
        Settings::setText(SettingsKey::isAppstoreRated, QString::fromLatin1(truthy));
        EXPECT_TRUE(isAppstoreRated()) << truthy;
    }
    for (const char *falsy : { "no", "0", "-0", "", "maybe" }) {
        Settings::setText(SettingsKey::isAppstoreRated, QString::fromLatin1(falsy));
        EXPECT_FALSE(isAppstoreRated()) << falsy;
    }
    Settings::setBytes(SettingsKey::isAppstoreRated, QByteArray("\x01", 1));
    EXPECT_FALSE(isAppstoreRated());
}

TEST_F(AppSettings, ExclusionPathsMustBeAListOfTexts)
{
    Settings::setTextList(SettingsKey::allExclusionPaths, {});
    EXPECT_EQ(allExclusionPaths(), QStringList());
    Settings::setTextList(
        SettingsKey::allExclusionPaths, { QStringLiteral("/mnt/backup"), QStringLiteral("/srv") });
    EXPECT_EQ(allExclusionPaths(), (QStringList { QStringLiteral("/mnt/backup"), QStringLiteral("/srv") }));
    storeRaw(SettingsKey::allExclusionPaths, QVariantList { QStringLiteral("/mnt/backup"), 5 });
    EXPECT_EQ(allExclusionPaths(), defaultExclusionPaths());
    Settings::setBytes(SettingsKey::allExclusionPaths, QByteArray("/mnt"));
    EXPECT_EQ(allExclusionPaths(), defaultExclusionPaths());
}

TEST_F(AppSettings, RenameRuleIsStoredAsAnArchivedDictionary)
{
    Rename rule;
    rule.isKeepOriginalFileName = false;
    rule.isEditOriginalFileName = true;
    rule.prefixAddText = QString();
    rule.suffixAddCounter = 12;
    rule.dateFormat = DateFormat::twenty;
    saveRenameSettings(rule);
    EXPECT_EQ(loadRenameSettings(), rule);
    const auto tree = Settings::archived(SettingsKey::fileRename);
    ASSERT_TRUE(tree.has_value());
    EXPECT_EQ(tree->toMap(), rule.dictionary());

    // An archive of a list, bytes that are no archive, or a text: the default.
    Settings::setArchived(SettingsKey::fileRename, QVariantList { rule.dictionary() });
    EXPECT_EQ(loadRenameSettings(), Rename());
    Settings::setBytes(SettingsKey::fileRename, QByteArray("garbage"));
    EXPECT_EQ(loadRenameSettings(), Rename());
    Settings::setText(SettingsKey::fileRename, QStringLiteral("keep"));
    EXPECT_EQ(loadRenameSettings(), Rename());
}
