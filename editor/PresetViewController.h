// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Preset.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>

class Metadata;
class MetadataEditorViewController;
class PresetTableCellView;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;

// The names of the presets popover's two fixed rows; the manager's add
// button says the first.
inline const QString AddNewPresetTitle = QStringLiteral("Add New Preset");
inline const QString EditPresetsTitle = QStringLiteral("Edit Presets...");
// The height of a row in both lists of presets.
inline constexpr int PresetRowHeight = 30;

// The preset manager: a window with the list of saved presets beside an
// editing form of its own. Selecting a preset shows its values in the form,
// where the user edits them and saves them into the preset, or saves them
// and lays them over the main screen's form at once. Presets are added with
// generated names, renamed in place in the list, removed after a question
// and sorted by name either way. Every change of the presets is written to
// the stored list at once.
//
// The form sits in a details panel of its own, made through the screen
// registry (the panel belongs to the browser, which builds on this
// library). It is in preset mode: it marks nothing as edited, and its date
// popover offers every kind of rule.
class PresetViewController : public QWidget
{
    Q_OBJECT
public:
    // The setting of the list's order: 1 descending, anything else ascending.
    static constexpr int Ascending = 0;
    static constexpr int Descending = 1;

    explicit PresetViewController(QWidget *parent = nullptr);
    ~PresetViewController() override;

    // The one preset manager of the run, made on first use.
    static PresetViewController *shared();

    QPointer<QLabel> lblPresets;
    QPointer<QListWidget> tableView;
    QPointer<QWidget> containerView;
    QPointer<QPushButton> btnSaveAndApply;
    QPointer<QPushButton> btnSave;
    QPointer<QPushButton> btnAdd;
    QPointer<QPushButton> btnRemove;
    QPointer<QPushButton> btnSort;
    // The details panel, owned; its form is presetForm().
    QPointer<QWidget> metadataVC;
    MetadataEditorViewController *presetForm() const;

    // The working list; row i of the table shows preset i.
    QList<Preset> allPresets;

    // Makes the stored presets the working list and shows them. Presets
    // that could not all be read are shown as far as they could, and the
    // stored entry is kept as it is until the user changes the presets.
    void loadStoredPresets();
    // Refills the table from allPresets, keeping the selected preset, and
    // enables the controls that need a preset.
    void reloadTable();
    // The selected row when it holds a preset, else -1.
    int selectedRow() const;
    void selectRow(int row);
    // The cell of a row, or null.
    PresetTableCellView *cellView(int row) const;

    // Orders allPresets by name in the stored direction and writes them.
    void sortPresets();
    // Replaces the selected preset's values with what the form shows and
    // writes the list; with apply, lays them over the main screen's form
    // (presetApplied) and closes the window.
    void saveSelectedPreset(bool apply);
    // Appends an empty preset with a new name, selects it and, once the
    // table has settled, starts editing its name.
    void addPreset();
    void beginEditingSelectedName();
    // Removes the selected preset after the user confirms.
    void removeSelectedPreset();
    void setControlsEnabled(bool enabled);
    // Gives the selected preset the name, unless another preset bears it in
    // any letter case (an alert says so) or it is blank; then re-sorts.
    void renameSelectedPreset(const QString &name);
    // Shows the selected preset's own values (and date rules) in the form.
    void showSelectedPreset();

    QMenu *makeSortMenu();
    void showSortMenu();
    void sortWithAscending() { setSortOrder(Ascending); }
    void sortWithDescending() { setSortOrder(Descending); }
    void setSortOrder(int order);

    // The first of "Preset", "Preset1", "Preset2", ... that clashes with no
    // name of the list (isPresetNameTaken()).
    static QString newPresetName(const QList<Preset> &presets);
    QString newPresetName() const { return newPresetName(allPresets); }

signals:
    // Save and Apply: these values are to be laid over the main screen's form.
    void presetApplied(const Metadata &preset);

private:
    void buildLayout();
    void setUpTexts();
    // Writes allPresets after the user changed them.
    void writePresets();
    void nameEdited(PresetTableCellView *cell);

    QPointer<MetadataEditorViewController> m_form;
    // The selected preset's values, which the form shows. The selection
    // follows them through reloads, and a reload that keeps them does not
    // refill the form over what the user typed.
    std::shared_ptr<Metadata> m_shown;
    // The stored entry could not be read whole: it is not written back until
    // the user changes the presets.
    bool m_keepsStoredEntry = false;
};
