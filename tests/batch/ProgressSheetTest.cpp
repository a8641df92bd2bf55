// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchScreensFixture.h"

#include "batch/BatchFlags.h"
#include "batch/ProgressViewController.h"
#include "batch/ResultViewController.h"
#include "platform/widgets/Presenter.h"
#include "support/AlertScript.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QThreadPool>
#include <QTreeWidget>

#include <functional>

#include <sched.h>

namespace {

// Runs fn on the GUI thread and waits for it, from the batch's thread.
void onGui(std::function<void()> fn)
{
    QMetaObject::invokeMethod(qApp, std::move(fn), Qt::BlockingQueuedConnection);
}

// The process as a machine of one processor runs it: Qt's global pool,
// whose threads Qt's own image scaling and conversion hand their parts to,
// has one thread, as Qt makes it there, and this thread and the threads it
// makes from now on run on one processor. Both come back at the end, which
// also frees a batch that waits for that pool's thread.
class OneProcessor
{
public:
    OneProcessor()
        : m_poolThreads(QThreadPool::globalInstance()->maxThreadCount())
    {
        sched_getaffinity(0, sizeof m_processors, &m_processors);
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
            if (CPU_ISSET(cpu, &m_processors)) {
                CPU_SET(cpu, &one);
                break;
            }
        }
        sched_setaffinity(0, sizeof one, &one);
        QThreadPool::globalInstance()->setMaxThreadCount(1);
    }
    ~OneProcessor()
    {
        QThreadPool::globalInstance()->setMaxThreadCount(m_poolThreads);
        sched_setaffinity(0, sizeof m_processors, &m_processors);
    }
    OneProcessor(const OneProcessor &) = delete;
    OneProcessor &operator=(const OneProcessor &) = delete;

private:
    int m_poolThreads;
    cpu_set_t m_processors;
};

class ProgressSheet : public BatchScreens
{
protected:
    void SetUp() override
    {
        BatchScreens::SetUp();
        sheet = ProgressViewController::shared();
    }

    // Files that are no images: the batch goes through them quickly, and
    // each fails in the bridge.
    void addFiles(int count)
    {
        for (int i = 0; i < count; ++i)
            addRecord(writeSource(QStringLiteral("f%1.jpg").arg(i), QByteArrayLiteral("x")), nullptr);
    }

    // What the result lists for the first count of those files: one byte
    // is too short for the library to tell what it is.
    QList<FailedPhoto> notImages(int count) const
    {
        QList<FailedPhoto> failures;
        for (int i = 0; i < count; ++i) {
            const QString path = sources.filePath(QStringLiteral("f%1.jpg").arg(i));
            failures.append({ path, QStringLiteral("Failed to read input data") });
        }
        return failures;
    }

    void start(bool inPlace = true)
    {
        Metadata edited;
        edited.setArtist(QStringLiteral("Ada"));
        edited.setArtistEdited(true);
        sheet->startProcess(EditingOptions::onlyModify, edited, FileInfo(), {},
            inPlace ? std::nullopt : std::optional(QUrl::fromLocalFile(destination.path())), inPlace);
    }

    // Waits until the batch has stored its result; batches counts the
    // batches ended so far.
    void finish(QSignalSpy &finished, int batches = 1)
    {
        ASSERT_TRUE(finished.count() >= batches || finished.wait(60000)) << "the batch never ended";
        EXPECT_FALSE(BatchFlags::shared().isProcessRunning);
    }

    ProgressViewController *sheet = nullptr;
    testsupport::ConsoleCapture console;
};

TEST_F(ProgressSheet, ShowsEachFileAndThePercentageOfThoseBefore)
{
    addFiles(4);
    // One file at a time: the sheet is read between files.
    sheet->setWorkers(1);
    QStringList completed, processed, paths;
    sheet->setBeforeFileHook([&](qint64 index) {
        if (index > 0)
            onGui([&] {
                completed << sheet->lblValueProcessCompleted->text();
                processed << sheet->lblValuePhotosProcessed->text();
                paths << sheet->lblPath->text();
            });
    });
    QSignalSpy finished(sheet, &ProgressViewController::processFinished);
    start();
    finish(finished);

    EXPECT_EQ(sheet->lblProgress->text(), text("QX_ID_47"));
    EXPECT_EQ(sheet->lblTotalSelectedPhotos->text(), text("QX_ID_48") + QLatin1Char(':'));
    EXPECT_EQ(sheet->btnStop->text(), text("QX_ID_51"));
    EXPECT_EQ(sheet->lblValueTotalSelectedPhotos->text(), QStringLiteral("4"));
    EXPECT_EQ(completed,
        (QStringList { QStringLiteral("0.0 %"), QStringLiteral("25.0 %"), QStringLiteral("50.0 %") }));
    EXPECT_EQ(sheet->lblValueProcessCompleted->text(), QStringLiteral("75.0 %")) << "100 is never shown";
    EXPECT_EQ(sheet->progressIndicator->value(), 75);
    EXPECT_EQ(processed, (QStringList { QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2") }));
    EXPECT_EQ(paths.first(), displayedFiles().at(0)->path());
    EXPECT_EQ(sheet->lblValueTimeElapsed->text(), QStringLiteral("00:00:01"));

    ASSERT_TRUE(batchResult());
    EXPECT_EQ(batchResult()->failedPhotos, notImages(4)) << "each file fails for being no image";
    EXPECT_EQ(*batchResult(), (Result { 4, 4, 1.0, 0, 0, std::nullopt, true, notImages(4), {} }));
}

// On one processor the batch's workers still get the thumbnails they make
// on the way scaled, and the batch ends, as copies and in place.
TEST_F(ProgressSheet, ABatchOfPhotosEndsOnOneProcessor)
{
    const OneProcessor one;
    // Photos of a camera's size, which Qt decodes at an eighth of their
    // side and then scales in parts.
    QImage picture(4000, 3000, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 160));
    const QString first = sources.filePath(QStringLiteral("p0.jpg"));
    ASSERT_TRUE(picture.save(first));
    constexpr int count = 12;
    for (int i = 0; i < count; ++i) {
        const QString path = sources.filePath(QStringLiteral("p%1.jpg").arg(i));
        ASSERT_TRUE(i == 0 || QFile::copy(first, path));
        addRecord(path, std::make_shared<Metadata>(Metadata::fromFile(path)));
    }
    // Each file is claimed as the time for its thumbnail comes.
    sheet->setBeforeFileHook(
        [](qint64) { onGui([] { platform::Clock::advance(BatchRun::ThumbnailIntervalMs); }); });
    QSignalSpy finished(sheet, &ProgressViewController::processFinished);
    start(false);
    ASSERT_TRUE(finished.wait(60000)) << "the batch into copies never ended";
    EXPECT_EQ(batchResult()->totalEditedPhotos, count);
    EXPECT_EQ(QDir(destination.path()).entryList(QDir::Files).size(), count);
    start(true);
    ASSERT_TRUE(finished.count() == 2 || finished.wait(60000)) << "the batch in place never ended";
    EXPECT_EQ(batchResult()->totalEditedPhotos, count);
    EXPECT_TRUE(batchResult()->failedPhotos.isEmpty());
}

TEST_F(ProgressSheet, TheSheetClosesAndASecondLaterTheResultPageShows)
{
    addFiles(1);
    QWidget host;
    std::vector<std::pair<platform::Presenter::Event, QWidget *>> shown;
    const auto previous = platform::Presenter::setRecorder(
        [&](platform::Presenter::Event event, QWidget *content) { shown.emplace_back(event, content); });
    sheet->present(&host);
    QSignalSpy finished(sheet, &ProgressViewController::processFinished);
    start(false);
    finish(finished);
    platform::Presenter::setRecorder(previous);

    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], std::pair(platform::Presenter::Event::Sheet, static_cast<QWidget *>(sheet)));
    EXPECT_EQ(shown[1], std::pair(platform::Presenter::Event::Dismissed, static_cast<QWidget *>(sheet)));
    EXPECT_EQ(sheet->size(), ProgressViewController::SheetSize);
    EXPECT_EQ(batchResult()->destinationURL, QUrl::fromLocalFile(destination.path()));
    EXPECT_FALSE(batchResult()->isKeepSourceFolderPath);

    platform::Clock::advance(ProgressViewController::ShowResultDelayMs - 1);
    EXPECT_TRUE(pages.isEmpty());
    platform::Clock::advance(1);
    EXPECT_EQ(pages, QList<ContainerPage> { ContainerPage::result });
    EXPECT_EQ(ResultViewController::shared()->lblValuePhotosSelected->text(), QStringLiteral("1"))
        << "the result page shows this batch";
}

// The elapsed time starts at one second and grows by one per tick of the
// one-second timer while the batch runs, and not after it.
TEST_F(ProgressSheet, TheElapsedTimeCountsTimerTicksWhileTheBatchRuns)
{
    addFiles(3);
    sheet->setWorkers(1);
    QStringList elapsed;
    sheet->setBeforeFileHook([&](qint64 index) {
        onGui([&, index] {
            elapsed << sheet->lblValueTimeElapsed->text();
            EXPECT_TRUE(sheet->isTimerRunning());
            platform::Clock::advance(1000 * (index + 1));
        });
    });
    QSignalSpy finished(sheet, &ProgressViewController::processFinished);
    start();
    finish(finished);

    EXPECT_EQ(elapsed,
        (QStringList { QStringLiteral("approx"), QStringLiteral("00:00:02"), QStringLiteral("00:00:04") }));
    EXPECT_EQ(sheet->timeElapsedInSeconds(), 7.0);
    EXPECT_EQ(batchResult()->timeElapsedInSeconds, 7.0);
    EXPECT_FALSE(sheet->isTimerRunning());
    platform::Clock::advance(5000);
    EXPECT_EQ(sheet->timeElapsedInSeconds(), 7.0);
}

TEST_F(ProgressSheet, AConfirmedStopFinishesTheFileInWorkAndSkipsTheRest)
{
    addFiles(10);
    testsupport::AlertScript alerts;
    alerts.answer(platform::Alert::FirstButton + 1);
    qint64 lastStarted = -1;
    sheet->setBeforeFileHook([&](qint64 index) {
        lastStarted = index;
        if (index == 2)
            onGui([&] { sheet->clickedStop(); });
    });
    QSignalSpy finished(sheet, &ProgressViewController::processFinished);
    start();
    finish(finished);

    ASSERT_EQ(alerts.shown().size(), 1u);
    EXPECT_EQ(alerts.shown()[0].message, text("QX_ID_245"));
    EXPECT_EQ(alerts.shown()[0].informative, text("QX_ID_246"));
    EXPECT_EQ(alerts.shown()[0].buttons, (QStringList { text("QX_ID_200"), text("QX_ID_199") }));
    EXPECT_EQ(lastStarted, 2);
    EXPECT_EQ(*batchResult(), (Result { 3, 10, 1.0, 0, 7, std::nullopt, true, notImages(3), {} }));
    EXPECT_TRUE(QFile::exists(sources.filePath(QStringLiteral("f9.jpg"))));
}

TEST_F(ProgressSheet, ADeclinedStopGoesOnAndTheTimeStandsStillMeanwhile)
{
    addFiles(3);
    testsupport::AlertScript alerts;
    alerts.answer(platform::Alert::FirstButton);
    bool pausedWhileAsking = false;
    sheet->setBeforeFileHook([&](qint64 index) {
        if (index == 1) {
            onGui([&] {
                sheet->clickedStop();
                pausedWhileAsking = BatchFlags::shared().isProcessPaused() && !sheet->isTimerRunning();
                platform::Clock::advance(5000); // the question is open
            });
        }
        if (index == 2)
            onGui([&] { platform::Clock::advance(2000); });
    });
    QSignalSpy finished(sheet, &ProgressViewController::processFinished);
    start();
    finish(finished);

    EXPECT_TRUE(pausedWhileAsking);
    EXPECT_FALSE(BatchFlags::shared().isProcessPaused());
    EXPECT_EQ(*batchResult(), (Result { 3, 3, 3.0, 0, 0, std::nullopt, true, notImages(3), {} }));
}

TEST_F(ProgressSheet, FilesWithoutAPathAreSkippedAndASecondStartIsIgnored)
{
    addRecord(QString(), std::make_shared<Metadata>());
    addRecord(QString(), nullptr);
    QSignalSpy finished(sheet, &ProgressViewController::processFinished);
    start();
    EXPECT_TRUE(BatchFlags::shared().isProcessRunning);
    start(); // ignored while the first runs
    finish(finished);
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(*batchResult(), (Result { 0, 2, 1.0, 0, 2, std::nullopt, true, {}, {} }));
    EXPECT_EQ(sheet->lblValueProcessCompleted->text(), QStringLiteral("0 %"));
    EXPECT_EQ(sheet->lblValueTimeElapsed->text(), QStringLiteral("approx"));

    // A later batch starts afresh.
    displayedFiles().clear();
    start();
    finish(finished, 2);
    EXPECT_EQ(finished.count(), 2);
    EXPECT_EQ(*batchResult(), (Result { 0, 0, 1.0, 0, 0, std::nullopt, true, {}, {} }));
}

// A batch whose values do not all reach every file never reads as done: the
// result page lists each such photo once, with every value it lacks by the
// editing form's name, and why; the photos that got everything are not
// listed, and Copy List carries the same.
TEST_F(ProgressSheet, TheResultPageListsThePhotosThatDidNotGetEveryValueAsked)
{
    REQUIRE_TEST_DATA();
    const QString webp = addImage(QStringLiteral("exiv2-bug1199.webp"))->path();
    const QString unreadableXmp = addImage(QStringLiteral("ReaganLargeJpg.jpg"))->path();
    addImage(QStringLiteral("exiv2-canon-eos-20d.jpg"));
    Metadata edited;
    edited.setArtist(QStringLiteral("Ada"));
    edited.setArtistEdited(true);
    edited.setCopyrightNotice(QStringLiteral("Ada Lovelace"));
    edited.setCopyrightNoticeEdited(true);
    QSignalSpy finished(sheet, &ProgressViewController::processFinished);
    sheet->startProcess(EditingOptions::onlyModify, edited, FileInfo(), {}, std::nullopt, true);
    finish(finished);
    platform::Clock::advance(ProgressViewController::ShowResultDelayMs);

    const QString webpLine
        = text("QX_ID_120") + QStringLiteral(" not written: WebP files have no place for IPTC values");
    const QString xmpLine = text("QX_ID_75") + QStringLiteral(" and ") + text("QX_ID_120")
        + QStringLiteral(" not copied into the XMP: the file's XMP cannot be read");
    ResultViewController *screen = ResultViewController::shared();
    EXPECT_EQ(batchResult()->totalEditedPhotos, 3) << "the photos still count as edited";
    EXPECT_EQ(screen->lblBatchProcess->text(),
        QStringLiteral("2 ") + text("QX_ID_250") + QLatin1Char(' ') + text("QX_ID_293"));
    EXPECT_EQ(screen->lblValuePhotosIncomplete->text(), QStringLiteral("2"));
    ASSERT_EQ(screen->listFailedPhotos->topLevelItemCount(), 2);
    EXPECT_EQ(screen->listFailedPhotos->topLevelItem(0)->text(0), webp);
    EXPECT_EQ(screen->listFailedPhotos->topLevelItem(0)->text(1), webpLine);
    EXPECT_EQ(screen->listFailedPhotos->topLevelItem(1)->text(0), unreadableXmp);
    EXPECT_EQ(screen->listFailedPhotos->topLevelItem(1)->text(1), xmpLine);
    screen->btnCopyFailedPhotos->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
        webp + QLatin1Char('\t') + webpLine + QLatin1Char('\n') + unreadableXmp + QLatin1Char('\t') + xmpLine
            + QLatin1Char('\n'));

    // A text longer than its dataset holds is written cut, and told so, in
    // one row with what else the photo lacks.
    displayedFiles().clear();
    const QString cut = addImage(QStringLiteral("IPTC.jpg"))->path();
    addImage(QStringLiteral("exiv2-bug1199.webp"));
    edited.setHeadline(QString(300, u'h'));
    edited.setHeadlineEdited(true);
    sheet->startProcess(EditingOptions::onlyModify, edited, FileInfo(), {}, std::nullopt, true);
    finish(finished, 2);
    platform::Clock::advance(ProgressViewController::ShowResultDelayMs);
    ASSERT_EQ(screen->listFailedPhotos->topLevelItemCount(), 2);
    EXPECT_EQ(screen->listFailedPhotos->topLevelItem(0)->text(0), cut);
    EXPECT_EQ(screen->listFailedPhotos->topLevelItem(0)->text(1),
        text("QX_ID_122") + QStringLiteral(" cut to 256 bytes, the most its dataset holds"));
    EXPECT_EQ(screen->listFailedPhotos->topLevelItem(1)->text(1),
        text("QX_ID_120") + QStringLiteral(" and ") + text("QX_ID_122")
            + QStringLiteral(" not written: WebP files have no place for IPTC values"));
}

} // namespace
