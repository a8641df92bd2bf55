// SPDX-License-Identifier: GPL-3.0-or-later
#include "PhotosLibraryFixture.h"
#include "ScanTestSupport.h"

#include "browser/ScanVC.h"
#include "browser/Scanner.h"
#include "common/AppSettings.h"
#include "common/Localization.h"
#include "common/ScanFlags.h"
#include "engine/FileInfo.h"
#include "platform/Clock.h"
#include "platform/MainQueue.h"
#include "platform/PhotosApp.h"
#include "platform/Settings.h"
#include "platform/widgets/ScreenRegistry.h"
#include "support/AlertScript.h"
#include "support/ScopedIsolation.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace scantest;

namespace {

QString endText()
{
    return localizedString(QStringLiteral("QX_ID_267")) + QStringLiteral("...");
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// A folder of n small photos.
QString photoFolder(const QTemporaryDir &dir, const QString &name, int n)
{
    const QString folder = dir.path() + QLatin1Char('/') + name;
    for (int i = 0; i < n; ++i)
        writeJpeg(folder + QStringLiteral("/p%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    return folder;
}

class ScannerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        platform::Settings::remove(SettingsKey::isScanPhotosLibraryWhenParentFolerScan);
        platform::Settings::remove(SettingsKey::allExclusionPaths);
    }
    void TearDown() override
    {
        Scanner::setStepObserver({});
        platform::PhotosApp::setFake(nullptr);
    }

    platform::ScreenRegistry screens;
};

} // namespace

TEST_F(ScannerTest, FilesFoldersAndALibraryGiveTheirRecordsCountsAndFlags)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Pictures");
    placeTestImage(QStringLiteral("Reagan.jpg"), folder + QStringLiteral("/Reagan.jpg"));
    placeTestImage(QStringLiteral("DSC_3079.jpg"), folder + QStringLiteral("/UPPER.JPG"));
    placeTestImage(QStringLiteral("GPS.jpg"), folder + QStringLiteral("/b/GPS.jpg"));
    placeTestImage(QStringLiteral("smiley2.jpg"), folder + QStringLiteral("/.hidden.jpg"));
    QFile(folder + QStringLiteral("/empty.jpg")).open(QIODevice::WriteOnly);
    QFile notes(folder + QStringLiteral("/notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a photo");
    notes.close();

    PhotosLibraryFixture library(
        dir, QStringLiteral("Pictures/Lib.photoslibrary"), PhotosLibraryFixture::Layout::New);
    const QString package = library.path();
    library.addNewPhoto(QStringLiteral("A"), QStringLiteral("L1.jpg"), QStringLiteral("Inn.JPG"), 38821);
    library.addNewPhoto(QStringLiteral("B"), QStringLiteral("L2.heic"), QStringLiteral("L2.HEIC"), 10);
    library.addNewPhoto(QStringLiteral("C"), QStringLiteral("missing.jpg"), QStringLiteral("M.JPG"), 10);
    // Would name Pictures/Reagan.jpg, outside the package.
    library.addNewPhoto(QStringLiteral("../.."), QStringLiteral("Reagan.jpg"), QStringLiteral("R.JPG"), 10);
    library.addNewPhoto(QStringLiteral("D"), QStringLiteral("T.jpg"), QStringLiteral("T.JPG"), 10, true);
    placeTestImage(QStringLiteral("FurnaceCreekInn.jpg"), package + QStringLiteral("/originals/A/L1.jpg"));
    placeTestImage(QStringLiteral("smiley2.jpg"), package + QStringLiteral("/originals/D/T.jpg"));
    QFile heic(package + QStringLiteral("/originals/B/L2.heic"));
    QDir().mkpath(package + QStringLiteral("/originals/B"));
    ASSERT_TRUE(heic.open(QIODevice::WriteOnly));
    heic.write("heic");
    heic.close();

    // A name that is not valid UTF-8 cannot be loaded: skipped, counted, printed.
    const QByteArray undecodable = QFile::encodeName(folder) + QByteArrayLiteral("/bad\xff.jpg");
    ASSERT_EQ(::close(::open(undecodable.constData(), O_CREAT | O_WRONLY, 0644)), 0);

    auto items
        = request({ folder, folder + QStringLiteral("/b/GPS.jpg"), dir.path() + QStringLiteral("/none") });
    items << ViewControllerCellViewModel {};
    ViewControllerCellViewModel unselected;
    unselected.path = dir.path();
    unselected.isSelected = false;
    items << unselected;

    testsupport::ConsoleCapture console;
    const ScanRun run = runScan(items);
    waitForDetails(run.result.records);

    EXPECT_EQ(run.result.errors.undecodableNames, 1);
    EXPECT_TRUE(console.lines().contains(
        folder + QStringLiteral("/bad\\xff.jpg: skipped, the name is not valid UTF-8")));
    const QStringList paths = run.recordPaths();
    ASSERT_EQ(paths.size(), 4) << paths.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(paths.first(), package + QStringLiteral("/originals/A/L1.jpg"));
    const auto &fromLibrary = run.result.records.first();
    EXPECT_TRUE(fromLibrary->isPhotoLibrary);
    EXPECT_EQ(fromLibrary->fileName, QStringLiteral("Inn.JPG"));
    ASSERT_TRUE(fromLibrary->photosLibraryItem);
    EXPECT_EQ(fromLibrary->photosLibraryItem->ZDIRECTORY, QStringLiteral("A"));
    EXPECT_EQ(sorted(paths.mid(1)),
        sorted({ folder + QStringLiteral("/Reagan.jpg"), folder + QStringLiteral("/UPPER.JPG"),
            folder + QStringLiteral("/b/GPS.jpg") }));
    for (const auto &record : run.result.records)
        EXPECT_EQ(record->isPhotoLibrary, record == fromLibrary);
    EXPECT_TRUE(run.result.errors.isSomeExtensionsAreNotSupported);
    EXPECT_FALSE(run.result.errors.isResultNotFound);
    EXPECT_FALSE(run.result.errors.isPathsAlreadyExistInArray);

    // Total: six entries below the folder besides the package, the file
    // asked for again, four library rows. Processed: every library row and
    // each distinct entry once. No report in between below 40 entries.
    ASSERT_EQ(run.statuses.size(), 2u);
    EXPECT_EQ(run.statuses.front(), ScanViewStatus());
    EXPECT_EQ(run.statuses.back(), (ScanViewStatus { PhotosStatus::collecting, endText(), 1.0, 4, 10, 11 }));
    EXPECT_FALSE(ScanFlags::shared().isScanRunning);
}

TEST_F(ScannerTest, ReportsProgressEveryTwentiethOfTheTotalInOrder)
{
    QTemporaryDir dir;
    const QString folder = photoFolder(dir, QStringLiteral("hundred"), 100);
    const ScanRun run = runScan(request({ folder }));
    waitForDetails(run.result.records);
    EXPECT_EQ(run.result.records.size(), 100);
    // A report every fourth entry: 25 between the start and the end.
    ASSERT_EQ(run.statuses.size(), 27u);
    for (size_t i = 1; i + 1 < run.statuses.size(); ++i) {
        const ScanViewStatus &status = run.statuses[i];
        EXPECT_EQ(status.photosStatus, PhotosStatus::collecting);
        EXPECT_EQ(status.countProcessing, qint64(4 * i));
        EXPECT_EQ(status.countTotal, 100);
        EXPECT_DOUBLE_EQ(status.percentageProcessing, double(4 * i) / 100.0);
        // Records are counted as they are accepted, a moment before their
        // step: only the total bounds them.
        EXPECT_LE(status.countTotalPhotos, 100);
        EXPECT_TRUE(status.path.startsWith(folder + QLatin1Char('/')));
    }
    EXPECT_EQ(run.statuses.back().countTotalPhotos, 100);

    QTemporaryDir small;
    const ScanRun thirty = runScan(request({ photoFolder(small, QStringLiteral("thirty"), 30) }));
    waitForDetails(thirty.result.records);
    EXPECT_EQ(thirty.statuses.size(), 2u);
}

TEST_F(ScannerTest, NothingToScanStillReportsStartAndEnd)
{
    QTemporaryDir dir;
    auto items = request({ dir.path() });
    items[0].isSelected = false;
    for (const auto &request : { QList<ViewControllerCellViewModel>(), items }) {
        const ScanRun run = runScan(request);
        EXPECT_TRUE(run.result.records.isEmpty());
        EXPECT_EQ(run.result.errors, ScanErrors());
        ASSERT_EQ(run.statuses.size(), 2u);
        EXPECT_EQ(
            run.statuses.back(), (ScanViewStatus { PhotosStatus::collecting, endText(), 1.0, 0, 0, 0 }));
    }
}

TEST_F(ScannerTest, OlderLibrariesKeepTheirPhotosUnderMasters)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    PhotosLibraryFixture library(dir, QStringLiteral("Old.photoslibrary"), PhotosLibraryFixture::Layout::Old);
    library.addOldPhoto(QStringLiteral("2014/05/01/IMG_1.jpg"), QStringLiteral("IMG_1.jpg"), 38376);
    library.placeImage(QStringLiteral("images/Reagan.jpg"), QStringLiteral("2014/05/01/IMG_1.jpg"));
    // The same relative path under the newer folder is not looked at.
    scantest::placeTestImage(QStringLiteral("GPS.jpg"), library.path() + QStringLiteral("/originals/x.jpg"));

    const ScanRun run = runScan(request({ library.path() }));
    waitForDetails(run.result.records);
    ASSERT_EQ(
        run.recordPaths(), QStringList { library.path() + QStringLiteral("/Masters/2014/05/01/IMG_1.jpg") });
    const auto &item = run.result.records.first()->photosLibraryItem;
    ASSERT_TRUE(item);
    EXPECT_EQ(item->model_uuid, QStringLiteral("M-1"));
    EXPECT_EQ(item->version_uuid, QStringLiteral("V-1"));
    EXPECT_EQ(item->libraryURL, QUrl::fromLocalFile(library.path()));
    EXPECT_EQ(run.statuses.back().countTotal, 1);
}

TEST_F(ScannerTest, LibrariesInsideFoldersFollowTheSetting)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    PhotosLibraryFixture library(dir, QStringLiteral("In.photoslibrary"), PhotosLibraryFixture::Layout::New);
    library.addNewPhoto(QStringLiteral("A"), QStringLiteral("a.jpg"), QStringLiteral("a.jpg"), 38376);
    library.placeImage(QStringLiteral("images/Reagan.jpg"), QStringLiteral("A/a.jpg"));
    writeJpeg(dir.path() + QStringLiteral("/loose.jpg"));

    platform::Settings::setBool(SettingsKey::isScanPhotosLibraryWhenParentFolerScan, false);
    ScanRun run = runScan(request({ dir.path() }));
    waitForDetails(run.result.records);
    EXPECT_EQ(run.recordPaths(), QStringList { dir.path() + QStringLiteral("/loose.jpg") });
    EXPECT_EQ(run.statuses.back().countTotal, 1);

    // Asked for by itself, the library is read whatever the setting.
    run = runScan(request({ library.path() }));
    waitForDetails(run.result.records);
    EXPECT_EQ(run.result.records.size(), 1);

    platform::Settings::setBool(SettingsKey::isScanPhotosLibraryWhenParentFolerScan, true);
    run = runScan(request({ dir.path() }));
    waitForDetails(run.result.records);
    EXPECT_EQ(run.result.records.size(), 2);
    EXPECT_TRUE(run.result.records.first()->isPhotoLibrary);
}

TEST_F(ScannerTest, ExcludedFoldersAreLeftOutUnlessAskedFor)
{
    QTemporaryDir dir;
    writeJpeg(dir.path() + QStringLiteral("/keep.jpg"));
    writeJpeg(dir.path() + QStringLiteral("/Dropbox/skip.jpg"));
    platform::Settings::setTextList(
        SettingsKey::allExclusionPaths, { dir.path() + QStringLiteral("/Dropbox/"), QString() });
    ScanRun run = runScan(request({ dir.path() }));
    waitForDetails(run.result.records);
    EXPECT_EQ(run.recordPaths(), QStringList { dir.path() + QStringLiteral("/keep.jpg") });

    run = runScan(request({ dir.path() + QStringLiteral("/Dropbox") }));
    waitForDetails(run.result.records);
    EXPECT_EQ(run.recordPaths(), QStringList { dir.path() + QStringLiteral("/Dropbox/skip.jpg") });
}

TEST_F(ScannerTest, LinkLoopsPipesAndUnreadableFoldersNeitherHangNorAbort)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    writeJpeg(root + QStringLiteral("/a/photo.jpg"));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/a"), root + QStringLiteral("/a/loop")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/x.jpg"), root + QStringLiteral("/y.jpg")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/y.jpg"), root + QStringLiteral("/x.jpg")));
    ASSERT_EQ(mkfifo(QFile::encodeName(root + QStringLiteral("/pipe.jpg")).constData(), 0600), 0);
    writeJpeg(root + QStringLiteral("/locked/hidden-from-us.jpg"));
    ASSERT_EQ(chmod(QFile::encodeName(root + QStringLiteral("/locked")).constData(), 0), 0);

    const ScanRun run = runScan(request({ root }));
    chmod(QFile::encodeName(root + QStringLiteral("/locked")).constData(), 0700);
    waitForDetails(run.result.records);
    QStringList expected { root + QStringLiteral("/a/photo.jpg") };
    // Permissions do not hold the superuser back.
    if (geteuid() == 0)
        expected << root + QStringLiteral("/locked/hidden-from-us.jpg");
    EXPECT_EQ(sorted(run.recordPaths()), sorted(expected));
    EXPECT_FALSE(run.result.errors.isSomeExtensionsAreNotSupported);
}

TEST_F(ScannerTest, StopConfirmedMidWalkKeepsWhatWasFoundAndTheNextScanStartsClean)
{
    QTemporaryDir dir;
    const QString folder = photoFolder(dir, QStringLiteral("many"), 200);
    testsupport::AlertScript script;
    script.answer(platform::Alert::FirstButton + 1);
    Scanner::setStepObserver([](qint64 processed) {
        if (processed != 10)
            return;
        // What the Stop button does first, at a known point of the walk.
        ScanFlags::shared().setScanPaused(true);
        platform::MainQueue::post([] { ScanVC::shared()->clickedClose(); });
    });

    const ScanRun run = runScan(request({ folder }));
    Scanner::setStepObserver({});
    waitForDetails(run.result.records);
    // At most the operations already past their waiting point went on.
    EXPECT_GE(run.result.records.size(), 10);
    EXPECT_LE(run.result.records.size(), 10 + Scanner::MaxConcurrentOperations);
    EXPECT_EQ(script.shown().size(), 1u);
    EXPECT_EQ(run.statuses.back().percentageProcessing, 1.0);
    EXPECT_EQ(run.statuses.back().countTotalPhotos, run.result.records.size());
    EXPECT_TRUE(ScanFlags::shared().isScanStopped());

    const ScanRun again = runScan(request({ folder }));
    waitForDetails(again.result.records);
    EXPECT_EQ(again.result.records.size(), 200);
    EXPECT_FALSE(ScanFlags::shared().isScanStopped());
}

TEST_F(ScannerTest, PauseHoldsTheWalkUntilTheQuestionIsAnswered)
{
    QTemporaryDir dir;
    const QString folder = photoFolder(dir, QStringLiteral("many"), 200);
    std::atomic<qint64> steps { 0 };
    std::atomic<qint64> stepsWhenPaused { 0 };
    qint64 stepsWhenAnswered = -1;
    const auto previous = platform::Alert::setResponder([&](const platform::Alert &) {
        stepsWhenAnswered = steps.load();
        platform::Alert::Answer answer;
        answer.response = platform::Alert::FirstButton;
        return answer;
    });
    Scanner::setStepObserver([&steps, &stepsWhenPaused](qint64 processed) {
        steps = std::max(steps.load(), processed);
        if (processed == 10) {
            ScanFlags::shared().setScanPaused(true);
            // Other walkers may have gone on while this one was held up
            // before it got here: the pause counts from now.
            stepsWhenPaused = steps.load();
            platform::MainQueue::post([] { ScanVC::shared()->clickedClose(); });
        }
    });

    const ScanRun run = runScan(request({ folder }));
    Scanner::setStepObserver({});
    platform::Alert::setResponder(previous);
    waitForDetails(run.result.records);
    EXPECT_GE(stepsWhenAnswered, 10);
    EXPECT_LE(stepsWhenAnswered, stepsWhenPaused + Scanner::MaxConcurrentOperations);
    EXPECT_EQ(run.result.records.size(), 200);
    EXPECT_FALSE(ScanFlags::shared().isScanPaused());
    EXPECT_FALSE(ScanFlags::shared().isScanStopped());
}

TEST_F(ScannerTest, RunningPhotoApplicationIsAskedAboutBeforeItsLibraryIsRead)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    PhotosLibraryFixture library(
        dir, QStringLiteral("Busy.photoslibrary"), PhotosLibraryFixture::Layout::New);
    library.addNewPhoto(QStringLiteral("A"), QStringLiteral("a.jpg"), QStringLiteral("a.jpg"), 38376);
    library.placeImage(QStringLiteral("images/Reagan.jpg"), QStringLiteral("A/a.jpg"));
    platform::Clock::setManual(true);

    for (const bool quit : { false, true }) {
        platform::PhotosApp::Fake photos { true, 0 };
        platform::PhotosApp::setFake(&photos);
        testsupport::AlertScript script;
        script.answer(quit ? platform::Alert::FirstButton : platform::Alert::FirstButton + 1);
        bool advanced = false;
        const ScanRun run = runScan(request({ library.path() }), [&] {
            // The walk waits its moment on the clock, and for the answer.
            if (!advanced && platform::Clock::pendingCount() > 0) {
                platform::Clock::advance(Scanner::AskToQuitPhotosWaitMs);
                advanced = true;
            }
        });
        waitForDetails(run.result.records);
        EXPECT_TRUE(advanced);
        EXPECT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(run.result.records.size(), quit ? 1 : 0);
        EXPECT_EQ(photos.terminateRequests, quit ? 1 : 0);
        EXPECT_FALSE(ScanFlags::shared().isAskingToQuitPhotos());
        EXPECT_FALSE(ScanFlags::shared().isSkipPhotosLibrary);
        platform::PhotosApp::setFake(nullptr);
    }
    platform::Clock::setManual(false);
}
