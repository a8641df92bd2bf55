// SPDX-License-Identifier: GPL-3.0-or-later
// The main screen's ways out of the editing road: the presets popover, the
// CSV export of the marked photos' metadata and the publisher's page.

#include "browser/HomeViewController.h"

#include "common/Localization.h"
#include "common/Promotion.h"
#include "editor/MetadataEditorViewController.h"
#include "editor/PresetsListViewController.h"
#include "engine/ExportMetadata.h"
#include "platform/Workspace.h"
#include "platform/widgets/Alert.h"
#include "platform/widgets/OpenPanel.h"

#include <QPushButton>

void HomeViewController::clickedPresets()
{
    PresetsListViewController::shared()->reloadPresets();
    popOverPresets.show(btnPresets, platform::Popover::RightEdge);
}

void HomeViewController::applyPreset(const Metadata &preset)
{
    editingForm()->applyPreset(preset);
}

void HomeViewController::clickedExportMetadata()
{
    exportMetadata();
}

void HomeViewController::exportMetadata()
{
    if (!hasMarkedFilesOrTells())
        return;
    platform::OpenPanel *panel
        = newFolderPanel(QStringLiteral("Please select a destination folder to export Metadata csv file."),
            QStringLiteral("Select Destination Folder"));
    const QPointer<HomeViewController> self(this);
    panel->beginSheet(window(), [self, panel](int response) {
        if (!self || response != platform::OpenPanel::OK || panel->urls().isEmpty())
            return;
        // The marks as they are now, not as they were when the panel opened.
        ExportMetadata::exportFiles(markedFiles(displayedFiles()), panel->urls().first().toLocalFile());
    });
}

void HomeViewController::clickedGift()
{
    if (const std::optional<QUrl> page = Promotion::giftPage())
        platform::Workspace::openUrl(*page);
}
