// SPDX-License-Identifier: GPL-3.0-or-later
// The road from the start button to the batch: the check for marked files,
// the confirmation of the editing option, the preset question and the
// destination. Each question is a sheet whose answer runs the next step.

#include "browser/HomeViewController.h"

#include "batch/CleanMetadataViewController.h"
#include "batch/ProgressViewController.h"
#include "browser/DetailsWait.h"
#include "browser/MetadataDetailsViewController.h"
#include "common/AppSettings.h"
#include "common/Localization.h"
#include "editor/MetadataEditorViewController.h"
#include "editor/PresetFields.h"
#include "editor/PresetViewController.h"
#include "engine/FileInfo.h"
#include "engine/Preset.h"
#include "platform/Settings.h"
#include "platform/widgets/Alert.h"
#include "platform/widgets/OpenPanel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

bool HomeViewController::hasMarkedFilesOrTells()
{
    if (!markedFiles(displayedFiles()).isEmpty())
        return true;
    platform::showAlert(localizedString("QX_ID_208"), localizedString("QX_ID_209"));
    return false;
}

void HomeViewController::clickedStartProcess()
{
    if (hasMarkedFilesOrTells())
        startProcess();
}

void HomeViewController::startProcess()
{
    MetadataEditorViewController *form = editingForm();
    const std::shared_ptr<FileInfo> record = form->fileInfo();
    if (!record)
        return;
    if (!record->metadata) {
        // The marked photo's values are still being read: go on with them.
        if (m_startWaitsForDetails)
            return;
        m_startWaitsForDetails = true;
        btnStartProcess->setEnabled(false);
        whenDetailsArrived({ record }, this, [this, record] {
            m_startWaitsForDetails = false;
            btnStartProcess->setEnabled(true);
            // Unless the marks changed meanwhile.
            if (record->metadata && editingForm()->fileInfo() == record)
                startProcess();
        });
        return;
    }
    // What the form holds now; later typing does not reach this batch.
    const Metadata edited = form->editedMetadata();
    const int index = popUpEditingOptions->currentIndex();
    if (index < 0 || index >= int(allEditingOptions().size()))
        return;
    const EditingOptions option = allEditingOptions().at(index);

    const char *message = "QX_ID_210";
    const char *information = "QX_ID_211";
    switch (option) {
    case EditingOptions::onlyModify:
        if (!edited.isEdited()) {
            message = "QX_ID_212";
            information = "QX_ID_213";
        }
        break;
    case EditingOptions::emptyOthers:
        information = "QX_ID_214";
        break;
    case EditingOptions::cleanMetadata:
        if (!CleanMetadataViewController::shared()->isAnyOptionSelected()) {
            platform::showAlert(localizedString("QX_ID_217"), localizedString("QX_ID_218"));
            return;
        }
        message = "QX_ID_215";
        information = "QX_ID_216";
        break;
    }
    auto *alert = platform::Alert::warning(this, localizedString(message), localizedString(information),
        { localizedString("QX_ID_199"), localizedString("QX_ID_200") });
    const QPointer<HomeViewController> self(this);
    alert->beginSheet(window(), [self, option, edited](int response) {
        if (!self || response != platform::Alert::FirstButton)
            return;
        if (option != EditingOptions::cleanMetadata && isSavePresetBeforeProceed())
            self->askSavePreset(option, edited);
        else
            self->chooseDestination(option, edited);
    });
}

void HomeViewController::askSavePreset(EditingOptions option, const Metadata &metadata)
{
    auto *alert = platform::Alert::warning(this, localizedString("QX_ID_222"), localizedString("QX_ID_223"),
        { localizedString("QX_ID_219"), localizedString("QX_ID_220") });
    alert->setShowsSuppressionButton(true);
    alert->setSuppressionTitle(localizedString("QX_ID_221"));
    // The stored list, not the manager's: presets saved here since the
    // manager last read it are in the stored list only.
    auto *name = new QLineEdit(PresetViewController::newPresetName(readPresets().presets));
    name->setMinimumWidth(200);
    name->selectAll();
    alert->setAccessoryWidget(name);
    const QPointer<HomeViewController> self(this);
    const QPointer<platform::Alert> asked(alert);
    alert->beginSheet(window(), [self, asked, option, metadata](int response) {
        if (self && asked)
            self->savePresetIfRequested(response, asked, option, metadata);
    });
}

void HomeViewController::savePresetIfRequested(
    int response, platform::Alert *alert, EditingOptions option, const Metadata &metadata)
{
    if (alert->isSuppressed())
        platform::Settings::setBool(SettingsKey::isSavePresetBeforeProceed, false);
    if (response != platform::Alert::FirstButton) {
        chooseDestination(option, metadata);
        return;
    }
    const auto *field = qobject_cast<const QLineEdit *>(alert->accessoryWidget());
    const QString name = field ? field->text() : QString();
    // Whatever of the stored list could be read stays stored with the new one.
    QList<Preset> presets = readPresets().presets;
    if (isPresetNameTaken(presets, name)) {
        platform::showAlert(localizedString("QX_ID_225"), localizedString("QX_ID_226"));
        askSavePreset(option, metadata);
        return;
    }
    // Only what the user edited: the rest of what the form showed belongs
    // to the photos it showed.
    Preset preset(name);
    preset.setMetadata(std::make_shared<Metadata>(presetOfEdits(metadata)));
    presets.append(preset);
    savePresets(presets);
    chooseDestination(option, metadata);
}

void HomeViewController::chooseDestination(EditingOptions option, const Metadata &metadata)
{
    metadataKeepSource = metadata;
    editingOptionKeepSource = option;
    const FileInfoList &shown = displayedFiles();
    const bool fromLibrary
        = std::any_of(shown.cbegin(), shown.cend(), [](const auto &file) { return file->isPhotoLibrary; });

    platform::OpenPanel *panel = newFolderPanel(localizedString("QX_ID_227"), localizedString("QX_ID_228"));
    panel->setWindowTitle(tr("Choose the Folder for the Edited Copies"));
    // A library's photos can only be copied out, never changed in place.
    if (!fromLibrary) {
        auto *accessory = new QWidget;
        auto *row = new QHBoxLayout(accessory);
        row->setContentsMargins(0, 3, 20, 3);
        row->addStretch();
        auto *inPlace = new QPushButton(localizedString("QX_ID_229"), accessory);
        inPlace->setObjectName(QStringLiteral("btnKeepSourceFolderPath"));
        inPlace->setAutoDefault(false);
        row->addWidget(inPlace);
        connect(inPlace, &QPushButton::clicked, this, &HomeViewController::clickedKeepSourceFolderPath);
        panel->setAccessoryWidget(accessory);
    }
    openPanelKeepSource = panel;
    const QPointer<HomeViewController> self(this);
    panel->beginSheet(window(), [self, panel, option, metadata](int response) {
        if (!self || response != platform::OpenPanel::OK || panel->urls().isEmpty())
            return;
        self->beginProcessing(option, metadata, panel->urls().first(), false);
    });
}

platform::OpenPanel *HomeViewController::newFolderPanel(const QString &message, const QString &prompt)
{
    auto *panel = new platform::OpenPanel(this);
    panel->setCanChooseFiles(false);
    panel->setCanChooseDirectories(true);
    panel->setAllowsMultipleSelection(false);
    panel->setCanCreateDirectories(true);
    panel->setResolvesAliases(true);
    panel->setTreatsPackagesAsDirectories(false);
    panel->setMessage(message);
    panel->setPrompt(prompt);
    // Copies and exports go where they went last time.
    panel->setFolderMemoryKey(QStringLiteral("outputPanelFolder"));
    return panel;
}

void HomeViewController::clickedKeepSourceFolderPath()
{
    if (openPanelKeepSource)
        openPanelKeepSource->endPanel(platform::OpenPanel::Cancel);
    beginProcessing(editingOptionKeepSource, metadataKeepSource, std::nullopt, true);
}

void HomeViewController::beginProcessing(EditingOptions option, const Metadata &metadata,
    const std::optional<QUrl> &destination, bool isKeepSourceFolderPath)
{
    const std::shared_ptr<FileInfo> record = editingForm()->fileInfo();
    if (!record)
        return;
    const CleanMetadata cleanOptions = CleanMetadataViewController::shared()->selectedOptions();
    ProgressViewController *sheet = ProgressViewController::shared();
    sheet->present(this);
    sheet->startProcess(option, metadata, *record, cleanOptions, destination, isKeepSourceFolderPath);
}

void HomeViewController::closeProgressView()
{
    ProgressViewController::shared()->dismissProgress();
}
