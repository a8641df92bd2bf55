// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/PresetViewController.h"

#include "common/AppHelpers.h"
#include "common/AppSettings.h"
#include "common/Localization.h"
#include "controls/EditableTextField.h"
#include "editor/DateTimeViewController.h"
#include "editor/EditLocationViewController.h"
#include "editor/MetadataEditorViewController.h"
#include "editor/PresetTableCellView.h"
#include "engine/Metadata.h"
#include "platform/MainQueue.h"
#include "platform/Settings.h"
#include "platform/widgets/Alert.h"
#include "platform/widgets/Presenter.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// The details panel belongs to the browser, which builds on this library:
// it is made by its identifier, and its form is found inside it.
const QString DetailsPanelIdentifier = QStringLiteral("MetadataDetailsViewController");

constexpr int ListWidth = 250;

} // namespace

PresetViewController::PresetViewController(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PresetViewController"));
    metadataVC = platform::ScreenRegistry::instance().create(DetailsPanelIdentifier);
    m_form = metadataVC->findChild<MetadataEditorViewController *>();
    if (!m_form)
        qFatal("The details panel holds no editing form");
    // A preset form marks nothing as edited, and its date popover offers
    // every kind of rule without an original date.
    m_form->setPreset(true);
    m_form->sharedDateTime()->isPreset = true;
    m_form->sharedLocationEditor()->isPreset = true;

    buildLayout();
    setUpTexts();
    loadStoredPresets();
}

PresetViewController::~PresetViewController() = default;

MetadataEditorViewController *PresetViewController::presetForm() const
{
    return m_form;
}

PresetViewController *PresetViewController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<PresetViewController>();
}

void PresetViewController::buildLayout()
{
    lblPresets = new QLabel(this);
    QFont heading = lblPresets->font();
    heading.setBold(true);
    lblPresets->setFont(heading);

    tableView = new QListWidget(this);
    tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView->setAlternatingRowColors(true);
    tableView->setFixedWidth(ListWidth);
    connect(tableView, &QListWidget::itemSelectionChanged, this, &PresetViewController::showSelectedPreset);

    btnAdd = new QPushButton(platform::themeIcon(QStringLiteral("list-add")), QString(), this);
    connect(btnAdd, &QPushButton::clicked, this, &PresetViewController::addPreset);
    btnRemove = new QPushButton(platform::themeIcon(QStringLiteral("list-remove")), QString(), this);
    connect(btnRemove, &QPushButton::clicked, this, &PresetViewController::removeSelectedPreset);
    btnSort = new QPushButton(platform::themeIcon(QStringLiteral("view-sort")), QString(), this);
    connect(btnSort, &QPushButton::clicked, this, &PresetViewController::showSortMenu);
    for (QPushButton *button : { btnAdd.data(), btnRemove.data(), btnSort.data() })
        button->setAutoDefault(false);

    containerView = new QWidget(this);
    pinSubview(containerView, metadataVC);

    btnSave = new QPushButton(platform::themeIcon(QStringLiteral("document-save")), QString(), this);
    btnSave->setAutoDefault(false);
    connect(btnSave, &QPushButton::clicked, this, [this] { saveSelectedPreset(false); });
    btnSaveAndApply = new QPushButton(platform::themeIcon(QStringLiteral("dialog-ok")), QString(), this);
    btnSaveAndApply->setAutoDefault(false);
    connect(btnSaveAndApply, &QPushButton::clicked, this, [this] { saveSelectedPreset(true); });

    auto *listButtons = new QHBoxLayout;
    listButtons->setSpacing(4);
    listButtons->addWidget(btnAdd);
    listButtons->addWidget(btnRemove);
    listButtons->addStretch();
    listButtons->addWidget(btnSort);

    auto *list = new QVBoxLayout;
    list->addWidget(lblPresets);
    list->addWidget(tableView, 1);
    list->addLayout(listButtons);

    auto *formButtons = new QHBoxLayout;
    formButtons->addStretch();
    formButtons->addWidget(btnSave);
    formButtons->addWidget(btnSaveAndApply);

    auto *form = new QVBoxLayout;
    form->addWidget(containerView, 1);
    form->addLayout(formButtons);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addLayout(list);
    layout->addLayout(form, 1);

    // The list and the whole width of the form, side by side.
    setMinimumSize(ListWidth + 560, 520);
    resize(ListWidth + 720, 720);
}

void PresetViewController::setUpTexts()
{
    setWindowTitle(localizedString("QX_ID_9"));
    lblPresets->setText(localizedString("QX_ID_9"));
    btnSave->setText(localizedString("QX_ID_72"));
    btnSaveAndApply->setText(localizedString("QX_ID_73"));
    btnSort->setText(localizedString("QX_ID_205"));
    btnAdd->setToolTip(AddNewPresetTitle);
    btnAdd->setAccessibleName(btnAdd->toolTip());
    btnRemove->setToolTip(localizedString("QX_ID_8"));
    btnRemove->setAccessibleName(btnRemove->toolTip());
}

// ---- The list ----------------------------------------------------------

void PresetViewController::loadStoredPresets()
{
    StoredPresets stored = readPresets();
    allPresets = std::move(stored.presets);
    m_keepsStoredEntry = !stored.isWhole;
    reloadTable();
}

void PresetViewController::writePresets()
{
    savePresets(allPresets);
    m_keepsStoredEntry = false;
}

void PresetViewController::reloadTable()
{
    // The selection follows the preset the form shows through sorting and
    // renaming; the table's rows may be in the list's old order by now.
    const std::shared_ptr<Metadata> kept = m_shown;
    {
        const QSignalBlocker quiet(tableView);
        tableView->clear();
        for (int row = 0; row < allPresets.size(); ++row) {
            auto *item = new QListWidgetItem(tableView);
            item->setSizeHint(QSize(0, PresetRowHeight));
            auto *cell = new PresetTableCellView;
            cell->lblName->setText(allPresets.at(row).name());
            connect(cell->lblName, &QLineEdit::editingFinished, this,
                [this, cell = QPointer<PresetTableCellView>(cell)] { nameEdited(cell); });
            tableView->setItemWidget(item, cell);
            if (kept && allPresets.at(row).metadata() == kept)
                tableView->setCurrentRow(row);
        }
    }
    setControlsEnabled(!allPresets.isEmpty());
    showSelectedPreset();
}

int PresetViewController::selectedRow() const
{
    const QList<QListWidgetItem *> selected = tableView->selectedItems();
    if (selected.isEmpty())
        return -1;
    const int row = tableView->row(selected.first());
    return row >= 0 && row < allPresets.size() ? row : -1;
}

void PresetViewController::selectRow(int row)
{
    if (row >= 0 && row < tableView->count())
        tableView->setCurrentRow(row);
}

PresetTableCellView *PresetViewController::cellView(int row) const
{
    QListWidgetItem *item = tableView->item(row);
    return item ? qobject_cast<PresetTableCellView *>(tableView->itemWidget(item)) : nullptr;
}

void PresetViewController::setControlsEnabled(bool enabled)
{
    btnRemove->setEnabled(enabled);
    btnSave->setEnabled(enabled);
    btnSaveAndApply->setEnabled(enabled);
    m_form->setEditable(enabled);
}

void PresetViewController::showSelectedPreset()
{
    const int row = selectedRow();
    const std::shared_ptr<Metadata> metadata = row >= 0 ? allPresets.at(row).metadata() : nullptr;
    if (metadata == m_shown)
        return;
    m_shown = metadata;
    // The form works on the preset's own date rules from now on.
    Metadata blank;
    m_form->showMetadata(metadata ? *metadata : blank, true, true);
}

// ---- Changing the presets ----------------------------------------------

void PresetViewController::sortPresets()
{
    sortPresetsByName(allPresets, sortOrderPresets());
    if (!m_keepsStoredEntry)
        savePresets(allPresets);
}

void PresetViewController::setSortOrder(int order)
{
    platform::Settings::setInt(SettingsKey::sortOrderPresets, order);
    sortPresets();
    reloadTable();
}

QMenu *PresetViewController::makeSortMenu()
{
    auto *menu = new QMenu(this);
    const bool descending = sortOrderPresets();
    QAction *ascending
        = menu->addAction(localizedString("QX_ID_234"), this, &PresetViewController::sortWithAscending);
    ascending->setCheckable(true);
    ascending->setChecked(!descending);
    QAction *down
        = menu->addAction(localizedString("QX_ID_235"), this, &PresetViewController::sortWithDescending);
    down->setCheckable(true);
    down->setChecked(descending);
    return menu;
}

void PresetViewController::showSortMenu()
{
    QMenu *menu = makeSortMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(QCursor::pos());
}

QString PresetViewController::newPresetName(const QList<Preset> &presets)
{
    const QString stem = QStringLiteral("Preset");
    for (int number = 0;; ++number) {
        const QString name = number == 0 ? stem : stem + QString::number(number);
        if (!isPresetNameTaken(presets, name))
            return name;
    }
}

void PresetViewController::addPreset()
{
    allPresets.append(Preset(newPresetName()));
    writePresets();
    reloadTable();
    selectRow(int(allPresets.size()) - 1);
    // Once the list has laid out its new row.
    platform::MainQueue::post(this, [this] { beginEditingSelectedName(); });
}

void PresetViewController::beginEditingSelectedName()
{
    const int row = selectedRow();
    if (PresetTableCellView *cell = row >= 0 ? cellView(row) : nullptr) {
        tableView->scrollToItem(tableView->item(row));
        cell->lblName->beginEditing();
    }
}

void PresetViewController::nameEdited(PresetTableCellView *cell)
{
    if (!cell || !cell->lblName->isEditable())
        return;
    const QString name = cell->lblName->text();
    cell->lblName->endEditing();
    // The row whose name was edited, even when the selection moved away.
    for (int row = 0; row < tableView->count(); ++row) {
        if (cellView(row) == cell) {
            selectRow(row);
            renameSelectedPreset(name);
            return;
        }
    }
}

void PresetViewController::renameSelectedPreset(const QString &name)
{
    const int row = selectedRow();
    if (row < 0)
        return;
    Preset &preset = allPresets[row];
    if (name.trimmed().isEmpty() || isPresetNameTaken(allPresets, name, row)) {
        if (!name.trimmed().isEmpty())
            platform::showAlert(localizedString("QX_ID_225"), localizedString("QX_ID_226"));
        if (PresetTableCellView *cell = cellView(row))
            cell->lblName->setText(preset.name());
    } else if (name != preset.name()) {
        preset.setName(name);
        writePresets();
    }
    sortPresets();
    reloadTable();
}

void PresetViewController::removeSelectedPreset()
{
    if (selectedRow() < 0)
        return;
    auto *alert = platform::Alert::warning(this, localizedString("QX_ID_198"), QString(),
        { localizedString("QX_ID_199"), localizedString("QX_ID_200") });
    const QPointer<PresetViewController> self(this);
    alert->beginSheet(window(), [self](int response) {
        if (!self || response != platform::Alert::FirstButton)
            return;
        const int row = self->selectedRow();
        if (row < 0)
            return;
        self->allPresets.removeAt(row);
        self->writePresets();
        self->sortPresets();
        self->reloadTable();
    });
}

void PresetViewController::saveSelectedPreset(bool apply)
{
    const int row = selectedRow();
    if (row < 0) {
        platform::showAlert(localizedString("QX_ID_201"), localizedString("QX_ID_202"));
        return;
    }
    Preset &preset = allPresets[row];
    preset.setMetadata(std::make_shared<Metadata>(m_form->editedMetadata()));
    // The new record shares the form's date rules: the form shows it already.
    m_shown = preset.metadata();
    writePresets();
    if (!apply)
        return;
    emit presetApplied(*preset.metadata());
    platform::Presenter::dismiss(this);
}
