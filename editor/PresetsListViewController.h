// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Preset.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class Metadata;
class QLabel;
class QListWidget;

namespace platform {
class Popover;
}

// The content of the main screen's presets popover: the saved presets in
// the stored order of names between two fixed rows, "Add New Preset" first
// and "Edit Presets..." last. Choosing a preset lays it over the main
// screen's form (presetChosen); choosing a fixed row closes the popover and
// opens the preset manager, with a new preset to name or for editing.
class PresetsListViewController : public QWidget
{
    Q_OBJECT
public:
    explicit PresetsListViewController(QWidget *parent = nullptr);
    ~PresetsListViewController() override;

    // The one list of the run, made on first use.
    static PresetsListViewController *shared();

    // The popover's height for a number of rows (the fixed rows included):
    // 30 a row plus 30 for the heading, from 90 to 210; more rows scroll.
    static int listHeight(qsizetype rows);

    QPointer<QLabel> lblPresets;
    QPointer<QListWidget> tableView;
    // The popover that shows this list; it closes when a row is chosen.
    QPointer<platform::Popover> popOver;
    // The rows, fixed ones included; rebuilt by every reload.
    QList<Preset> presetsList;

    // Sorts the stored presets by name in the stored direction, writes them
    // back (only when they could all be read) and shows them.
    void reloadPresets();
    // The user chose a row.
    void presetSelected(int row);

signals:
    // These values are to be laid over the main screen's form.
    void presetChosen(const Metadata &preset);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
