// SPDX-License-Identifier: GPL-3.0-or-later
// The main screen's ways out of the editing road: the presets popover, the
// CSV export of the marked photos' metadata and the publisher's page.

#include "browser/HomeViewController.h"

#include "browser/DetailsWait.h"
#include "common/Localization.h"
#include "common/Promotion.h"
#include "editor/MetadataEditorViewController.h"
#include "editor/PresetsListViewController.h"
#include "engine/ExportMetadata.h"
#include "platform/Workspace.h"
#include "platform/widgets/Alert.h"
#include "platform/widgets/OpenPanel.h"

#include <QDir>
#include <QLocale>
#include <QPushButton>

namespace {

// Where the file went, with a way to see it, or why there is none.
void tellExportOutcome(QWidget *screen, const ExportMetadata::Outcome &outcome)
{
    platform::Alert *alert = nullptr;
    if (outcome.path) {
        const QString path = QDir::toNativeSeparators(*outcome.path);
        const QString where = outcome.rows == 1
            ? HomeViewController::tr("The values of 1 photo were written to %1.").arg(path)
            : HomeViewController::tr("The values of %1 photos were written to %2.")
                  .arg(QLocale().toString(outcome.rows), path);
        alert = platform::Alert::warning(screen, HomeViewController::tr("Metadata exported"), where,
            { HomeViewController::tr("OK"), HomeViewController::tr("Show in Folder") });
        alert->setAlertStyle(platform::Alert::Style::Informational);
        alert->setCancelResponse(platform::Alert::FirstButton);
    } else {
        const QString why = !outcome.error.isEmpty() ? outcome.error
            : outcome.rows == 0 ? HomeViewController::tr("None of the marked photos could be read.")
                                : HomeViewController::tr("The file could not be written.");
        alert = platform::Alert::warning(screen, HomeViewController::tr("The metadata could not be exported"),
            why, { HomeViewController::tr("OK") });
        alert->setAlertStyle(platform::Alert::Style::Critical);
    }
    alert->beginSheet(screen->window(), [path = outcome.path](int response) {
        if (path && response == platform::Alert::FirstButton + 1 && !platform::Workspace::reveal({ *path }))
            platform::showAlert(HomeViewController::tr("The folder could not be shown"),
                HomeViewController::tr("No file manager answered. The file is %1.")
                    .arg(QDir::toNativeSeparators(*path)));
    });
}

} // namespace

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
    panel->setWindowTitle(tr("Choose the Folder for the CSV File"));
    const QPointer<HomeViewController> self(this);
    panel->beginSheet(window(), [self, panel](int response) {
        if (!self || response != platform::OpenPanel::OK || panel->urls().isEmpty())
            return;
        // The marks as they are now, not as they were when the panel opened;
        // photos whose values are still being read are waited for.
        const FileInfoList files = markedFiles(displayedFiles());
        const QString folder = panel->urls().first().toLocalFile();
        self->btnExportMetadata->setEnabled(false);
        whenDetailsArrived(files, self, [self, files, folder] {
            ExportMetadata::exportFiles(files, folder, [self](const ExportMetadata::Outcome &outcome) {
                if (!self)
                    return;
                self->btnExportMetadata->setEnabled(true);
                tellExportOutcome(self, outcome);
            });
        });
    });
}

void HomeViewController::clickedGift()
{
    if (const std::optional<QUrl> page = Promotion::giftPage())
        platform::Workspace::openUrl(*page);
}
