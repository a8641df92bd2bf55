// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/PresetsListViewController.h"

#include "common/AppSettings.h"
#include "common/Localization.h"
#include "editor/PresetViewController.h"
#include "engine/Metadata.h"
#include "platform/widgets/Popover.h"
#include "platform/widgets/Presenter.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int ListWidth = 240;

} // namespace

PresetsListViewController::PresetsListViewController(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PresetsListViewController"));
    lblPresets = new QLabel(localizedString("QX_ID_9"), this);
    QFont heading = lblPresets->font();
    heading.setBold(true);
    lblPresets->setFont(heading);
    lblPresets->setContentsMargins(10, 0, 10, 0);
    lblPresets->setFixedHeight(PresetRowHeight);

    tableView = new QListWidget(this);
    tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView->setFrameShape(QFrame::NoFrame);
    tableView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tableView->installEventFilter(this);
    connect(tableView, &QListWidget::clicked, this,
        [this](const QModelIndex &index) { presetSelected(index.row()); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(lblPresets);
    layout->addWidget(tableView);
    setFixedSize(ListWidth, listHeight(2));
}

PresetsListViewController::~PresetsListViewController() = default;

PresetsListViewController *PresetsListViewController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<PresetsListViewController>();
}

int PresetsListViewController::listHeight(qsizetype rows)
{
    return int(std::clamp<qsizetype>(rows, 2, 6)) * PresetRowHeight + PresetRowHeight;
}

void PresetsListViewController::reloadPresets()
{
    StoredPresets stored = readPresets();
    sortPresetsByName(stored.presets, sortOrderPresets());
    // Presets that could not all be read stay stored as they are.
    if (stored.isWhole)
        savePresets(stored.presets);

    presetsList = std::move(stored.presets);
    presetsList.prepend(Preset(AddNewPresetTitle));
    presetsList.append(Preset(EditPresetsTitle));

    tableView->clear();
    for (qsizetype row = 0; row < presetsList.size(); ++row) {
        auto *item = new QListWidgetItem(presetsList.at(row).name(), tableView);
        item->setSizeHint(QSize(0, PresetRowHeight));
        if (row == 0)
            item->setIcon(platform::themeIcon(QStringLiteral("list-add")));
        else if (row == presetsList.size() - 1)
            item->setIcon(platform::themeIcon(QStringLiteral("document-edit")));
        else
            item->setIcon(platform::themeIcon(QStringLiteral("bookmarks")));
    }
    setFixedHeight(listHeight(presetsList.size()));
}

void PresetsListViewController::presetSelected(int row)
{
    if (row < 0 || row >= presetsList.size())
        return;
    // The next opening may offer the same row again.
    tableView->clearSelection();
    QWidget *presenter = popOver ? popOver->anchor() : nullptr;
    if (popOver)
        popOver->close();

    const bool addNew = row == 0;
    if (addNew || row == presetsList.size() - 1) {
        PresetViewController *manager = PresetViewController::shared();
        manager->loadStoredPresets();
        platform::Presenter::presentAsModalWindow(presenter ? presenter : this, manager);
        if (addNew) {
            manager->addPreset();
        } else {
            manager->sortPresets();
            manager->reloadTable();
            // Opened for editing: the first preset is ready in the form.
            manager->selectRow(0);
        }
        return;
    }
    emit presetChosen(*presetsList.at(row).metadata());
}

bool PresetsListViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tableView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            presetSelected(tableView->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
