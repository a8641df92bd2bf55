// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/AppSettings.h"

#include "common/Globals.h"
#include "platform/Settings.h"

#include <QRegularExpression>

using platform::Settings;

namespace {

// A stored Boolean. The settings file keeps no types, so a Boolean, the
// numbers 0 and 1, and their texts "true" and "false" all count; any other
// value does not.
std::optional<bool> storedBool(const QString &key)
{
    const auto number = Settings::intValue(key);
    if (number && (*number == 0 || *number == 1))
        return *number == 1;
    return std::nullopt;
}

// Any present value read as a Boolean the lenient way: a number is true
// when not zero; a text is true when, after blanks and a sign with leading
// zeros, it starts with Y, T or a digit 1 to 9.
std::optional<bool> lenientBool(const QString &key)
{
    if (!Settings::contains(key))
        return std::nullopt;
    if (const auto b = Settings::boolValue(key))
        return *b;
    if (const auto text = Settings::text(key)) {
        static const QRegularExpression truthy(QStringLiteral("^\\s*(?:[+-]?0*[1-9]|[YyTt])"));
        return truthy.match(*text).hasMatch();
    }
    return false;
}

} // namespace

bool sortOrderPresets()
{
    return Settings::intValue(SettingsKey::sortOrderPresets) == 1;
}

bool isAppstoreRated()
{
    return lenientBool(SettingsKey::isAppstoreRated).value_or(false);
}

bool isLaunchAutomaticallyAtMacStartup()
{
    return storedBool(SettingsKey::isLaunchAutomaticallyAtMacStartup).value_or(false);
}

bool boolSetting(const QString &key)
{
    return storedBool(key).value_or(true);
}

bool isSavePresetBeforeProceed()
{
    return boolSetting(SettingsKey::isSavePresetBeforeProceed);
}

bool isEditSystemAttributeDate()
{
    return boolSetting(SettingsKey::isEditSystemAttributeDate);
}

bool isScanPhotosLibraryWhenParentFolerScan()
{
    return lenientBool(SettingsKey::isScanPhotosLibraryWhenParentFolerScan).value_or(true);
}

QStringList allExclusionPaths()
{
    return Settings::textList(SettingsKey::allExclusionPaths).value_or(defaultExclusionPaths());
}

Rename loadRenameSettings()
{
    const auto tree = Settings::archived(SettingsKey::fileRename);
    if (!tree || tree->typeId() != QMetaType::QVariantMap)
        return Rename();
    return Rename::fromDictionary(tree->toMap());
}

void saveRenameSettings(const Rename &rule)
{
    Settings::setArchived(SettingsKey::fileRename, rule.dictionary());
}
