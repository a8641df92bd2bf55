// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/DropView.h"
#include "browser/QorCollectionViewDelegate.h"
#include "browser/ScanErrors.h"
#include "browser/Scanner.h"
#include "browser/ViewControllerCellViewModel.h"
#include "common/EditingOptions.h"
#include "common/Globals.h"
#include "controls/SortChoice.h"
#include "engine/Metadata.h"
#include "engine/Rename.h"
#include "platform/widgets/Popover.h"

#include <QList>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <memory>

class FileInfo;
class MetadataDetailsViewController;
class MetadataEditorViewController;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QorCollectionGridViewItem;
class QorCollectionView;

namespace platform {
class Alert;
class OpenPanel;
} // namespace platform

// The main screen: the thumbnail grid of the loaded photos with its search
// field and sort menu, the marks that choose the files a batch, the form and
// the export work on, the commands that add and remove photos, and beside
// the grid the details panel with the editing form or the clean-metadata
// options.
//
// allFiles() holds every loaded record in load order; displayedFiles() the
// ones the grid shows after search and sort, rebuilt by every reload. A
// file's mark belongs to its record and survives the search; everything that
// counts or uses marks takes the marked files of displayedFiles() only.
class HomeViewController : public QWidget, public DropViewDelegate, public QorCollectionViewDelegate
{
    Q_OBJECT
public:
    explicit HomeViewController(QWidget *parent = nullptr);
    ~HomeViewController() override;

    // The one main screen of the run, made on first use.
    static HomeViewController *shared();

    // The grid's background where the theme gives none.
    static QColor defaultGridColor() { return QColor(212, 212, 212); }
    // Pauses around the end of a scan, so the sheet's last state can be read.
    static constexpr int ScanSettleMs = 1000;
    // From the panel's end to the scan, and from an empty grid to the dashboard.
    static constexpr int HandOffMs = 100;

    QPointer<QorCollectionView> qorCollectionView;
    QPointer<QLabel> lblTitle;
    QPointer<QCheckBox> btnSelectAll;
    QPointer<QLineEdit> searchField;
    QPointer<QPushButton> btnSort;
    QPointer<QComboBox> popUpEditingOptions;
    QPointer<QLabel> lblTotalPhotos;
    QPointer<QPushButton> btnAdd;
    QPointer<QPushButton> btnRemove;
    QPointer<QPushButton> btnPresets;
    QPointer<QPushButton> btnRename;
    QPointer<QPushButton> btnResetAll;
    QPointer<QFrame> boxStartProcess;
    QPointer<QLabel> lblStartProcess;
    QPointer<QPushButton> btnStartProcess;
    QPointer<QWidget> containerView;
    QPointer<DropView> dropView;
    QPointer<QPushButton> btnGift;
    QPointer<QLabel> lblChooseEditingOption;
    QPointer<QPushButton> btnExportMetadata;

    // The details panel with the editing form, owned by this screen.
    QPointer<MetadataDetailsViewController> metadataVC;
    // The destination panel while it is open, and the start it waits for.
    QPointer<platform::OpenPanel> openPanelKeepSource;
    Metadata metadataKeepSource;
    EditingOptions editingOptionKeepSource = EditingOptions::onlyModify;

    SortMethods sortMethod = SortMethods::name;
    SortOrder sortOrder = SortOrder::ascending;

    // The presets popover beside btnPresets; its content is the shared
    // presets list.
    platform::Popover popOverPresets;

    // Beside the grid: the clean-metadata options (true) or the details
    // panel (false).
    void showEditingOption(bool cleanMetadata);
    // Whether the clean-metadata options are shown.
    bool isShowingCleanOptions() const;

    // Filters and sorts allFiles() into displayedFiles() in the background
    // from a snapshot and publishes the newest request's result on the GUI
    // thread: the list, the items' indexes, the counts and the grid.
    void reloadGrid();
    // The remove button, the "All" box and the count label, from the
    // displayed marks.
    void updateCounts();
    // True while a reload asked for has not been published yet.
    bool isReloading() const { return m_publishedReload != m_requestedReload; }

    // Adding photos.
    QMenu *makeAddMenu();
    void clickedAdd();
    void showAddPhotosPanel();
    void showAddPhotosLibraryPanel();
    void startScan(const QList<QUrl> &urls);
    void filesDropped(const QStringList &paths) override;

    // Scanning: one scan at a time; requests during a scan are dropped.
    virtual void startScan(const QList<ViewControllerCellViewModel> &items);
    bool isScanning() const { return m_scanning; }

    // Marking and removing, on the displayed files.
    void clickedCollectionViewItemCheckBox(QorCollectionGridViewItem *cell);
    void toggleMark(qint64 index);
    void clickedSelectAll();
    void markOrUnmarkAll();
    void confirmRemoveItem(const std::optional<QUrl> &url);
    void removeMarkedItems();
    void removeAllItems();

    // Commands.
    void clickedResetAll();
    void clickedEditingOptions();
    void clickedRename();
    QMenu *makeSortMenu();
    void clickedSort();
    void sortByName();
    void sortBySize();
    void sortByDate();
    void sortWithAscending();
    void sortWithDescending();

    // The editing form of the details panel.
    MetadataEditorViewController *editingForm() const;
    // Refills the editing form from the marked displayed files.
    void showMarkedFilesInEditingForm();
    // Forgets the form's edits, then refills it.
    void resetEditingForm();
    void resetCleanOptions();
    // The preview window of one file.
    void openPreview(const std::shared_ptr<FileInfo> &file);
    // The rename rule window, showing rule.
    void openRenameWindow(const Rename &rule);
    // After a batch's Finish: an empty grid and search, a blank form, the
    // first editing option and the details panel.
    void returnFromResult();

    // Presets: the popover of saved presets, and laying a preset's values
    // over the editing form (fields that then differ from the marked files
    // are marked as edited).
    void clickedPresets();
    void applyPreset(const Metadata &preset);

    // The marked displayed files' metadata as a CSV file in a folder the
    // user picks.
    void clickedExportMetadata();
    void exportMetadata();
    // The publisher's page; the button is shown only when there is one.
    void clickedGift();

    // Starting a batch: the check for marked files, the confirmation of the
    // option, the preset question, the destination, then the batch.
    void clickedStartProcess();
    void startProcess();
    void askSavePreset(EditingOptions option, const Metadata &metadata);
    void chooseDestination(EditingOptions option, const Metadata &metadata);
    // The destination panel's button that changes the photos in place.
    void clickedKeepSourceFolderPath();
    void beginProcessing(EditingOptions option, const Metadata &metadata,
        const std::optional<QUrl> &destination, bool isKeepSourceFolderPath);
    void closeProgressView();

    // The grid's delegate.
    QSize cellSizeForCollectionView(QorCollectionView *view) override;
    QWidget *reusableViewControllerForCollectionView(QorCollectionView *view) override;
    void willShowViewController(QorCollectionView *view, QWidget *controller, const QVariant &item) override;
    void didDoubleClickViewControllerAtIndex(QorCollectionView *view, QWidget *controller) override;
    int groupHeaderHeightForCollectionView(QorCollectionView *view) override;
    int groupHeaderHeightDiffForCollectionView(QorCollectionView *view) override;
    QWidget *headerForGroup(QorCollectionView *view, const QorCollectionViewGroup &group) override;
    bool isEnabledEmptySelectionForCollectionView(QorCollectionView *view) override;
    bool isEnabledMultipleSelectionForCollectionView(QorCollectionView *view) override;
    bool isEnabledBackgroundSelectionForCollectionView(QorCollectionView *view) override;
    void configureGridItem(QorCollectionGridViewItem *cell, const FileInfo &file);

signals:
    // The grid became empty: the window is to show the dashboard.
    void dashboardPageRequested();
    // The marked and displayed counts were shown anew.
    void countsChanged();

private:
    void buildLayout();
    void setUpTexts();
    void setUpIcons();
    void publishReload(const FileInfoList &files);
    void refreshAfterReload();
    void reloadCollectionView();
    void showDashboard();
    void runAddPanel(platform::OpenPanel *panel);
    // A panel that picks one folder (and can make one), for a batch's
    // destination or the export.
    platform::OpenPanel *newFolderPanel(const QString &message, const QString &prompt);
    void setSort(std::optional<SortMethods> method, std::optional<SortOrder> order);
    // The start and the export need marked displayed files; without any the
    // user is told so.
    bool hasMarkedFilesOrTells();
    void savePresetIfRequested(
        int response, platform::Alert *alert, EditingOptions option, const Metadata &metadata);
    // A file's details arrived: its cell's date shows, and a marked file's
    // values make the combined form again.
    void fileDetailsArrived(const std::shared_ptr<FileInfo> &file);
    void markedDetailsArrived(const std::shared_ptr<FileInfo> &file);
    // Whether the cell shows the displayed file it was filled for; a cell
    // not yet refilled after a change of the list answers for nobody.
    static bool isCurrentCell(const QorCollectionGridViewItem *cell);

    // The steps of a scan's end.
    void scanWalkFinished(const Scanner::Result &result);
    void scanDidFinish(const ScanErrors &errors);
    void closeScanView();
    void endScanSheet();

    // Removes from both lists the files with one of these URLs (or, with
    // withoutUrl, every file without a URL); answers whether any went.
    bool removeFiles(const QSet<QUrl> &urls, bool withoutUrl);
    // Asks a removal question; true when the user confirmed.
    bool confirmRemoval(const char *messageKey, const char *informativeKey);

    quint64 m_requestedReload = 0;
    quint64 m_publishedReload = 0;
    bool m_scanning = false;
    bool m_formRefillDue = false;
    // A start waits for the marked photo's values still being read.
    bool m_startWaitsForDetails = false;
};
