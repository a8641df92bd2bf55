// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchTestSupport.h"

#include "batch/FileValues.h"
#include "batch/RenamedCopies.h"
#include "engine/FileInfo.h"
#include "engine/Metadata.h"
#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "platform/Calendar.h"
#include "platform/FileOps.h"
#include "support/ScopedIsolation.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using platform::FileOps::attributes;

class BatchFile : public BatchTest
{
protected:
    static QDateTime modified(const QString &path)
    {
        // The file system's point in time on the user's clock.
        const auto a = attributes(path);
        return a ? platform::Calendar::wallClock(a->modified) : QDateTime();
    }

    // Reports of failed steps: the bridge's and the file system's, which
    // name the file. (Reading also logs the value types it skips.)
    QStringList failures() const
    {
        QStringList lines;
        for (const QString &line : console.lines()) {
            if (line.startsWith(QStringLiteral("***")) || line.contains(QLatin1Char('/')))
                lines << line;
        }
        return lines;
    }

    testsupport::ConsoleCapture console;
};

// What a batch does for each file that it copies: the copy under its new
// name, the edited values written into the copy, and the copy's
// modification date set by the edited rule from the file's own date.
TEST_F(BatchFile, CopiesAreRenamedWrittenAndDatedEachFromItsOwnValues)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir sources, destination;
    const QStringList names { QStringLiteral("Pentax.jpg"), QStringLiteral("FurnaceCreekInn.jpg"),
        QStringLiteral("ReaganSmallPng.png") };

    Metadata edited;
    edited.setArtist(QStringLiteral("Ada"));
    edited.setArtistEdited(true);
    edited.setModifyDateEdited(true);
    edited.setDateTimeModifyDate(rule([](DateTime &r) {
        r.isIDOriginalDate = true;
        r.dayIDOriginalDate = 1;
    }));
    edited.setCity(QStringLiteral("Lyon"));
    edited.setCityEdited(true);

    Rename naming;
    naming.isKeepOriginalFileName = false;
    naming.isEditOriginalFileName = true;
    naming.isAddCounter = true;
    naming.prefixAddCounter = 1;
    naming.minNumberOfDigitsAddCounter = 3;
    naming.isAddExifLocation = true;
    naming.isCity = true;
    naming.isAddDateTime = true; // from the clock, pinned here
    naming.asDateTime = DateAs::suffix;
    const auto now = [] { return at(2026, 12, 8, 7, 5, 9); };
    RenamedCopies copies(destination.path(), naming, now);

    const MetadataOperation bridge(engine::check::refusal);
    QStringList made;
    for (const QString &name : names) {
        const QString source = testsupport::copyTestFile(QStringLiteral("images/") + name, sources);
        const QByteArray sourceBytes = bytesOf(source);
        const Metadata own = Metadata::fromFile(source);
        ASSERT_TRUE(own.modifyDate()) << name.toStdString();

        FileInfo record;
        record.metadata = std::make_shared<Metadata>(own);
        const auto copy = copies.copy(source, NameSources::of(record, &edited));
        ASSERT_TRUE(copy);
        made << QFileInfo(*copy).fileName();
        EXPECT_TRUE(bridge.setMetadata(*copy, metadataDictionary(edited, &own), false));
        updateFileSystemDates(*copy, edited, &own, false, false);

        const QDateTime expected = own.modifyDate()->addDays(1);
        EXPECT_EQ(modified(*copy), expected) << name.toStdString();
        const Metadata written = Metadata::fromFile(*copy);
        EXPECT_EQ(written.modifyDate(), expected);
        EXPECT_EQ(written.artist(), QStringLiteral("Ada"));
        EXPECT_EQ(bytesOf(source), sourceBytes) << "the source is never written";
    }
    EXPECT_EQ(made,
        (QStringList { QStringLiteral("001_Pentax_Lyon_08122026.jpg"),
            QStringLiteral("002_FurnaceCreekInn_Lyon_08122026.jpg"),
            QStringLiteral("003_ReaganSmallPng_Lyon_08122026.png") }));
    EXPECT_EQ(failures(), QStringList());
}

TEST_F(BatchFile, WithoutAnEditedModifyDateTheDatesStayAsTheWriteLeftThem)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    const QString path = testsupport::copyTestFile(QStringLiteral("images/Reagan.jpg"), dir);
    const Metadata own = Metadata::fromFile(path);
    const QDateTime past = at(2001, 1, 1, 12);
    ASSERT_TRUE(platform::FileOps::setModificationTime(path, platform::Calendar::instant(past)).ok());

    Metadata edited;
    edited.setCreationDateEdited(true); // the creation date cannot be set here
    edited.setDateTimeCreateDate(rule([](DateTime &r) {
        r.isSelectDate = true;
        r.selectDate = at(2010, 5, 5);
    }));
    updateFileSystemDates(path, edited, &own, true, false);
    EXPECT_EQ(modified(path), past);

    // After a clear, neither date is touched, edited or not.
    edited.setModifyDateEdited(true);
    edited.setDateTimeModifyDate(edited.dateTimeCreateDate());
    updateFileSystemDates(path, edited, &own, false, true);
    EXPECT_EQ(modified(path), past);

    // An emptied modify date leaves the file's date too.
    edited.setDateTimeModifyDate(rule([](DateTime &r) { r.isEmptyValue = true; }));
    updateFileSystemDates(path, edited, &own, false, false);
    EXPECT_EQ(modified(path), past);

    // A selected date applies whatever the file's own date.
    edited.setDateTimeModifyDate(rule([](DateTime &r) {
        r.isSelectDate = true;
        r.selectDate = at(2010, 5, 5, 10, 11, 12);
    }));
    updateFileSystemDates(path, edited, nullptr, false, false);
    EXPECT_EQ(modified(path), at(2010, 5, 5, 10, 11, 12));
    EXPECT_EQ(failures(), QStringList());
}

TEST_F(BatchFile, AMissingFileIsReportedNotCreated)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone.jpg"));
    Metadata edited;
    edited.setModifyDateEdited(true);
    edited.setDateTimeModifyDate(rule([](DateTime &r) {
        r.isSelectDate = true;
        r.selectDate = at(2010, 5, 5);
    }));
    updateFileSystemDates(path, edited, nullptr, false, false);
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_EQ(failures().size(), 1);
    EXPECT_TRUE(failures().first().contains(QStringLiteral("gone.jpg")));
}

} // namespace
