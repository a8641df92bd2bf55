// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

// What a batch does with the edited values; the position of an option is
// its entry in the main screen's option pop-up.
enum class EditingOptions { onlyModify, emptyOthers, cleanMetadata };

// The option's text, which is also its pop-up title.
QString rawValue(EditingOptions option);
// Only one of the three texts exactly (same case) gives an option.
std::optional<EditingOptions> editingOptionFromRaw(const QString &text);

// The three options in pop-up order.
const QList<EditingOptions> &allEditingOptions();
