// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GeneralPreferencesVC.h"

#include "common/AppSettings.h"
#include "common/Localization.h"
#include "platform/Settings.h"
#include "platform/widgets/Alert.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

namespace {

QPointer<GeneralPreferencesVC> g_current;

} // namespace

GeneralPreferencesVC::GeneralPreferencesVC(QWidget *parent)
    : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(24, 20, 24, 20);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(14);
    const auto addRow = [&](QPointer<QLabel> &label, QPointer<QCheckBox> &box) {
        const int row = grid->rowCount();
        label = new QLabel(this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        box = new QCheckBox(this);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
    };
    addRow(lblStartupLaunch, btnLaunchAutomaticallyAtMacStartup);
    addRow(lblPresetSaving, btnAskForSavingSettingsAsAPreset);
    addRow(lblChangeFileDate, btnAllowToEditFile);
    grid->setColumnStretch(1, 1);

    connect(btnLaunchAutomaticallyAtMacStartup, &QCheckBox::clicked, this,
        &GeneralPreferencesVC::applyLaunchAtLogin);
    connect(btnAskForSavingSettingsAsAPreset, &QCheckBox::clicked, this,
        [this] { storeState(btnAskForSavingSettingsAsAPreset, SettingsKey::isSavePresetBeforeProceed); });
    connect(btnAllowToEditFile, &QCheckBox::clicked, this,
        [this] { storeState(btnAllowToEditFile, SettingsKey::isEditSystemAttributeDate); });

    // A setting changed elsewhere (the preset question's "don't ask again")
    // shows here at once.
    connect(&platform::Settings::instance(), &platform::Settings::changed, this, [this] { updateButtons(); });

    g_current = this;
    setUpTexts();
    updateButtons();
}

GeneralPreferencesVC *GeneralPreferencesVC::current()
{
    return g_current;
}

void GeneralPreferencesVC::setUpTexts()
{
    lblStartupLaunch->setText(localizedCaption("QX_ID_62"));
    btnLaunchAutomaticallyAtMacStartup->setText(localizedString(QStringLiteral("QX_ID_63")));
    lblPresetSaving->setText(localizedCaption("QX_ID_64"));
    btnAskForSavingSettingsAsAPreset->setText(localizedString(QStringLiteral("QX_ID_65")));
    lblChangeFileDate->setText(localizedCaption("QX_ID_272"));
    btnAllowToEditFile->setText(localizedString(QStringLiteral("QX_ID_273")));
}

void GeneralPreferencesVC::updateButtons()
{
    if (!btnLaunchAutomaticallyAtMacStartup)
        return;
    btnLaunchAutomaticallyAtMacStartup->setChecked(isLaunchAutomaticallyAtMacStartup());
    btnAskForSavingSettingsAsAPreset->setChecked(isSavePresetBeforeProceed());
    btnAllowToEditFile->setChecked(isEditSystemAttributeDate());
}

void GeneralPreferencesVC::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updateButtons();
}

void GeneralPreferencesVC::applyLaunchAtLogin()
{
    QCheckBox *box = btnLaunchAutomaticallyAtMacStartup;
    const bool on = box->checkState() == Qt::Checked;
    QString whyNot;
    if (!m_handshake.setLoginItemEnabled(on, &whyNot)) {
        box->setChecked(!on);
        platform::showAlert(on ? tr("Calvorn cannot start when you log in")
                               : tr("Calvorn cannot stop starting when you log in"),
            whyNot);
        return;
    }
    platform::Settings::setBool(SettingsKey::isLaunchAutomaticallyAtMacStartup, on);
}

void GeneralPreferencesVC::storeState(QCheckBox *box, const QString &key)
{
    platform::Settings::setBool(key, box->checkState() == Qt::Checked);
}
