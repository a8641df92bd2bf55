// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchScreensFixture.h"

#include "batch/BatchRun.h"
#include "common/AppSettings.h"
#include "engine/FileReplace.h"
#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "platform/Calendar.h"
#include "platform/Clock.h"
#include "platform/FileOps.h"
#include "platform/FileWalk.h"
#include "platform/Settings.h"
#include "platform/XmpToolkit.h"
#include "support/CameraSamples.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <exiv2/exiv2.hpp>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

// (Reagan.jpg, whose Exif holds what a write of a JPEG drops, a write
// leaves as it was.)
const QStringList images { QStringLiteral("Pentax.jpg"), QStringLiteral("FurnaceCreekInn.jpg"),
    QStringLiteral("ReaganSmallPng.png") };

// The XMP properties the library reads from the file; -1 when it cannot.
long xmpPropertyCount(const QString &path)
{
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        platform::XmpToolkit::readMetadata(*image);
        return image->xmpData().count();
    } catch (const Exiv2::AnyError &) {
        return -1;
    }
}

class BatchRunTest : public BatchScreens
{
protected:
    // Artist set to Ada and nothing else edited.
    static Metadata artistAda()
    {
        Metadata edited;
        edited.setArtist(QStringLiteral("Ada"));
        edited.setArtistEdited(true);
        return edited;
    }

    BatchCounts run(EditingOptions option, const Metadata &edited, const std::optional<QUrl> &destinationURL,
        bool isKeepSourceFolderPath, const CleanMetadata &clean = {}, int workers = BatchRun::DefaultWorkers,
        std::function<void(qint64)> beforeFile = {})
    {
        BatchRun batch(
            BatchRequest::take(option, edited, clean, destinationURL, isKeepSourceFolderPath), workers);
        BatchEvents events;
        events.fileStarted = [this](qint64 index, const QString &path) {
            shownPaths << QString::number(index) + QLatin1Char(' ') + path;
        };
        events.thumbnailMade = [this](qint64 index, const QImage &thumbnail) {
            std::lock_guard lock(thumbnailsMutex);
            thumbnails.insert(index, thumbnail);
        };
        events.progressed = [this](double percent) { percents << percent; };
        events.beforeFile = std::move(beforeFile);
        return batch.run(control, events);
    }

    QStringList destinationEntries() const
    {
        return QDir(destination.path()).entryList(QDir::Files, QDir::Name);
    }

    static QDateTime modified(const QString &path)
    {
        // The file system's point in time on the user's clock.
        const auto attributes = platform::FileOps::attributes(path);
        return attributes ? platform::Calendar::wallClock(attributes->modified) : QDateTime();
    }

    platform::WalkControl control;
    QStringList shownPaths;
    std::mutex thumbnailsMutex;
    QMap<qint64, QImage> thumbnails;
    QList<double> percents;
    testsupport::ConsoleCapture console;
};

TEST_F(BatchRunTest, TakesTheMarkedDisplayedFilesInOrderWithRulesOfItsOwn)
{
    addRecord(sources.filePath(QStringLiteral("a.jpg")), nullptr);
    addRecord(sources.filePath(QStringLiteral("unmarked.jpg")), nullptr, false);
    addRecord(QString(), std::make_shared<Metadata>());
    auto dated = std::make_shared<Metadata>();
    dated->setModifyDate(at(2020, 2, 3, 4, 5, 6));
    dated->setCity(QStringLiteral("Oslo"));
    const auto b = addRecord(sources.filePath(QStringLiteral("b.jpg")), dated);
    b->isPhotoLibrary = true;
    b->width = QStringLiteral("40");
    b->height = QStringLiteral("30");
    // Loaded but hidden by the search: not displayed, never processed.
    allFiles().append(std::make_shared<FileInfo>());
    allFiles().last()->isMark = true;

    Metadata edited = artistAda();
    edited.setCity(QStringLiteral("Rome")); // the form's record, not edited
    const BatchRequest request
        = BatchRequest::take(EditingOptions::emptyOthers, edited, {}, std::nullopt, true);

    ASSERT_EQ(request.files.size(), 3);
    EXPECT_EQ(request.files[0].path, sources.filePath(QStringLiteral("a.jpg")));
    EXPECT_FALSE(request.files[0].dates) << "metadata not read yet";
    EXPECT_FALSE(request.files[1].path);
    EXPECT_TRUE(request.files[2].isPhotoLibrary);
    ASSERT_TRUE(request.files[2].dates);
    EXPECT_EQ((*request.files[2].dates)[std::size_t(DateRule::modifyDate)], at(2020, 2, 3, 4, 5, 6));
    // Each file's name comes from its own values.
    EXPECT_EQ(request.files[2].names.modifyDate, at(2020, 2, 3, 4, 5, 6));
    EXPECT_EQ(request.files[2].names.city, QStringLiteral("Oslo"));
    EXPECT_EQ(request.files[2].names.width, QStringLiteral("40"));
    EXPECT_FALSE(request.files[0].names.city);
    EXPECT_EQ(request.rule, Rename()) << "nothing stored: the default rule";
    EXPECT_TRUE(request.isEditSystemAttributeDate);

    // The form may go on changing its rules: the batch keeps what it took.
    edited.dateTimeModifyDate()->isEmptyValue = true;
    EXPECT_NE(request.metadata.dateTimeModifyDate(), edited.dateTimeModifyDate());
    EXPECT_FALSE(request.metadata.dateTimeModifyDate()->isEmptyValue);
}

TEST_F(BatchRunTest, OnlyModifyInPlaceWritesTheEditedValueAndKeepsTheOthers)
{
    REQUIRE_TEST_DATA();
    QList<std::shared_ptr<FileInfo>> files;
    for (const QString &name : images)
        files << addImage(name);

    // The sheet shows a thumbnail at most every ThumbnailIntervalMs.
    const auto later = [](qint64 index) {
        if (index == 2)
            platform::Clock::advance(BatchRun::ThumbnailIntervalMs);
    };
    const BatchCounts counts = run(
        EditingOptions::onlyModify, artistAda(), std::nullopt, true, {}, BatchRun::DefaultWorkers, later);

    EXPECT_EQ(counts.total, 3);
    EXPECT_EQ(counts.processed, 3);
    EXPECT_EQ(counts.edited, 3);
    for (const auto &file : files) {
        const Metadata written = Metadata::fromFile(file->path());
        EXPECT_EQ(written.artist(), QStringLiteral("Ada")) << file->path().toStdString();
        EXPECT_EQ(written.make(), file->metadata->make()) << "the other values stay";
    }
    EXPECT_EQ(shownPaths,
        (QStringList { QStringLiteral("0 ") + files[0]->path(), QStringLiteral("1 ") + files[1]->path(),
            QStringLiteral("2 ") + files[2]->path() }));
    EXPECT_EQ(thumbnails.keys(), (QList<qint64> { 0, 2 }));
    for (const QImage &thumbnail : thumbnails) {
        EXPECT_FALSE(thumbnail.isNull());
        EXPECT_LE(std::max(thumbnail.width(), thumbnail.height()), 100);
    }
    EXPECT_EQ(percents, (QList<double> { 0.0, 1.0 / 3 * 100, 2.0 / 3 * 100 }));
    EXPECT_TRUE(destinationEntries().isEmpty());
}

TEST_F(BatchRunTest, EmptyOthersIntoRenamedCopiesLeavesTheSourcesAlone)
{
    REQUIRE_TEST_DATA();
    QList<std::shared_ptr<FileInfo>> files;
    QList<QByteArray> originals;
    for (const QString &name : images) {
        files << addImage(name);
        originals << bytesOf(files.last()->path());
    }
    // Two files of one name from different folders.
    QDir(sources.path()).mkdir(QStringLiteral("other"));
    const QString twin = sources.filePath(QStringLiteral("other/Pentax.jpg"));
    ASSERT_TRUE(QFile::copy(files[0]->path(), twin));
    addRecord(twin, std::make_shared<Metadata>(Metadata::fromFile(twin)));
    Rename rule;
    rule.isKeepOriginalFileName = false;
    rule.isEditOriginalFileName = true;
    rule.isAddText = true;
    rule.prefixAddText = QStringLiteral("Trip");
    saveRenameSettings(rule);

    const BatchCounts counts
        = run(EditingOptions::emptyOthers, artistAda(), QUrl::fromLocalFile(destination.path()), false);

    EXPECT_EQ(counts.processed, 4);
    EXPECT_EQ(counts.edited, 4);
    EXPECT_EQ(destinationEntries(),
        (QStringList { QStringLiteral("Trip_FurnaceCreekInn.jpg"), QStringLiteral("Trip_Pentax (1).jpg"),
            QStringLiteral("Trip_Pentax.jpg"), QStringLiteral("Trip_ReaganSmallPng.png") }));
    for (int i = 0; i < files.size(); ++i)
        EXPECT_EQ(bytesOf(files[i]->path()), originals[i]) << "only the copies are written";
    const Metadata copy = Metadata::fromFile(destination.filePath(QStringLiteral("Trip_Pentax.jpg")));
    EXPECT_EQ(copy.artist(), QStringLiteral("Ada"));
    EXPECT_FALSE(copy.make()) << "the others are emptied";
    EXPECT_EQ(shownPaths.first(), QStringLiteral("0 ") + files[0]->path()) << "the file's own path is shown";
}

TEST_F(BatchRunTest, CleaningRemovesTheChosenGroupsFromTheCopiesOnly)
{
    REQUIRE_TEST_DATA();
    const auto file = addImage(QStringLiteral("FurnaceCreekInn.jpg"));
    ASSERT_TRUE(file->metadata->gpsLatitude());
    ASSERT_TRUE(file->metadata->city() || file->metadata->byLine() || file->metadata->headline()
        || !MetadataOperation().getMetadata(file->path())->isEmpty());
    CleanMetadata clean;
    clean.gps = true;
    clean.iptc = true;

    const BatchCounts counts = run(
        EditingOptions::cleanMetadata, artistAda(), QUrl::fromLocalFile(destination.path()), false, clean);

    EXPECT_EQ(counts.edited, 1);
    const auto copied
        = MetadataOperation().getMetadata(destination.filePath(QStringLiteral("FurnaceCreekInn.jpg")));
    ASSERT_TRUE(copied);
    for (auto it = copied->cbegin(); it != copied->cend(); ++it) {
        EXPECT_FALSE(it.key().startsWith(QLatin1String("Exif.GPSInfo.GPSLatitude")))
            << it.key().toStdString();
        EXPECT_FALSE(it.key().startsWith(QLatin1String("Iptc."))) << it.key().toStdString();
    }
    EXPECT_TRUE(copied->contains(QStringLiteral("Exif.Image.Make"))) << "Exif stays";
    EXPECT_FALSE(Metadata::fromFile(destination.filePath(QStringLiteral("FurnaceCreekInn.jpg"))).artist())
        << "a clean writes no values";
    EXPECT_TRUE(Metadata::fromFile(file->path()).gpsLatitude()) << "the source keeps everything";
}

// With only the edited values to write and nothing edited, nothing is
// written: each copy is its source's bytes, and in place no file is
// replaced or touched; every photo counts as done.
TEST_F(BatchRunTest, NothingEditedLeavesEveryFileAsItIs)
{
    REQUIRE_TEST_DATA();
    const QStringList names { QStringLiteral("exiv2-bug1199.webp"), QStringLiteral("1343_comment.png"),
        QStringLiteral("ReaganLargeJpg.jpg"), QStringLiteral("Reagan.tiff") };
    for (const QString &name : names)
        addImage(name);
    BatchCounts counts
        = run(EditingOptions::onlyModify, Metadata(), QUrl::fromLocalFile(destination.path()), false);
    EXPECT_EQ(counts, (BatchCounts { 4, 4, 4, {}, {} }));
    EXPECT_EQ(destinationEntries().size(), names.size());
    for (const QString &name : names)
        EXPECT_TRUE(bytesOf(destination.filePath(name)) == bytesOf(sources.filePath(name)))
            << name.toStdString();

    const auto identity = [](const QString &path) {
        struct stat st = {};
        ::stat(QFile::encodeName(path).constData(), &st);
        return std::tuple(st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    };
    std::vector<std::tuple<ino_t, time_t, long>> before;
    for (const QString &name : names)
        before.push_back(identity(sources.filePath(name)));
    counts = run(EditingOptions::onlyModify, Metadata(), std::nullopt, true);
    EXPECT_EQ(counts.edited, 4);
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(identity(sources.filePath(names[i])), before[std::size_t(i)]) << names[i].toStdString();
}

// The file's modification date follows the edited modify-date rule from
// the file's own date, after a successful write only; the setting turns
// the step off.
TEST_F(BatchRunTest, TheModificationDateFollowsTheEditedRule)
{
    REQUIRE_TEST_DATA();
    const auto image = addImage(QStringLiteral("Pentax.jpg"));
    const QString notAnImage = writeSource(QStringLiteral("notes.jpg"), QByteArrayLiteral("no picture here"));
    addRecord(notAnImage, nullptr);
    Metadata edited;
    edited.setModifyDateEdited(true);
    edited.setDateTimeModifyDate(rule([](DateTime &r) {
        r.isIDOriginalDate = true;
        r.dayIDOriginalDate = 1;
    }));

    BatchCounts counts = run(EditingOptions::onlyModify, edited, std::nullopt, true);
    EXPECT_EQ(counts.processed, 2);
    EXPECT_EQ(counts.edited, 1) << "the file that is no image fails";
    const QDateTime expected = image->metadata->modifyDate()->addDays(1);
    EXPECT_EQ(modified(image->path()), expected);
    EXPECT_EQ(Metadata::fromFile(image->path()).modifyDate(), expected);

    // A write that failed leaves the file's date as it was.
    const QDateTime untouched = modified(notAnImage);
    edited.setDateTimeModifyDate(rule([](DateTime &r) {
        r.isSelectDate = true;
        r.selectDate = at(2011, 6, 7, 8, 9, 10);
    }));
    counts = run(EditingOptions::onlyModify, edited, std::nullopt, true);
    EXPECT_EQ(modified(image->path()), at(2011, 6, 7, 8, 9, 10));
    EXPECT_EQ(modified(notAnImage), untouched);
    EXPECT_EQ(bytesOf(notAnImage), QByteArrayLiteral("no picture here"));

    platform::Settings::setBool(SettingsKey::isEditSystemAttributeDate, false);
    edited.dateTimeModifyDate()->selectDate = at(2012, 1, 1);
    run(EditingOptions::onlyModify, edited, std::nullopt, true);
    EXPECT_NE(modified(image->path()), at(2012, 1, 1)) << "the setting is off";
}

TEST_F(BatchRunTest, FailuresArePrintedAndStillCountAsProcessed)
{
    REQUIRE_TEST_DATA();
    addRecord(QString(), std::make_shared<Metadata>()); // no file: skipped, not counted
    const auto gone = addImage(QStringLiteral("Pentax.jpg"));
    ASSERT_TRUE(QFile::remove(gone->path()));
    const auto library = addImage(QStringLiteral("FurnaceCreekInn.jpg"));
    library->isPhotoLibrary = true;
    const QByteArray libraryBytes = bytesOf(library->path());

    // In place: the missing file fails in the bridge; a library's photo is
    // never changed in place.
    BatchCounts counts = run(EditingOptions::onlyModify, artistAda(), std::nullopt, true);
    EXPECT_EQ(counts.total, 3);
    EXPECT_EQ(counts.processed, 2);
    EXPECT_EQ(counts.edited, 0);
    EXPECT_EQ(bytesOf(library->path()), libraryBytes);
    EXPECT_FALSE(QFile::exists(gone->path())) << "nothing is created for a missing file";
    EXPECT_EQ(shownPaths.size(), 2) << "a file without a path is not shown";
    EXPECT_EQ(percents, (QList<double> { 1.0 / 3 * 100, 2.0 / 3 * 100 }))
        << "positions count the skipped file";

    // Into copies: the library's photo is copied and written; the missing
    // file has nothing to copy.
    counts = run(EditingOptions::onlyModify, artistAda(), QUrl::fromLocalFile(destination.path()), false);
    EXPECT_EQ(counts.processed, 2);
    EXPECT_EQ(counts.edited, 1);
    EXPECT_EQ(destinationEntries(), QStringList { QStringLiteral("FurnaceCreekInn.jpg") });

    // A destination that is no folder: nothing is written anywhere.
    const QString notAFolder = writeSource(QStringLiteral("plain"), QByteArrayLiteral("x"));
    counts = run(EditingOptions::onlyModify, artistAda(), QUrl::fromLocalFile(notAFolder), false);
    EXPECT_EQ(counts.processed, 2);
    EXPECT_EQ(counts.edited, 0);
    EXPECT_EQ(bytesOf(library->path()), libraryBytes);

    int reports = 0;
    for (const QString &line : console.lines())
        reports += line.contains(gone->path()) || line.contains(library->path())
            || line.startsWith(QLatin1String("***"));
    EXPECT_GE(reports, 5);
    // Each failed file is listed with its reason, for the result screen.
    ASSERT_EQ(counts.failures.size(), 2);
    EXPECT_EQ(counts.failures[0].path, gone->path());
    EXPECT_EQ(counts.failures[1].path, library->path());
    for (const FailedPhoto &failure : counts.failures)
        EXPECT_TRUE(failure.reason.contains(notAFolder)) << failure.reason.toStdString();
}

// A copy is written under a hidden temporary name and takes its name only
// when it is complete: a write that fails between the copy and its end
// leaves nothing behind. Every copy goes to the folder as it was when the
// batch started, even when a link takes its place meanwhile.
TEST_F(BatchRunTest, CopiesAreNamedOnlyWhenCompleteAndStayInTheFolderOpenedAtTheStart)
{
    REQUIRE_TEST_DATA();
    QList<std::shared_ptr<FileInfo>> files;
    for (const QString &name : images)
        files << addImage(name);
    QTemporaryDir elsewhere;
    const QString moved = destination.path() + QStringLiteral("-moved");
    // What had a name in the folder each time a copy was about to be
    // written; the second write fails there.
    QStringList namedWhileWriting;
    engine::setReplaceFaultHook([&](engine::ReplaceStep step, const QString &) {
        if (step != engine::ReplaceStep::BeforeRename)
            return true;
        const QDir folder(QFileInfo::exists(moved) ? moved : destination.path());
        namedWhileWriting
            << folder.entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression("^[^.]")).join(',');
        return namedWhileWriting.size() != 2;
    });
    const auto swap = [&](qint64 index) {
        if (index != 1)
            return;
        ASSERT_TRUE(QDir().rename(destination.path(), moved));
        ASSERT_TRUE(QFile::link(elsewhere.path(), destination.path()));
    };

    // One file at a time, so that the second write is the second file's.
    BatchRun batch(BatchRequest::take(EditingOptions::onlyModify, artistAda(), {},
                       QUrl::fromLocalFile(destination.path()), false),
        1);
    BatchEvents events;
    events.beforeFile = swap;
    const BatchCounts counts = batch.run(control, events);
    engine::setReplaceFaultHook({});

    EXPECT_EQ(counts.edited, 2);
    ASSERT_EQ(counts.failures.size(), 1);
    EXPECT_EQ(counts.failures[0].path, files[1]->path());
    EXPECT_FALSE(counts.failures[0].reason.isEmpty());
    EXPECT_EQ(namedWhileWriting,
        (QStringList { QString(), QStringLiteral("Pentax.jpg"), QStringLiteral("Pentax.jpg") }))
        << "only finished copies have names";
    EXPECT_EQ(QDir(moved).entryList(QDir::Files | QDir::Hidden, QDir::Name),
        (QStringList { QStringLiteral("Pentax.jpg"), QStringLiteral("ReaganSmallPng.png") }));
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(
        Metadata::fromFile(moved + QStringLiteral("/ReaganSmallPng.png")).artist(), QStringLiteral("Ada"));
    QFile::remove(destination.path());
    QDir(moved).removeRecursively();
}

// Several workers give exactly what one gives: the same copies under the
// same names and counters, the same bytes and dates in them, the same
// failures and figures, reported in batch order; in place and clean too.
TEST_F(BatchRunTest, SeveralWorkersGiveExactlyWhatOneGives)
{
    REQUIRE_TEST_DATA();
    const QStringList names { QStringLiteral("Pentax.jpg"), QStringLiteral("FurnaceCreekInn.jpg"),
        QStringLiteral("ReaganSmallPng.png"), QStringLiteral("Google.jpg"), QStringLiteral("IPTC.jpg"),
        QStringLiteral("MWG.jpg") };
    for (const QString &name : names)
        addImage(name);
    addRecord(writeSource(QStringLiteral("notes.jpg"), QByteArrayLiteral("no picture here")), nullptr);
    addRecord(QString(), nullptr);
    // The same names again, from another folder.
    QDir(sources.path()).mkdir(QStringLiteral("again"));
    for (const QString &name : names) {
        const QString twin = sources.filePath(QStringLiteral("again/") + name);
        ASSERT_TRUE(QFile::copy(sources.filePath(name), twin));
        addRecord(twin, std::make_shared<Metadata>(Metadata::fromFile(twin)));
    }
    Rename rule;
    rule.isKeepOriginalFileName = false;
    rule.isEditOriginalFileName = true;
    rule.isAddCounter = true;
    rule.prefixAddCounter = 1;
    rule.minNumberOfDigitsAddCounter = 3;
    saveRenameSettings(rule);
    Metadata edited = artistAda();
    edited.setModifyDateEdited(true);
    edited.setDateTimeModifyDate(BatchTest::rule([](DateTime &r) {
        r.isIDOriginalDate = true;
        r.dayIDOriginalDate = 1;
    }));

    const QDateTime testStart = platform::Calendar::now().addSecs(-2);
    struct Outcome
    {
        BatchCounts counts;
        QStringList shown;
        QList<double> percents;
        QMap<QString, QByteArray> bytes;
        QMap<QString, QDateTime> modified;
    };
    const auto outcome = [&](EditingOptions option, const std::optional<QUrl> &into, const QString &folder,
                             int workers, const CleanMetadata &clean = {}) {
        shownPaths.clear();
        percents.clear();
        Outcome o;
        o.counts = run(option, edited, into, !into, clean, workers);
        o.shown = shownPaths;
        o.percents = percents;
        for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            o.bytes.insert(name, bytesOf(QDir(folder).filePath(name)));
            // A file without a date to start from keeps the time of its write.
            const QDateTime date = modified(QDir(folder).filePath(name));
            o.modified.insert(name, date >= testStart ? QDateTime() : date);
        }
        return o;
    };
    const auto expectSame = [](const Outcome &one, const Outcome &several) {
        EXPECT_EQ(several.counts, one.counts);
        EXPECT_EQ(several.percents, one.percents);
        EXPECT_EQ(several.bytes.keys(), one.bytes.keys());
        EXPECT_TRUE(several.bytes == one.bytes) << "the same bytes in every file";
        EXPECT_EQ(several.modified, one.modified);
    };

    QTemporaryDir oneAtATime, atOnce;
    const Outcome one
        = outcome(EditingOptions::onlyModify, QUrl::fromLocalFile(oneAtATime.path()), oneAtATime.path(), 1);
    const Outcome several
        = outcome(EditingOptions::onlyModify, QUrl::fromLocalFile(atOnce.path()), atOnce.path(), 4);
    expectSame(one, several);
    EXPECT_EQ(several.shown, one.shown);
    EXPECT_EQ(one.counts.processed, 13);
    EXPECT_EQ(one.counts.edited, 12);
    ASSERT_EQ(one.counts.failures.size(), 1);
    EXPECT_EQ(one.counts.failures[0].path, sources.filePath(QStringLiteral("notes.jpg")));
    // Names and counters follow the batch order; the file that failed took
    // its number with it.
    EXPECT_EQ(one.bytes.keys().first(), QStringLiteral("001_Pentax.jpg"));
    EXPECT_TRUE(one.bytes.contains(QStringLiteral("008_Pentax.jpg")));
    EXPECT_FALSE(one.bytes.contains(QStringLiteral("007_notes.jpg")));
    EXPECT_TRUE(one.bytes.contains(QStringLiteral("013_MWG.jpg")));

    // Cleaning those copies in place, one at a time and several at once.
    CleanMetadata clean;
    clean.exif = true;
    clean.gps = true;
    clean.xmp = true;
    const auto displayFolder = [&](const QString &folder) {
        displayedFiles().clear();
        allFiles().clear();
        for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name))
            addRecord(QDir(folder).filePath(name), nullptr);
    };
    displayFolder(oneAtATime.path());
    const Outcome cleanedOne
        = outcome(EditingOptions::cleanMetadata, std::nullopt, oneAtATime.path(), 1, clean);
    displayFolder(atOnce.path());
    const Outcome cleanedSeveral
        = outcome(EditingOptions::cleanMetadata, std::nullopt, atOnce.path(), 4, clean);
    EXPECT_EQ(cleanedOne.counts.edited, 12);
    EXPECT_TRUE(cleanedSeveral.bytes == cleanedOne.bytes);
    EXPECT_EQ(cleanedSeveral.counts.processed, cleanedOne.counts.processed);
    EXPECT_EQ(cleanedSeveral.counts.edited, cleanedOne.counts.edited);
    EXPECT_EQ(cleanedSeveral.percents, cleanedOne.percents);
}

// XMP is parsed and written inside the library for every format; on four
// workers at once no file loses any of it, and the bytes are those one
// worker writes, whatever order the files were read in: the same batch over
// copies of XMP-rich files of several formats (a converter's PNG with text
// copies of its Exif, a DNG whose sub-image keeps XMP of its own, camera
// photos whose maker notes a write moves with their offsets), on one
// worker, then on four in batch order and in reverse, while another thread
// reads the originals.
// CALVORN_STRESS_WRITES sets how many writes the runs on four workers make
// in all (3000 for the long run); by default they make a few dozen.
TEST_F(BatchRunTest, FourWorkersKeepEveryXmpValueAndWriteWhatOneWorkerWrites)
{
    REQUIRE_TEST_DATA();
    // Some declare the prefix "xap" for the namespace written as "xmp".
    const QStringList images { QStringLiteral("XMP.jpg"), QStringLiteral("exiv2-bug540.jpg"),
        QStringLiteral("iptc-psAPP13-wIPTC1-psAPP13-wIPTC2.jpg"), QStringLiteral("DSC_3079.jpg"),
        QStringLiteral("20110626_213900.psd"), QStringLiteral("imagemagick.pgf"),
        QStringLiteral("ReaganSmallPng.png"), QStringLiteral("Reagan.tiff"),
        QStringLiteral("converted-gps.png"), QStringLiteral("IMG_1361.dng"), QStringLiteral("Pentax.jpg") };
    // Maker notes whose offsets count from the Exif's start (the Pentax
    // one's to a preview beside the thumbnail), one of them a note the
    // library does not decode, and one that points past its count.
    const QStringList cameras { QStringLiteral("Canon1DmkIII.jpg"), QStringLiteral("Sanyo.jpg"),
        QStringLiteral("NikonD2Hs.jpg") };
    QStringList samples;
    for (const QString &name : images)
        samples << QStringLiteral("images/") + name;
    for (const QString &name : cameras)
        samples << QStringLiteral("cameras/") + name;
    constexpr int copies = 2;
    const int perRun = int(samples.size()) * copies;
    const int writes = std::max(qEnvironmentVariableIntValue("CALVORN_STRESS_WRITES"), 2 * perRun);
    const int runsOnFour = (writes + perRun - 1) / perRun;

    QTemporaryDir originals;
    QStringList originalPaths;
    for (const QString &sample : samples)
        originalPaths << testsupport::copyTestFile(sample, originals);
    for (const QString &path : originalPaths) {
        if (path.endsWith(QLatin1String(".dng"))) {
            ASSERT_TRUE(camerasamples::wholeDng(path));
        }
    }
    const MetadataOperation bridge(engine::check::refusal);
    std::vector<std::optional<QVariantMap>> originalValues;
    for (const QString &path : originalPaths)
        originalValues.push_back(bridge.getMetadata(path));

    Metadata edited = artistAda();
    edited.setLensXMP(QStringLiteral("Stress 50 mm"));
    edited.setLensXMPEdited(true);
    edited.setModifyDateEdited(true);
    edited.setDateTimeModifyDate(BatchTest::rule([](DateTime &r) {
        r.isSelectDate = true;
        r.selectDate = at(2021, 3, 4, 5, 6, 7);
    }));

    // Fresh copies in a folder of their own, written in place; their bytes
    // and XMP property counts by name.
    struct Run
    {
        QMap<QString, QByteArray> bytes;
        QMap<QString, long> xmpCounts;
    };
    const auto runOnce = [&](int workers, bool reversed) {
        QTemporaryDir folder;
        displayedFiles().clear();
        allFiles().clear();
        QStringList paths;
        for (int copy = 0; copy < copies; ++copy)
            for (const QString &original : originalPaths) {
                const QString path = folder.filePath(QString::number(copy) + QFileInfo(original).fileName());
                EXPECT_TRUE(QFile::copy(original, path));
                paths << path;
            }
        if (reversed)
            std::reverse(paths.begin(), paths.end());
        for (const QString &path : paths)
            addRecord(path, nullptr);
        const BatchCounts counts = run(EditingOptions::onlyModify, edited, std::nullopt, true, {}, workers);
        EXPECT_EQ(counts.edited, perRun) << counts.failures.size() << " failed";
        Run result;
        for (const QString &path : paths) {
            const QString name = QFileInfo(path).fileName();
            result.bytes.insert(name, bytesOf(path));
            result.xmpCounts.insert(name, xmpPropertyCount(path));
        }
        return result;
    };

    const Run one = runOnce(1, false);
    // Only the XMP work waits for the lock, not the rest of a file's.
    EXPECT_TRUE(platform::XmpToolkit::libraryCallsPassThrough());
    // Nothing of the XMP read is lost; the lens is added.
    for (qsizetype i = 0; i < originalPaths.size(); ++i) {
        const QString name = QStringLiteral("0") + QFileInfo(originalPaths[i]).fileName();
        EXPECT_GT(one.xmpCounts.value(name), xmpPropertyCount(originalPaths[i])) << name.toStdString();
    }

    std::atomic<bool> done { false };
    std::atomic<int> readsDiffering { 0 };
    std::thread reader([&] {
        while (!done) {
            for (qsizetype i = 0; i < originalPaths.size(); ++i)
                readsDiffering += bridge.getMetadata(originalPaths[i]) == originalValues[size_t(i)] ? 0 : 1;
        }
    });
    int fewer = 0;
    int differing = 0;
    for (int runIndex = 0; runIndex < runsOnFour; ++runIndex) {
        const Run four = runOnce(4, runIndex % 2 == 1);
        for (auto file = one.bytes.cbegin(); file != one.bytes.cend(); ++file) {
            fewer += four.xmpCounts.value(file.key()) < one.xmpCounts.value(file.key()) ? 1 : 0;
            differing += four.bytes.value(file.key()) == file.value() ? 0 : 1;
        }
    }
    done = true;
    reader.join();
    EXPECT_EQ(fewer, 0) << "files with fewer XMP properties than one worker wrote";
    EXPECT_EQ(differing, 0) << "files whose bytes differ from what one worker wrote";
    EXPECT_EQ(readsDiffering, 0) << "reads that differed from a read on its own";
    if (qEnvironmentVariableIsSet("CALVORN_STRESS_WRITES"))
        std::printf("%d writes on four workers: %d with fewer XMP properties, %d with other bytes; "
                    "%d reads differing\n",
            runsOnFour * perRun, fewer, differing, readsDiffering.load());
}

// On several workers the pause and the stop still act between files: the
// files in work are finished, none starts while the batch is paused, and
// none after the stop.
TEST_F(BatchRunTest, PauseAndStopActBetweenFilesOnSeveralWorkers)
{
    for (int i = 0; i < 10; ++i)
        addRecord(writeSource(QStringLiteral("f%1.jpg").arg(i), QByteArrayLiteral("x")), nullptr);
    BatchRun batch(BatchRequest::take(EditingOptions::onlyModify, artistAda(), {}, std::nullopt, true), 4);
    QList<qint64> started;
    qsizetype startedWhilePaused = -1;
    BatchEvents events;
    events.fileStarted = [&](qint64 index, const QString &) { started << index; };
    events.beforeFile = [&](qint64 index) {
        if (index == 1)
            control.setPaused(true);
        if (index == 5)
            control.setStopped(true);
    };
    events.progressed = [&](double percent) {
        if (percent == 10.0) { // the files before the pause are done
            startedWhilePaused = started.size();
            control.setPaused(false);
        }
    };

    const BatchCounts counts = batch.run(control, events);

    EXPECT_EQ(startedWhilePaused, 2) << "the file in work when the pause came was finished, no other started";
    EXPECT_EQ(started, (QList<qint64> { 0, 1, 2, 3, 4, 5 }));
    EXPECT_EQ(counts.processed, 6);
    EXPECT_EQ(counts.failures.size(), 6);
}

} // namespace
