// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchScreensFixture.h"
#include <QTest>

#include "batch/CleanMetadataViewController.h"
#include "batch/ResultViewController.h"
#include "platform/widgets/Window.h"
#include "support/FakeFileManager.h"
#include "support/UrlRecorder.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

namespace {

class CleanOptions : public BatchScreens
{
protected:
    void SetUp() override
    {
        BatchScreens::SetUp();
        screen = CleanMetadataViewController::shared();
    }
    QList<QCheckBox *> boxes() const
    {
        return { screen->btnExif, screen->btnOrientation, screen->btnGPSInformation, screen->btnComment,
            screen->btnIPTC, screen->btnXMP };
    }
    CleanMetadataViewController *screen = nullptr;
};

TEST_F(CleanOptions, EachBoxIsOneFlagInOrderAndOnlyTheOnStateCounts)
{
    EXPECT_EQ(screen->lblTitle->text(), text("QX_ID_66"));
    const char *keys[] = { "QX_ID_67", "QX_ID_93", "QX_ID_68", "QX_ID_69", "QX_ID_70", "QX_ID_71" };
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(boxes()[i]->text(), text(keys[i]));
    EXPECT_EQ(screen->selectedOptions(), CleanMetadata());
    EXPECT_FALSE(screen->isAnyOptionSelected());

    bool CleanMetadata::*flags[] = { &CleanMetadata::exif, &CleanMetadata::orientation, &CleanMetadata::gps,
        &CleanMetadata::comment, &CleanMetadata::iptc, &CleanMetadata::xmp };
    for (int i = 0; i < 6; ++i) {
        boxes()[i]->click();
        CleanMetadata expected;
        expected.*flags[i] = true;
        EXPECT_EQ(screen->selectedOptions(), expected) << i;
        EXPECT_TRUE(screen->isAnyOptionSelected());
        boxes()[i]->click();
    }

    screen->btnIPTC->setTristate(true);
    screen->btnIPTC->setCheckState(Qt::PartiallyChecked);
    EXPECT_FALSE(screen->isAnyOptionSelected()) << "mixed is not chosen";

    for (QCheckBox *box : boxes())
        box->setChecked(true);
    screen->resetOptions();
    EXPECT_EQ(screen->selectedOptions(), CleanMetadata());
    for (QCheckBox *box : boxes())
        EXPECT_EQ(box->checkState(), Qt::Unchecked);
}

class ResultScreen : public BatchScreens
{
protected:
    void SetUp() override
    {
        BatchScreens::SetUp();
        screen = ResultViewController::shared();
        window.setCentralWidget(screen);
        window.show();
    }
    void TearDown() override
    {
        window.takeCentralWidget();
        BatchScreens::TearDown();
    }

    void show(const Result &result)
    {
        batchResult() = result;
        screen->displayResult();
    }

    QMainWindow window;
    ResultViewController *screen = nullptr;
};

TEST_F(ResultScreen, SummarisesTheLastBatch)
{
    EXPECT_EQ(screen->lblMetadataEditingProcessingSummary->text(), text("QX_ID_54"));
    EXPECT_EQ(screen->lblPhotosSelected->text(), text("QX_ID_55"));
    EXPECT_EQ(screen->lblTimeElapsed->text(), text("QX_ID_53"));
    EXPECT_EQ(screen->btnOpenFinder->text(), text("QX_ID_59"));
    EXPECT_EQ(screen->btnFinish->text(), text("QX_ID_60"));
    EXPECT_EQ(screen->lblRecommendedApp->text(), text("QX_ID_61") + QLatin1Char(':'));

    show({ 10, 10, 3725.9, 10, 0, QUrl::fromLocalFile(destination.path()), false, {}, {} });
    EXPECT_EQ(screen->lblBatchProcess->text(), text("QX_ID_248"));
    EXPECT_EQ(screen->lblPhotosSaved->text(),
        QStringLiteral("10 ") + text("QX_ID_250") + QLatin1Char(' ') + text("QX_ID_251"));
    EXPECT_EQ(screen->lblValuePhotosSelected->text(), QStringLiteral("10"));
    EXPECT_EQ(screen->lblValuePhotosEdited->text(), QStringLiteral("10"));
    EXPECT_EQ(screen->lblValuePhotosNotChanged->text(), QStringLiteral("0"));
    EXPECT_TRUE(screen->boxFailedPhotos->isHidden());
    EXPECT_EQ(screen->lblValuePhotosSkipped->text(), QStringLiteral("0"));
    EXPECT_EQ(screen->lblValueTimeElapsed->text(), QStringLiteral("01:02:05"));
    EXPECT_EQ(screen->lblValueOutputFolder->text(), destination.path());
    EXPECT_TRUE(screen->btnOpenFinder->isEnabled());

    show({ 7, 10, 1.0, 7, 3, std::nullopt, true, {}, {} });
    EXPECT_EQ(screen->lblBatchProcess->text(), text("QX_ID_247"));
    EXPECT_EQ(screen->lblValuePhotosSkipped->text(), QStringLiteral("3"));
    EXPECT_EQ(screen->lblValueOutputFolder->text(), text("QX_ID_252"));
    EXPECT_FALSE(screen->btnOpenFinder->isEnabled()) << "changed in place: no folder to show";

    show({ 1, 2, 1.0, 1, 1, std::nullopt, true, {}, {} });
    EXPECT_TRUE(screen->lblPhotosSaved->text().startsWith(
        QStringLiteral("1 ") + text("QX_ID_249") + QLatin1Char(' ')));
    show({ 0, 2, 1.0, 0, 2, std::nullopt, true, {}, {} });
    EXPECT_TRUE(screen->lblPhotosSaved->text().startsWith(
        QStringLiteral("0 ") + text("QX_ID_250") + QLatin1Char(' ')));

    // Without a stored result the labels stay as they were.
    batchResult().reset();
    screen->displayResult();
    EXPECT_EQ(screen->lblValuePhotosSelected->text(), QStringLiteral("2"));
}

// A batch whose writes failed never reads as done: it says how many photos
// could not be changed and lists them with their reasons, to be copied.
TEST_F(ResultScreen, PhotosThatCouldNotBeChangedAreCountedAndListed)
{
    const QList<FailedPhoto> failures { { QStringLiteral("/photos/a.jpg"),
                                            QStringLiteral("Permission denied") },
        { QStringLiteral("/photos/b.jpg"), QStringLiteral("corrupted image metadata") } };
    show({ 2, 2, 1.0, 0, 0, std::nullopt, true, failures, {} });
    EXPECT_EQ(screen->lblBatchProcess->text(),
        QStringLiteral("2 ") + text("QX_ID_250") + QLatin1Char(' ') + text("QX_ID_286"));
    EXPECT_EQ(screen->lblPhotosNotChanged->text(), text("QX_ID_285"));
    EXPECT_EQ(screen->lblValuePhotosNotChanged->text(), QStringLiteral("2"));
    EXPECT_EQ(screen->lblValuePhotosEdited->text(), QStringLiteral("0"));
    ASSERT_FALSE(screen->boxFailedPhotos->isHidden());
    ASSERT_EQ(screen->listFailedPhotos->topLevelItemCount(), 2);
    EXPECT_EQ(screen->listFailedPhotos->topLevelItem(1)->text(0), QStringLiteral("/photos/b.jpg"));
    EXPECT_EQ(screen->listFailedPhotos->topLevelItem(1)->text(1), QStringLiteral("corrupted image metadata"));
    EXPECT_EQ(screen->btnCopyFailedPhotos->text(), text("QX_ID_288"));
    screen->btnCopyFailedPhotos->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
        QStringLiteral("/photos/a.jpg\tPermission denied\n/photos/b.jpg\tcorrupted image metadata\n"));

    // One of three failed after a stop: the failure is what is told.
    show({ 2, 3, 1.0, 1, 1, std::nullopt, true, failures.mid(0, 1), {} });
    EXPECT_EQ(screen->lblBatchProcess->text(),
        QStringLiteral("1 ") + text("QX_ID_249") + QLatin1Char(' ') + text("QX_ID_286"));
    EXPECT_EQ(screen->listFailedPhotos->topLevelItemCount(), 1);

    show({ 1, 1, 1.0, 1, 0, std::nullopt, true, {}, {} });
    EXPECT_EQ(screen->lblBatchProcess->text(), text("QX_ID_248"));
    EXPECT_TRUE(screen->boxFailedPhotos->isHidden());
    EXPECT_EQ(screen->listFailedPhotos->topLevelItemCount(), 0);
}

TEST_F(ResultScreen, TheWindowKeepsOnlyItsCloseButtonUntilFinish)
{
    CleanMetadataViewController::shared()->btnGPSInformation->setChecked(true);
    addRecord(sources.filePath(QStringLiteral("a.jpg")), nullptr);
    show({ 1, 1, 1.0, 1, 0, std::nullopt, true, {}, {} });
    EXPECT_FALSE(platform::Window::hasMinimiseButton(&window));
    EXPECT_FALSE(platform::Window::hasMaximiseButton(&window));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));

    QSignalSpy returned(screen, &ResultViewController::returnedToHome);
    screen->btnFinish->click();
    EXPECT_EQ(returned.count(), 1);
    EXPECT_EQ(pages, QList<ContainerPage> { ContainerPage::dashboard });
    EXPECT_TRUE(displayedFiles().isEmpty());
    EXPECT_TRUE(allFiles().isEmpty());
    EXPECT_FALSE(CleanMetadataViewController::shared()->isAnyOptionSelected());
    EXPECT_TRUE(platform::Window::hasMinimiseButton(&window));
    EXPECT_TRUE(platform::Window::hasMaximiseButton(&window));
    EXPECT_TRUE(window.isVisible());
}

TEST_F(ResultScreen, ShowFolderAsksTheFileManagerAndFallsBackToOpeningIt)
{
    UrlRecorder opened { QStringLiteral("file") };
    const QUrl folder = QUrl::fromLocalFile(destination.path());
    {
        testsupport::FakeFileManager fileManager;
        if (!fileManager.isRegistered())
            GTEST_SKIP() << "no session bus";

        screen->clickedOpenFinder(); // no result: nothing
        show({ 1, 1, 1.0, 1, 0, folder, false, {}, {} });
        screen->btnOpenFinder->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !fileManager.shownFolders.isEmpty(); }, 30000));
        EXPECT_EQ(fileManager.shownFolders, QStringList { folder.toString(QUrl::FullyEncoded) });
        EXPECT_TRUE(opened.urls.isEmpty());
    }
    // With no file manager on the bus the folder opens through the desktop.
    screen->btnOpenFinder->click();
    EXPECT_EQ(opened.urls, QList<QUrl> { folder });
}

TEST_F(ResultScreen, RecommendsAnApplicationOnEachAppearanceOrCollapses)
{
    SoftwareCentre centre;
    UrlRecorder store;
    window.hide();
    screen->hide();
    window.show();
    screen->show();
    ASSERT_TRUE(screen->promotionalApp) << "none of the recommended applications is installed here";
    EXPECT_FALSE(screen->boxPromotion->isHidden());
    EXPECT_EQ(screen->boxPromotion->height(), ResultViewController::PromotionBoxHeight);
    EXPECT_EQ(screen->lblRecommendedAppName->text(), screen->promotionalApp->title);
    EXPECT_EQ(screen->lblRecommendedAppTitle->text(), screen->promotionalApp->subTitle);
    screen->btnDownloadRecommendedApp->click();
    EXPECT_EQ(store.urls, QList<QUrl> { *screen->promotionalApp->url });

    const QString first = screen->promotionalApp->title;
    screen->hide();
    screen->show();
    EXPECT_NE(screen->promotionalApp->title, first) << "the next one";

    screen->promotionalApp.reset();
    screen->configurePromotion(true);
    EXPECT_TRUE(screen->boxPromotion->isHidden());
    EXPECT_EQ(screen->boxPromotion->maximumHeight(), 0);
    screen->clickedRecommendedApp();
    EXPECT_EQ(store.urls.size(), 1);
}

} // namespace
