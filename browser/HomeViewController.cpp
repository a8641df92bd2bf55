// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/HomeViewController.h"

#include "batch/CleanMetadataViewController.h"
#include "batch/ProgressViewController.h"
#include "batch/RenameViewController.h"
#include "browser/AddPhotosPanels.h"
#include "browser/GridOrder.h"
#include "browser/MetadataDetailsViewController.h"
#include "browser/PreviewViewController.h"
#include "browser/QorCollectionGridViewItem.h"
#include "browser/QorCollectionView.h"
#include "browser/ScanResultMerge.h"
#include "browser/ScanVC.h"
#include "common/AppHelpers.h"
#include "common/AppSettings.h"
#include "common/EditingOptions.h"
#include "common/Localization.h"
#include "common/Promotion.h"
#include "common/ScanFlags.h"
#include "editor/MetadataEditorViewController.h"
#include "editor/PresetsListViewController.h"
#include "engine/FileInfo.h"
#include "engine/FileInfoEvents.h"
#include "engine/Preset.h"
#include "platform/DateFormat.h"
#include "platform/GlobalQueue.h"
#include "platform/MainQueue.h"
#include "platform/Settings.h"
#include "platform/widgets/Alert.h"
#include "platform/widgets/OpenPanel.h"
#include "platform/widgets/Presenter.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"
#include "platform/widgets/Window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace {

// How long marked files' values may arrive before the combined form is made
// again, so a folder loading in does not refill it for every file.
constexpr int FormRefillMs = 150;

std::shared_ptr<FileInfo> fileOfItem(const QVariant &item)
{
    return item.metaType() == QMetaType::fromType<std::shared_ptr<FileInfo>>()
        ? item.value<std::shared_ptr<FileInfo>>()
        : nullptr;
}

// The scan's alert, chosen by the first row that matches; nothing when
// nothing is to be told.
std::optional<std::pair<QString, QString>> scanAlertKeys(const ScanErrors &errors)
{
    if (errors.isResultNotFound)
        return std::pair(QStringLiteral("QX_ID_237"), QStringLiteral("QX_ID_238"));
    if (errors.isPathsAlreadyExistInArray && errors.isSomeExtensionsAreNotSupported)
        return std::pair(QStringLiteral("QX_ID_239"), QStringLiteral("QX_ID_240"));
    if (errors.isPathsAlreadyExistInArray)
        return std::pair(QStringLiteral("QX_ID_239"), QStringLiteral("QX_ID_241"));
    if (errors.isSomeExtensionsAreNotSupported)
        return std::pair(QStringLiteral("QX_ID_239"), QStringLiteral("QX_ID_242"));
    return std::nullopt;
}

} // namespace

HomeViewController::HomeViewController(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("HomeViewController"));
    metadataVC = platform::ScreenRegistry::make<MetadataDetailsViewController>();
    buildLayout();

    dropView->delegate = this;
    qorCollectionView->setDelegate(this);
    qorCollectionView->setBackgroundColor(defaultGridColor());
    connect(searchField, &QLineEdit::textChanged, this, [this] { reloadGrid(); });
    popUpEditingOptions->clear();
    for (EditingOptions option : allEditingOptions())
        popUpEditingOptions->addItem(rawValue(option));
    connect(popUpEditingOptions, &QComboBox::activated, this, [this] { clickedEditingOptions(); });
    showEditingOption(false);
    PresetsListViewController *presets = PresetsListViewController::shared();
    presets->popOver = &popOverPresets;
    popOverPresets.setContent(presets);
    setUpTexts();
    setUpIcons();
    updateCounts();
    connect(&FileInfoEvents::shared(), &FileInfoEvents::detailsArrived, this,
        &HomeViewController::fileDetailsArrived);
}

HomeViewController::~HomeViewController()
{
    // The grid dies with this screen's children; it must not call back.
    if (qorCollectionView)
        qorCollectionView->setDelegate(nullptr);
}

HomeViewController *HomeViewController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<HomeViewController>();
}

void HomeViewController::buildLayout()
{
    lblTitle = new QLabel(this);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    searchField = new QLineEdit(this);
    searchField->setClearButtonEnabled(true);
    searchField->setMaximumWidth(260);
    // Room for the placeholder beside the search icon.
    searchField->setMinimumWidth(
        searchField->fontMetrics().horizontalAdvance(localizedString("QX_ID_6")) + 48);
    btnSort = new QPushButton(this);
    connect(btnSort, &QPushButton::clicked, this, &HomeViewController::clickedSort);
    btnSelectAll = new QCheckBox(this);
    connect(btnSelectAll, &QCheckBox::clicked, this, &HomeViewController::clickedSelectAll);
    lblTotalPhotos = new QLabel(this);

    dropView = new DropView(this);
    qorCollectionView = new QorCollectionView(dropView);
    auto *gridArea = new QVBoxLayout(dropView);
    gridArea->setContentsMargins(0, 0, 0, 0);
    gridArea->addWidget(qorCollectionView);

    btnAdd = new QPushButton(this);
    connect(btnAdd, &QPushButton::clicked, this, &HomeViewController::clickedAdd);
    btnRemove = new QPushButton(this);
    connect(btnRemove, &QPushButton::clicked, this, &HomeViewController::removeMarkedItems);
    btnPresets = new QPushButton(this);
    connect(btnPresets, &QPushButton::clicked, this, &HomeViewController::clickedPresets);
    btnRename = new QPushButton(this);
    connect(btnRename, &QPushButton::clicked, this, &HomeViewController::clickedRename);
    btnResetAll = new QPushButton(this);
    connect(btnResetAll, &QPushButton::clicked, this, &HomeViewController::clickedResetAll);
    btnExportMetadata = new QPushButton(tr("Export CSV…"), this);
    connect(btnExportMetadata, &QPushButton::clicked, this, &HomeViewController::clickedExportMetadata);
    btnGift = new QPushButton(tr("More Apps"), this);
    btnGift->setToolTip(tr("More photo applications"));
    btnGift->setVisible(Promotion::giftPage().has_value());
    connect(btnGift, &QPushButton::clicked, this, &HomeViewController::clickedGift);

    lblChooseEditingOption = new QLabel(this);
    popUpEditingOptions = new QComboBox(this);
    containerView = new QWidget(this);
    boxStartProcess = new QFrame(this);
    boxStartProcess->setFrameShape(QFrame::StyledPanel);
    lblStartProcess = new QLabel(boxStartProcess);
    lblStartProcess->setWordWrap(true);
    btnStartProcess = new QPushButton(tr("Start"), boxStartProcess);
    btnStartProcess->setDefault(true);
    connect(btnStartProcess, &QPushButton::clicked, this, &HomeViewController::clickedStartProcess);
    auto *start = new QHBoxLayout(boxStartProcess);
    start->addWidget(lblStartProcess, 1);
    start->addWidget(btnStartProcess);

    auto *top = new QHBoxLayout;
    top->addWidget(lblTitle);
    top->addStretch();
    top->addWidget(searchField);
    top->addWidget(btnSort);
    top->addSpacing(12);
    top->addWidget(btnSelectAll);
    top->addWidget(lblTotalPhotos);

    auto *commands = new QHBoxLayout;
    for (QPushButton *button : { btnAdd.data(), btnRemove.data(), btnPresets.data(), btnRename.data(),
             btnResetAll.data(), btnExportMetadata.data() })
        commands->addWidget(button);
    commands->addStretch();
    commands->addWidget(btnGift);

    auto *left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(dropView, 1);
    left->addLayout(commands);

    auto *right = new QVBoxLayout;
    auto *option = new QHBoxLayout;
    option->addWidget(lblChooseEditingOption);
    option->addWidget(popUpEditingOptions, 1);
    right->addLayout(option);
    right->addWidget(containerView, 1);
    right->addWidget(boxStartProcess);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
}

void HomeViewController::setUpTexts()
{
    lblTitle->setText(localizedString("QX_ID_1"));
    searchField->setPlaceholderText(localizedString("QX_ID_6"));
    btnAdd->setText(localizedString("QX_ID_7"));
    btnRemove->setText(localizedString("QX_ID_8"));
    btnPresets->setText(localizedString("QX_ID_9"));
    btnRename->setText(localizedString("QX_ID_10"));
    lblStartProcess->setText(localizedString("QX_ID_11"));
    btnResetAll->setText(localizedString("QX_ID_12"));
    lblChooseEditingOption->setText(localizedString("QX_ID_13") + QLatin1Char(':'));
    btnSelectAll->setText(tr("All"));
    btnSort->setText(localizedString("QX_ID_205"));
}

void HomeViewController::setUpIcons()
{
    const std::pair<QPushButton *, const char *> icons[] = {
        { btnAdd, "list-add" },
        { btnRemove, "list-remove" },
        { btnPresets, "bookmarks" },
        { btnRename, "edit-rename" },
        { btnResetAll, "edit-undo" },
        { btnExportMetadata, "document-export" },
        { btnGift, "star-shape" },
        { btnSort, "view-sort" },
        { btnStartProcess, "media-playback-start" },
    };
    for (const auto &[button, name] : icons)
        button->setIcon(platform::themeIcon(QLatin1String(name)));
    searchField->addAction(platform::themeIcon(QStringLiteral("edit-find")), QLineEdit::LeadingPosition);
}

// ---- The editing screens beside the grid -------------------------------

void HomeViewController::showEditingOption(bool cleanMetadata)
{
    // The screen not shown is kept, hidden, out of the container.
    for (QWidget *shown : containerView->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        shown->hide();
        shown->setParent(this);
    }
    delete containerView->layout();
    pinSubview(containerView,
        cleanMetadata ? static_cast<QWidget *>(CleanMetadataViewController::shared()) : metadataVC.data());
}

bool HomeViewController::isShowingCleanOptions() const
{
    return CleanMetadataViewController::shared()->parentWidget() == containerView;
}

MetadataEditorViewController *HomeViewController::editingForm() const
{
    return metadataVC->metadataEditorVC;
}

void HomeViewController::showMarkedFilesInEditingForm()
{
    m_formRefillDue = false;
    editingForm()->showMetadataOfMarkedFiles();
}

void HomeViewController::resetEditingForm()
{
    editingForm()->resetEditedMarks();
    showMarkedFilesInEditingForm();
}

void HomeViewController::resetCleanOptions()
{
    CleanMetadataViewController::shared()->resetOptions();
}

void HomeViewController::openPreview(const std::shared_ptr<FileInfo> &file)
{
    PreviewViewController *preview = PreviewViewController::shared();
    platform::Presenter::presentAsModalWindow(this, preview);
    preview->showPreview(file);
}

void HomeViewController::openRenameWindow(const Rename &rule)
{
    RenameViewController *window = RenameViewController::shared();
    window->rename = rule;
    RenameViewController::present(this);
}

void HomeViewController::returnFromResult()
{
    // The lists were emptied: nothing of the last run stays on the grid, its
    // counts or in the search, and no reload under way (the search's own
    // among them) brings it back.
    searchField->clear();
    m_publishedReload = ++m_requestedReload;
    publishReload(filterAndSort(gridSnapshot(allFiles()), QString(), sortMethod, sortOrder));
    MetadataEditorViewController *form = editingForm();
    form->setFileInfo(nullptr);
    resetCleanOptions();
    form->resetEditedMarks();
    showMarkedFilesInEditingForm();
    popUpEditingOptions->setCurrentIndex(int(EditingOptions::onlyModify));
    showEditingOption(false);
}

void HomeViewController::fileDetailsArrived(const std::shared_ptr<FileInfo> &file)
{
    // The creation date comes with the details, often after the cell was
    // filled.
    auto *cell = qobject_cast<QorCollectionGridViewItem *>(
        qorCollectionView->viewControllerForItemAtIndex(file->item));
    if (cell && cell->fileInfo == file && isCurrentCell(cell))
        configureGridItem(cell, *file);
    markedDetailsArrived(file);
}

void HomeViewController::markedDetailsArrived(const std::shared_ptr<FileInfo> &file)
{
    // One marked file is the form's own record, which fills itself.
    const FileInfoList &shown = displayedFiles();
    if (!file->isMark || file->item < 0 || file->item >= shown.size() || shown.at(file->item) != file
        || editingForm()->fileInfo() == file || m_formRefillDue)
        return;
    m_formRefillDue = true;
    platform::MainQueue::after(FormRefillMs, this, [this] {
        if (m_formRefillDue)
            showMarkedFilesInEditingForm();
    });
}

// ---- Reloading the grid ------------------------------------------------

void HomeViewController::reloadGrid()
{
    const quint64 request = ++m_requestedReload;
    const QString searchText = searchField->text();
    const QPointer<HomeViewController> self(this);
    platform::GlobalQueue::run([self, request, searchText, method = sortMethod, order = sortOrder,
                                   snapshot = gridSnapshot(allFiles())]() mutable {
        FileInfoList files = filterAndSort(std::move(snapshot), searchText, method, order);
        platform::MainQueue::post([self, request, files = std::move(files)] {
            // An older reload finishing late must not undo a newer one.
            if (!self || request != self->m_requestedReload)
                return;
            self->m_publishedReload = request;
            self->publishReload(files);
        });
    });
}

void HomeViewController::publishReload(const FileInfoList &files)
{
    displayedFiles() = files;
    qint64 index = 0;
    for (const auto &file : files)
        file->item = index++;
    refreshAfterReload();
    reloadCollectionView();
}

void HomeViewController::refreshAfterReload()
{
    updateCounts();
    switch (sortMethod) {
    case SortMethods::name:
        btnSort->setText(localizedString("QX_ID_205"));
        break;
    case SortMethods::size:
        btnSort->setText(localizedString("QX_ID_206"));
        break;
    case SortMethods::date:
        btnSort->setText(localizedString("QX_ID_207"));
        break;
    }
    if (allFiles().isEmpty())
        platform::MainQueue::after(HandOffMs, this, [this] { showDashboard(); });
    showMarkedFilesInEditingForm();
}

void HomeViewController::updateCounts()
{
    const FileInfoList &shown = displayedFiles();
    const qsizetype marked
        = std::count_if(shown.cbegin(), shown.cend(), [](const auto &file) { return file->isMark; });
    btnRemove->setEnabled(marked > 0);
    // Partly marked shows as such; a click from there or from off marks
    // all, from on unmarks all.
    const bool some = marked > 0 && marked < shown.size();
    btnSelectAll->setTristate(some);
    btnSelectAll->setCheckState(some ? Qt::PartiallyChecked : marked > 0 ? Qt::Checked : Qt::Unchecked);
    btnSelectAll->setEnabled(!shown.isEmpty());
    lblTotalPhotos->setText(localizedString("QX_ID_55") + QStringLiteral(": ") + QString::number(marked)
        + QStringLiteral(" / ") + QString::number(shown.size()));
    emit countsChanged();
}

void HomeViewController::reloadCollectionView()
{
    QVariantList items;
    items.reserve(displayedFiles().size());
    for (const auto &file : displayedFiles())
        items << QVariant::fromValue(file);
    qorCollectionView->reloadDataWithItems(items, false);
}

void HomeViewController::showDashboard()
{
    // Photos may have come in, or be coming, since this was asked for.
    if (allFiles().isEmpty() && !m_scanning)
        emit dashboardPageRequested();
}

// ---- Adding photos -----------------------------------------------------

QMenu *HomeViewController::makeAddMenu()
{
    auto *menu = new QMenu(localizedString("QX_ID_230"));
    menu->addAction(localizedString("QX_ID_3"), this, &HomeViewController::showAddPhotosPanel);
    menu->addAction(localizedString("QX_ID_4"), this, &HomeViewController::showAddPhotosLibraryPanel);
    return menu;
}

void HomeViewController::clickedAdd()
{
    QMenu *menu = makeAddMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(QCursor::pos());
}

void HomeViewController::showAddPhotosPanel()
{
    runAddPanel(AddPhotosPanels::newFilesAndFoldersPanel(this, localizedString("QX_ID_7")));
}

void HomeViewController::showAddPhotosLibraryPanel()
{
    runAddPanel(AddPhotosPanels::newPhotosLibraryPanel(this, localizedString("QX_ID_236")));
}

void HomeViewController::runAddPanel(platform::OpenPanel *panel)
{
    AddPhotosPanels::run(
        panel, window(), HandOffMs, this, [this](const QList<QUrl> &urls) { startScan(urls); });
}

void HomeViewController::startScan(const QList<QUrl> &urls)
{
    startScan(AddPhotosPanels::scanRequests(urls));
}

void HomeViewController::filesDropped(const QStringList &paths)
{
    startScan(AddPhotosPanels::fileUrls(paths));
}

// ---- Scanning ----------------------------------------------------------

void HomeViewController::startScan(const QList<ViewControllerCellViewModel> &items)
{
    // Also covers the moment between this start and the walk's own flag.
    if (m_scanning || ScanFlags::shared().isScanRunning)
        return;
    m_scanning = true;
    platform::Window::setResizable(this, false);
    ScanVC *sheet = ScanVC::shared();
    sheet->update(ScanViewStatus());
    platform::Presenter::presentAsSheet(this, sheet);

    const QPointer<HomeViewController> self(this);
    // The walk waits for its queues' work: not on a thread of the shared pool.
    platform::GlobalQueue::runLong([self, items] {
        Scanner::Result result = Scanner::shared().scan(items);
        platform::MainQueue::post([self, result = std::move(result)] {
            if (self)
                platform::MainQueue::after(
                    ScanSettleMs, self, [self, result] { self->scanWalkFinished(result); });
        });
    });
}

void HomeViewController::scanWalkFinished(const Scanner::Result &result)
{
    const ScanErrors errors = mergeScanResult(result.records, result.errors);
    if (result.records.isEmpty()) {
        closeScanView();
        // With nothing loaded the user is back where adding started.
        if (allFiles().isEmpty())
            reloadGrid();
        scanDidFinish(errors);
        return;
    }
    platform::MainQueue::after(ScanSettleMs, this, [this, errors] {
        reloadGrid();
        endScanSheet();
        scanDidFinish(errors);
    });
}

void HomeViewController::scanDidFinish(const ScanErrors &errors)
{
    const auto keys = scanAlertKeys(errors);
    if (!keys)
        return;
    const QString message = localizedString(keys->first);
    const QString information = localizedString(keys->second);
    if (message.isEmpty() || information.isEmpty())
        return;
    platform::MainQueue::after(
        ScanSettleMs, this, [message, information] { platform::showAlert(message, information); });
}

void HomeViewController::closeScanView()
{
    ScanViewStatus().post();
    endScanSheet();
}

void HomeViewController::endScanSheet()
{
    ScanVC::shared()->close();
    platform::Window::setResizable(this, true);
    m_scanning = false;
}

// ---- Marking -----------------------------------------------------------

bool HomeViewController::isCurrentCell(const QorCollectionGridViewItem *cell)
{
    const FileInfoList &shown = displayedFiles();
    return cell->fileInfo && cell->item >= 0 && cell->item < shown.size()
        && shown.at(cell->item) == cell->fileInfo;
}

void HomeViewController::clickedCollectionViewItemCheckBox(QorCollectionGridViewItem *cell)
{
    if (!isCurrentCell(cell)) {
        if (cell->fileInfo)
            cell->checkBox->setChecked(cell->fileInfo->isMark);
        return;
    }
    toggleMark(cell->item);
    cell->checkBox->setChecked(cell->fileInfo->isMark);
}

void HomeViewController::toggleMark(qint64 index)
{
    const FileInfoList &shown = displayedFiles();
    if (index < 0 || index >= shown.size())
        return;
    FileInfo &file = *shown.at(index);
    file.isMark = !file.isMark;
    updateCounts();
    showMarkedFilesInEditingForm();
}

void HomeViewController::clickedSelectAll()
{
    // The box showed the marks before the click, so its new state is the
    // user's choice.
    const bool mark = btnSelectAll->checkState() == Qt::Checked;
    for (const auto &file : displayedFiles())
        file->isMark = mark;
    updateCounts();
    reloadGrid();
}

void HomeViewController::markOrUnmarkAll()
{
    const FileInfoList &shown = displayedFiles();
    const bool mark
        = std::any_of(shown.cbegin(), shown.cend(), [](const auto &file) { return !file->isMark; });
    for (const auto &file : shown)
        file->isMark = mark;
    updateCounts();
    reloadGrid();
}

// ---- Removing ----------------------------------------------------------

bool HomeViewController::confirmRemoval(const char *messageKey, const char *informativeKey)
{
    // The second button removes; Escape keeps.
    std::unique_ptr<platform::Alert> alert(platform::Alert::warning(this, localizedString(messageKey),
        localizedString(informativeKey), { localizedString("QX_ID_200"), localizedString("QX_ID_199") }));
    alert->setCancelResponse(platform::Alert::FirstButton);
    return alert->runModal() == platform::Alert::FirstButton + 1;
}

bool HomeViewController::removeFiles(const QSet<QUrl> &urls, bool withoutUrl)
{
    auto goes = [&](const std::shared_ptr<FileInfo> &file) {
        return file->url ? urls.contains(*file->url) : withoutUrl;
    };
    const qsizetype before = allFiles().size();
    displayedFiles().removeIf(goes);
    allFiles().removeIf(goes);
    return allFiles().size() != before;
}

void HomeViewController::confirmRemoveItem(const std::optional<QUrl> &url)
{
    if (!confirmRemoval("QX_ID_270", "QX_ID_271"))
        return;
    if (url)
        removeFiles({ *url }, false);
    else
        removeFiles({}, true);
    reloadGrid();
}

void HomeViewController::removeMarkedItems()
{
    if (!confirmRemoval("QX_ID_231", "QX_ID_232"))
        return;
    QSet<QUrl> urls;
    bool withoutUrl = false;
    bool anyMarked = false;
    for (const auto &file : displayedFiles()) {
        if (!file->isMark)
            continue;
        anyMarked = true;
        if (file->url)
            urls.insert(*file->url);
        else
            withoutUrl = true;
    }
    if (!anyMarked)
        return;
    removeFiles(urls, withoutUrl);
    reloadGrid();
}

void HomeViewController::removeAllItems()
{
    if (!confirmRemoval("QX_ID_268", "QX_ID_269"))
        return;
    displayedFiles().clear();
    allFiles().clear();
    reloadGrid();
}

// ---- Commands ----------------------------------------------------------

void HomeViewController::clickedResetAll()
{
    auto *alert = platform::Alert::warning(this, localizedString("QX_ID_274"), localizedString("QX_ID_275"),
        { localizedString("QX_ID_199"), localizedString("QX_ID_200") });
    alert->beginSheet(window(), [this, self = QPointer<HomeViewController>(this)](int response) {
        if (!self || response != platform::Alert::FirstButton)
            return;
        resetCleanOptions();
        resetEditingForm();
        popUpEditingOptions->setCurrentIndex(0);
        showEditingOption(false);
    });
}

void HomeViewController::clickedEditingOptions()
{
    showEditingOption(popUpEditingOptions->currentIndex() == int(EditingOptions::cleanMetadata));
}

void HomeViewController::clickedRename()
{
    openRenameWindow(loadRenameSettings());
}

QMenu *HomeViewController::makeSortMenu()
{
    auto *menu = new QMenu(localizedString("QX_ID_230"));
    auto add = [this, menu](const char *key, void (HomeViewController::*action)(), bool checked) {
        QAction *entry = menu->addAction(localizedString(key), this, action);
        entry->setCheckable(true);
        entry->setChecked(checked);
    };
    add("QX_ID_25", &HomeViewController::sortByName, sortMethod == SortMethods::name);
    add("QX_ID_28", &HomeViewController::sortBySize, sortMethod == SortMethods::size);
    add("QX_ID_233", &HomeViewController::sortByDate, sortMethod == SortMethods::date);
    menu->addSeparator();
    add("QX_ID_234", &HomeViewController::sortWithAscending, sortOrder == SortOrder::ascending);
    add("QX_ID_235", &HomeViewController::sortWithDescending, sortOrder == SortOrder::descending);
    return menu;
}

void HomeViewController::clickedSort()
{
    QMenu *menu = makeSortMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(QCursor::pos());
}

void HomeViewController::setSort(std::optional<SortMethods> method, std::optional<SortOrder> order)
{
    if (method)
        sortMethod = *method;
    if (order)
        sortOrder = *order;
    reloadGrid();
}

void HomeViewController::sortByName()
{
    setSort(SortMethods::name, std::nullopt);
}

void HomeViewController::sortBySize()
{
    setSort(SortMethods::size, std::nullopt);
}

void HomeViewController::sortByDate()
{
    setSort(SortMethods::date, std::nullopt);
}

void HomeViewController::sortWithAscending()
{
    setSort(std::nullopt, SortOrder::ascending);
}

void HomeViewController::sortWithDescending()
{
    setSort(std::nullopt, SortOrder::descending);
}

// ---- The grid's delegate -----------------------------------------------

QSize HomeViewController::cellSizeForCollectionView(QorCollectionView *)
{
    return QSize(160, 160);
}

QWidget *HomeViewController::reusableViewControllerForCollectionView(QorCollectionView *)
{
    return new QorCollectionGridViewItem;
}

void HomeViewController::willShowViewController(
    QorCollectionView *, QWidget *controller, const QVariant &item)
{
    auto *cell = qobject_cast<QorCollectionGridViewItem *>(controller);
    const std::shared_ptr<FileInfo> file = fileOfItem(item);
    if (!cell || !file)
        return;
    cell->fileInfo = file;
    cell->section = file->section;
    cell->item = file->item;
    cell->loadThumbnail();
    configureGridItem(cell, *file);
}

void HomeViewController::configureGridItem(QorCollectionGridViewItem *cell, const FileInfo &file)
{
    cell->imageViewPhotosLib->setVisible(file.isPhotoLibrary);
    cell->name->setText(file.fileName);
    cell->name->setToolTip(file.fileName);
    // A recycled cell shows nothing of the file it showed before.
    cell->date->setText(file.creationDate ? platform::DateFormat::mediumDate(*file.creationDate) : QString());
    cell->size->setText(file.size.value_or(QString()));
    cell->checkBox->setChecked(file.isMark);
    cell->checkBox->setObjectName(
        QString::number(file.section) + QLatin1Char(',') + QString::number(file.item));
    cell->owner = this;
}

void HomeViewController::didDoubleClickViewControllerAtIndex(QorCollectionView *, QWidget *controller)
{
    auto *cell = qobject_cast<QorCollectionGridViewItem *>(controller);
    if (cell && isCurrentCell(cell))
        openPreview(cell->fileInfo);
}

int HomeViewController::groupHeaderHeightForCollectionView(QorCollectionView *)
{
    return 46;
}

int HomeViewController::groupHeaderHeightDiffForCollectionView(QorCollectionView *)
{
    return 46;
}

QWidget *HomeViewController::headerForGroup(QorCollectionView *, const QorCollectionViewGroup &)
{
    return new QWidget;
}

bool HomeViewController::isEnabledEmptySelectionForCollectionView(QorCollectionView *)
{
    return true;
}

bool HomeViewController::isEnabledMultipleSelectionForCollectionView(QorCollectionView *)
{
    return false;
}

bool HomeViewController::isEnabledBackgroundSelectionForCollectionView(QorCollectionView *)
{
    return false;
}
