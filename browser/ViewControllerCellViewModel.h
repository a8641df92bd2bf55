// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

#include <optional>

// One entry of a scan request: a file, a folder or a photo library package.
struct ViewControllerCellViewModel
{
    // Absolute file-system path.
    std::optional<QString> path;
    // Never set by the program.
    std::optional<QString> title;
    // A small picture of the entry for the screens that list requests; the
    // scanner does not read it.
    std::optional<QIcon> icon;
    // Only selected entries are scanned.
    bool isSelected = true;
};

// Gives the entry a picture of the file at path: a thumbnail of at most 50
// by 50 pixels, else the desktop's icon for it; when neither exists the
// icon stays as it was. GUI thread.
void loadIcon(const QString &path, ViewControllerCellViewModel &entry);
