// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/HelperHandshake.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLabel;

// The general preferences: start Calvorn at login, ask to save the edits
// as a preset before a batch, let a batch set the files' dates. A click
// writes its setting at once; the boxes are read from the settings each
// time the tab shows.
class GeneralPreferencesVC : public QWidget
{
    Q_OBJECT
public:
    explicit GeneralPreferencesVC(QWidget *parent = nullptr);

    // The tab once made; screens that change one of its settings refresh it
    // through this, and do nothing while it is null.
    static GeneralPreferencesVC *current();

    void setUpTexts();
    void updateButtons();

    // The login item follows the start-at-login box. When the login item
    // cannot be changed the box goes back, the setting stays as it was and
    // the user is told why.
    void applyLaunchAtLogin();
    void storeState(QCheckBox *box, const QString &key);

    // Where the login item finds Calvorn_Helper (tests put their own).
    void setHelperHandshake(const HelperHandshake &handshake) { m_handshake = handshake; }

    QPointer<QLabel> lblStartupLaunch;
    QPointer<QCheckBox> btnLaunchAutomaticallyAtMacStartup;
    QPointer<QLabel> lblPresetSaving;
    QPointer<QCheckBox> btnAskForSavingSettingsAsAPreset;
    QPointer<QLabel> lblChangeFileDate;
    QPointer<QCheckBox> btnAllowToEditFile;

protected:
    void showEvent(QShowEvent *event) override;

private:
    HelperHandshake m_handshake;
};
