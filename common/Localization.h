// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// The interface texts, looked up by keys "QX_ID_<n>" in the dictionary
// loaded from the bundled "English" property list.

// Loads (or reloads) the dictionary; the container screen does it when its
// view loads. Stays absent when the resource cannot be read.
void loadLocalizationDictionary();
// Replaces the dictionary (absent unloads it).
void setLocalizationDictionary(std::optional<QVariantMap> dictionary);
std::optional<QVariantMap> localizationDictionary();

// The text under key; the empty text when the dictionary is not loaded or
// empty, the key is missing, or its value is not text.
QString localizedString(const QString &key);
QString localizedString(const char *key);
// The text under key followed by ":", the caption of a value.
QString localizedCaption(const char *key);
