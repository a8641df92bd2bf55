// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Rename.h"

#include <QString>
#include <QStringList>

// The user's settings, read afresh on every call (a change made anywhere is
// seen by the next call), each with its fixed default. Callable from any
// thread.

// The keys, exactly as stored (their spelling included).
namespace SettingsKey {
inline const QString sortOrderPresets = QStringLiteral("sortOrderPresets");
inline const QString isAppstoreRated = QStringLiteral("isAppstoreRated");
inline const QString isLaunchAutomaticallyAtMacStartup = QStringLiteral("isLaunchAutomaticallyAtMacStartup");
inline const QString isSavePresetBeforeProceed = QStringLiteral("isSavePresetBeforeProceed");
inline const QString isEditSystemAttributeDate = QStringLiteral("isEditSystemAttributeDate");
inline const QString isScanPhotosLibraryWhenParentFolerScan
    = QStringLiteral("isScanPhotosLibraryWhenParentFolerScan");
inline const QString allExclusionPaths = QStringLiteral("allExclusionPaths");
inline const QString fileRename = QStringLiteral("fileRename");
} // namespace SettingsKey

// True (descending) only when the stored value is the integer 1.
bool sortOrderPresets();
// A present value of any kind is read as a Boolean; absent is false.
bool isAppstoreRated();
// The stored Boolean; false when absent or not a Boolean.
bool isLaunchAutomaticallyAtMacStartup();
// The stored Boolean; true when absent or not a Boolean.
bool isSavePresetBeforeProceed();
bool isEditSystemAttributeDate();
// A present value of any kind is read as a Boolean; absent is true.
bool isScanPhotosLibraryWhenParentFolerScan();
// The stored list when it is a list of texts (an empty list excludes
// nothing); otherwise defaultExclusionPaths().
QStringList allExclusionPaths();

// The stored Boolean under key, true when absent or not a Boolean.
bool boolSetting(const QString &key);

// The stored rename rule; the default rule when the entry is absent or is
// not an archive of a dictionary.
Rename loadRenameSettings();
void saveRenameSettings(const Rename &rule);
