// SPDX-License-Identifier: GPL-3.0-or-later
#include "CollectionTestSupport.h"
#include "ScreenTestSupport.h"

#include "batch/CleanMetadataViewController.h"
#include "browser/AddPhotosPanels.h"
#include "browser/MetadataDetailsViewController.h"
#include "browser/PreviewViewController.h"
#include "browser/QorCollectionGridViewItem.h"
#include "browser/QorCollectionView.h"
#include "common/EditingOptions.h"
#include "editor/FieldBox.h"
#include "editor/MetadataEditorViewController.h"
#include "engine/DateTexts.h"
#include "platform/Paths.h"
#include "platform/widgets/DragData.h"
#include "support/AlertScript.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace screentest;

namespace {

constexpr int Yes = platform::Alert::FirstButton;
constexpr int No = platform::Alert::FirstButton + 1;

// A main screen that notes what it hands to the screens beside it.
class RecordingHome : public HomeViewController
{
    Q_OBJECT
public:
    std::vector<QList<ViewControllerCellViewModel>> scans;

    void startScan(const QList<ViewControllerCellViewModel> &items) override { scans.push_back(items); }
};

class HomeTest : public ScreenFixture
{
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        home = std::make_unique<RecordingHome>();
    }
    void TearDown() override
    {
        drain();
        home.reset();
        ScreenFixture::TearDown();
    }

    // Loads the records as a scan would, then lets the reload arrive.
    void load(const FileInfoList &files)
    {
        allFiles() = files;
        displayedFiles() = files;
        reload();
    }
    void reload()
    {
        home->reloadGrid();
        drain();
        ASSERT_FALSE(home->isReloading());
    }
    void search(const QString &text)
    {
        home->searchField->setText(text);
        drain();
    }

    std::unique_ptr<RecordingHome> home;
};

} // namespace

TEST_F(HomeTest, SearchAndSortKeepMarksAndCountOnlyTheDisplayedFiles)
{
    auto first = record("IMG_0002.jpg", 300, {}, true);
    auto second = record("img_0001.JPG", 100);
    auto third = record("beach_IMG.jpg", 200, {}, true);
    load({ first, second, third });
    EXPECT_EQ(names(displayedFiles()), QStringList({ "beach_IMG.jpg", "img_0001.JPG", "IMG_0002.jpg" }));
    EXPECT_EQ(home->lblTotalPhotos->text(), QStringLiteral("T55: 2 / 3"));
    EXPECT_TRUE(home->btnRemove->isEnabled());
    for (qsizetype i = 0; i < displayedFiles().size(); ++i)
        EXPECT_EQ(displayedFiles()[i]->item, i);

    search("IMG");
    EXPECT_EQ(names(displayedFiles()), QStringList({ "img_0001.JPG", "IMG_0002.jpg" }));
    EXPECT_EQ(home->lblTotalPhotos->text(), QStringLiteral("T55: 1 / 2"));
    EXPECT_EQ(second->item, 0);
    EXPECT_EQ(first->item, 1);

    search("img_0001");
    EXPECT_EQ(home->lblTotalPhotos->text(), QStringLiteral("T55: 0 / 1"));
    EXPECT_FALSE(home->btnRemove->isEnabled()) << "marked files hidden by the search do not count";
    EXPECT_TRUE(first->isMark && third->isMark);

    home->sortBySize();
    home->sortWithDescending();
    search(QString());
    EXPECT_EQ(names(displayedFiles()), QStringList({ "IMG_0002.jpg", "beach_IMG.jpg", "img_0001.JPG" }));
    EXPECT_EQ(home->btnSort->text(), QStringLiteral("T206"));
    EXPECT_EQ(home->lblTotalPhotos->text(), QStringLiteral("T55: 2 / 3"));
    EXPECT_NE(home->editingForm()->fileInfo(), first) << "two marked files make a combined record";
}

TEST_F(HomeTest, TheNewestReloadWins)
{
    load({ record("apple.jpg"), record("banana.jpg"), record("cherry.jpg") });
    home->searchField->setText(QStringLiteral("a"));
    home->searchField->setText(QStringLiteral("b"));
    home->searchField->setText(QStringLiteral("c"));
    EXPECT_TRUE(home->isReloading());
    drain();
    EXPECT_FALSE(home->isReloading());
    EXPECT_EQ(names(displayedFiles()), QStringList({ "cherry.jpg" }));
}

TEST_F(HomeTest, SortMenuChecksOneMethodAndOneOrder)
{
    home->sortByDate();
    std::unique_ptr<QMenu> menu(home->makeSortMenu());
    QStringList checked;
    for (QAction *action : menu->actions()) {
        if (action->isChecked())
            checked << action->text();
    }
    EXPECT_EQ(checked, QStringList({ "T233", "T234" }));
    EXPECT_EQ(menu->actions().size(), 6);
    // The title follows the method with the next reload.
    EXPECT_EQ(home->btnSort->text(), QStringLiteral("T205"));
    drain();
    EXPECT_EQ(home->btnSort->text(), QStringLiteral("T207"));
}

TEST_F(HomeTest, ACheckBoxClickChangesTheCountAtOnceWithoutAReload)
{
    auto a = record("a.jpg");
    auto b = record("b.jpg");
    load({ a, b });

    QorCollectionGridViewItem cell;
    home->willShowViewController(home->qorCollectionView, &cell, QVariant::fromValue(b));
    cell.checkBox->click();
    EXPECT_TRUE(b->isMark);
    EXPECT_FALSE(home->isReloading());
    EXPECT_EQ(home->lblTotalPhotos->text(), QStringLiteral("T55: 1 / 2"));
    EXPECT_EQ(home->editingForm()->fileInfo(), b) << "the one marked file fills the form";

    // A cell still showing a file the list no longer holds at its index
    // changes nothing.
    displayedFiles() = { a };
    cell.checkBox->click();
    EXPECT_TRUE(b->isMark);
    EXPECT_TRUE(cell.checkBox->isChecked());
    home->toggleMark(5);
    home->toggleMark(-1);
    EXPECT_FALSE(a->isMark);
}

TEST_F(HomeTest, SelectAllAndMarkOrUnmarkAllActOnTheShownFilesOnly)
{
    auto shown1 = record("sea1.jpg");
    auto shown2 = record("sea2.jpg", {}, {}, true);
    auto hidden = record("hill.jpg");
    load({ shown1, shown2, hidden });
    search("sea");

    home->btnSelectAll->click();
    drain();
    EXPECT_TRUE(shown1->isMark && shown2->isMark);
    EXPECT_FALSE(hidden->isMark);

    home->markOrUnmarkAll();
    drain();
    EXPECT_FALSE(shown1->isMark || shown2->isMark);
    EXPECT_FALSE(home->btnSelectAll->isChecked());
    home->markOrUnmarkAll();
    drain();
    EXPECT_TRUE(shown1->isMark && shown2->isMark);
    EXPECT_TRUE(home->btnSelectAll->isChecked());

    search("nothing");
    home->markOrUnmarkAll();
    EXPECT_FALSE(home->btnSelectAll->isChecked());
    search(QString());
    EXPECT_TRUE(shown1->isMark && shown2->isMark) << "hidden files keep their marks";
    EXPECT_FALSE(hidden->isMark);
}

TEST_F(HomeTest, RemovalsAskFirstAndTakeFilesOutOfBothLists)
{
    auto a = record("a.jpg", {}, {}, true);
    auto b = record("b.jpg");
    auto c = record("c.jpg", {}, {}, true);
    auto hiddenMarked = record("x.jpg", {}, {}, true);
    load({ a, b, c, hiddenMarked });

    testsupport::AlertScript alerts;
    alerts.answer(Yes);
    home->confirmRemoveItem(b->url);
    drain();
    EXPECT_EQ(allFiles().size(), 4) << "the first button keeps the photo";
    alerts.answer(No);
    home->confirmRemoveItem(b->url);
    drain();
    EXPECT_EQ(names(allFiles()), QStringList({ "a.jpg", "c.jpg", "x.jpg" }));
    EXPECT_EQ(names(displayedFiles()), QStringList({ "a.jpg", "c.jpg", "x.jpg" }));

    search("c");
    alerts.answer(No);
    home->removeMarkedItems();
    drain();
    EXPECT_EQ(names(allFiles()), QStringList({ "a.jpg", "x.jpg" })) << "marked files the search hides stay";

    search("a");
    a->isMark = false;
    alerts.answer(No);
    home->removeMarkedItems();
    EXPECT_FALSE(home->isReloading()) << "nothing marked: asked, and nothing changes";
    EXPECT_EQ(allFiles().size(), 2);

    ASSERT_EQ(alerts.shown().size(), 4u);
    EXPECT_EQ(alerts.shown()[0].message, QStringLiteral("T270"));
    EXPECT_EQ(alerts.shown()[0].informative, QStringLiteral("T271"));
    EXPECT_EQ(alerts.shown()[0].buttons, QStringList({ "T200", "T199" }));
    EXPECT_EQ(alerts.shown()[2].message, QStringLiteral("T231"));
    EXPECT_EQ(alerts.shown()[2].informative, QStringLiteral("T232"));
}

TEST_F(HomeTest, RemovingEverythingBringsBackTheDashboard)
{
    load({ record("a.jpg"), record("b.jpg") });
    QSignalSpy dashboard(home.get(), &HomeViewController::dashboardPageRequested);
    testsupport::AlertScript alerts;
    alerts.answer(No);
    home->removeAllItems();
    EXPECT_EQ(alerts.shown().at(0).message, QStringLiteral("T268"));
    drain();
    EXPECT_TRUE(displayedFiles().isEmpty());
    EXPECT_EQ(home->lblTotalPhotos->text(), QStringLiteral("T55: 0 / 0"));
    EXPECT_EQ(dashboard.count(), 0);
    advance(HomeViewController::HandOffMs);
    EXPECT_EQ(dashboard.count(), 1);
}

TEST_F(HomeTest, ResetAndTheOptionPopUpSwitchTheScreenBesideTheGrid)
{
    auto a = record("a.jpg", {}, {}, true);
    load({ a });
    EXPECT_EQ(home->popUpEditingOptions->count(), 3);
    EXPECT_EQ(home->popUpEditingOptions->itemText(2), rawValue(EditingOptions::cleanMetadata));
    EXPECT_FALSE(home->isShowingCleanOptions());

    home->popUpEditingOptions->setCurrentIndex(2);
    home->clickedEditingOptions();
    EXPECT_TRUE(home->isShowingCleanOptions());
    home->popUpEditingOptions->setCurrentIndex(1);
    home->clickedEditingOptions();
    EXPECT_FALSE(home->isShowingCleanOptions());
    home->popUpEditingOptions->setCurrentIndex(2);
    home->clickedEditingOptions();

    CleanMetadataViewController::shared()->btnGPSInformation->setChecked(true);
    QLineEdit *artist = home->editingForm()->textField(MetadataField::artist);
    artist->setText(QStringLiteral("Someone"));
    home->editingForm()->fieldChanged(artist);
    ASSERT_TRUE(a->metadata->isArtistEdited());

    testsupport::AlertScript alerts;
    alerts.answer(No);
    home->clickedResetAll();
    drain();
    EXPECT_EQ(home->popUpEditingOptions->currentIndex(), 2) << "the second button resets nothing";

    alerts.answer(Yes);
    home->clickedResetAll();
    drain();
    EXPECT_EQ(alerts.shown().at(1).message, QStringLiteral("T274"));
    EXPECT_EQ(alerts.shown().at(1).buttons, QStringList({ "T199", "T200" }));
    EXPECT_EQ(home->popUpEditingOptions->currentIndex(), 0);
    EXPECT_FALSE(home->isShowingCleanOptions());
    EXPECT_FALSE(CleanMetadataViewController::shared()->isAnyOptionSelected()) << "the clean options go back";
    EXPECT_FALSE(a->metadata->isArtistEdited());
    EXPECT_TRUE(artist->text().isEmpty()) << "the form shows the file's own values again";
    EXPECT_TRUE(a->isMark);
    EXPECT_EQ(allFiles().size(), 1);
}

TEST_F(HomeTest, PanelsHandTheirChoiceToTheScanATenthOfASecondLater)
{
    PanelScript panels;
    const QUrl photo = QUrl::fromLocalFile(dir.filePath("a.jpg"));
    const QUrl folder = QUrl::fromLocalFile(dir.filePath("trip"));
    panels.answers.push_back({ platform::OpenPanel::OK, { photo, folder } });
    home->showAddPhotosPanel();
    drain();
    EXPECT_TRUE(home->scans.empty());
    advance(HomeViewController::HandOffMs);
    ASSERT_EQ(home->scans.size(), 1u);
    ASSERT_EQ(home->scans[0].size(), 2);
    EXPECT_EQ(home->scans[0][0].path, photo.toLocalFile());
    EXPECT_EQ(home->scans[0][1].path, folder.toLocalFile());
    EXPECT_TRUE(home->scans[0][1].isSelected);
    EXPECT_FALSE(home->scans[0][1].title.has_value());

    const auto &files = panels.seen.at(0);
    EXPECT_TRUE(files.canChooseFiles && files.canChooseDirectories && files.allowsMultipleSelection
        && files.canCreateDirectories);
    EXPECT_FALSE(files.treatsPackagesAsDirectories);
    EXPECT_EQ(files.allowedFileTypes, supportedExtensions());
    EXPECT_EQ(files.prompt, QStringLiteral("T7"));

    // The library panel: folders open, packages are chosen, files are grey.
    QDir(dir.path()).mkpath(QStringLiteral("Family.PhotosLibrary"));
    QDir(dir.path()).mkpath(QStringLiteral("albums"));
    std::vector<std::pair<bool, bool>> verdicts;
    panels.inspect = [&](const platform::OpenPanel &panel) {
        for (const char *name : { "Family.PhotosLibrary", "albums", "a.jpg" }) {
            const QUrl url = QUrl::fromLocalFile(dir.filePath(name));
            verdicts.emplace_back(panel.isEntryEnabled(url), panel.isChoosable(url));
        }
    };
    QFile(dir.filePath("a.jpg")).open(QIODevice::WriteOnly);
    panels.answers.push_back({ platform::OpenPanel::Cancel, {} });
    home->showAddPhotosLibraryPanel();
    advance(HomeViewController::HandOffMs);
    EXPECT_EQ(home->scans.size(), 1u) << "a cancelled panel starts nothing";
    const auto &library = panels.seen.at(1);
    EXPECT_FALSE(
        library.canChooseDirectories || library.allowsMultipleSelection || library.canCreateDirectories);
    EXPECT_EQ(library.allowedFileTypes, QStringList({ "photoslibrary" }));
    EXPECT_EQ(library.prompt, QStringLiteral("T236"));
    const QString pictures = platform::Paths::picturesFolder();
    EXPECT_EQ(library.directory.toLocalFile(), QFileInfo(pictures).isDir() ? pictures : QDir::homePath());
    EXPECT_EQ(
        verdicts, (std::vector<std::pair<bool, bool>> { { true, true }, { true, false }, { false, false } }));
}

TEST_F(HomeTest, AddMenuAndDropsStartTheScan)
{
    std::unique_ptr<QMenu> menu(home->makeAddMenu());
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("T3"));
    EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("T4"));

    const QString folder = dir.filePath("drop");
    QDir().mkpath(folder);
    home->show();
    std::unique_ptr<QMimeData> mime(platform::DragData::mimeDataForFiles({ folder, dir.filePath("b.txt") }));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(home->dropView, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(home->dropView, &drop);
    ASSERT_EQ(home->scans.size(), 1u) << "a drop scans at once";
    EXPECT_EQ(home->scans[0].size(), 2);
    EXPECT_EQ(home->scans[0][0].path, folder);
}

TEST_F(HomeTest, GridCellsShowTheDisplayedFilesAndADoubleClickOpensThePreview)
{
    EXPECT_EQ(home->cellSizeForCollectionView(home->qorCollectionView), QSize(160, 160));
    EXPECT_FALSE(home->isEnabledMultipleSelectionForCollectionView(home->qorCollectionView));
    EXPECT_TRUE(home->isEnabledEmptySelectionForCollectionView(home->qorCollectionView));
    EXPECT_FALSE(home->isEnabledBackgroundSelectionForCollectionView(home->qorCollectionView));

    auto a = record("a.jpg", {}, {}, true);
    auto b = record("b.jpg");
    b->isPhotoLibrary = true;
    home->resize(1000, 700);
    home->show();
    load({ a, b });
    QorCollectionView &grid = *home->qorCollectionView;
    collectiontest::settle(grid);
    ASSERT_EQ(grid.contentArray().size(), 2);
    auto *first = qobject_cast<QorCollectionGridViewItem *>(grid.viewControllerForItemAtIndex(0));
    auto *second = qobject_cast<QorCollectionGridViewItem *>(grid.viewControllerForItemAtIndex(1));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->fileInfo, a);
    EXPECT_TRUE(first->checkBox->isChecked());
    EXPECT_TRUE(first->imageViewPhotosLib->isHidden());
    EXPECT_FALSE(second->imageViewPhotosLib->isHidden());
    EXPECT_EQ(second->checkBox->objectName(), QStringLiteral("0,1"));
    EXPECT_EQ(grid.rectOfItemAtIndex(1).size(), QSize(160, 160));

    // One click selects without marking; a double click opens the preview.
    collectiontest::click(grid, grid.rectOfItemAtIndex(0).center());
    collectiontest::click(grid, grid.rectOfItemAtIndex(1).center(), Qt::ControlModifier);
    EXPECT_FALSE(b->isMark);
    EXPECT_EQ(grid.selectionIndexes().count(), 1) << "one item at most";
    EXPECT_TRUE(grid.selectionIndexes().contains(1));
    Presentations presented;
    home->didDoubleClickViewControllerAtIndex(&grid, second);
    ASSERT_EQ(presented.events.size(), 1u);
    EXPECT_EQ(presented.events[0].second, PreviewViewController::shared());
    EXPECT_EQ(PreviewViewController::shared()->fileInfo(), b);

    // A reload shows new marks in the cells; sorting moves the files.
    b->isMark = true;
    home->sortWithDescending();
    drain();
    collectiontest::settle(grid);
    auto *top = qobject_cast<QorCollectionGridViewItem *>(grid.viewControllerForItemAtIndex(0));
    ASSERT_TRUE(top);
    EXPECT_EQ(top->fileInfo, b);
    EXPECT_TRUE(top->checkBox->isChecked());
    EXPECT_EQ(top->checkBox->objectName(), QStringLiteral("0,0"));
    GridThumbnails::shared().waitForDone();
    drain();
}

TEST_F(HomeTest, ThePreviewShowsAPhotosOwnValuesNeverTheFormsEdits)
{
    const QDateTime taken(QDate(2004, 6, 21), QTime(23, 37, 53));
    auto a = record("a.jpg", {}, {}, true);
    a->metadata->setArtist(QStringLiteral("Ann"));
    auto b = record("b.jpg", {}, {}, true);
    b->metadata->setArtist(QStringLiteral("Bo"));
    b->metadata->setModifyDate(taken);
    b->metadata->refreshDateTimes();
    home->show();
    load({ a, b });
    Presentations presented;
    MetadataEditorViewController *shown = PreviewViewController::shared()->metadataVC->metadataEditorVC;
    home->openPreview(a);
    EXPECT_EQ(shown->textField(MetadataField::artist)->text(), QStringLiteral("Ann"));

    // Only b stays marked: the user types its artist and empties its date.
    home->toggleMark(0);
    MetadataEditorViewController *form = home->editingForm();
    ASSERT_EQ(form->fileInfo(), b);
    // The value shows from its start: the user goes to its end first.
    QTest::keyClick(form->textField(MetadataField::artist), Qt::Key_End);
    QTest::keyClicks(form->textField(MetadataField::artist), QStringLiteral("s"));
    b->metadata->dateTimeModifyDate()->isEmptyValue = true;
    b->metadata->setModifyDateEdited(true);

    home->openPreview(b);
    EXPECT_EQ(shown->textField(MetadataField::artist)->text(), QStringLiteral("Bo"));
    EXPECT_EQ(shown->textField(MetadataField::modifyDate)->text(), displayText(taken));
    EXPECT_FALSE(shown->box(MetadataField::artist)->isMarked());
    EXPECT_TRUE(b->metadata->isArtistEdited()) << "the main form keeps its edit";
    EXPECT_EQ(form->textField(MetadataField::artist)->text(), QStringLiteral("Bos"));
}

#include "HomeViewControllerTest.moc"
