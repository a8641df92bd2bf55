// SPDX-License-Identifier: GPL-3.0-or-later
#include "PhotosLibraryFixture.h"

#include "browser/PhotosLibraryDatabase.h"
#include "browser/SqliteReader.h"
#include "platform/Console.h"
#include "platform/Paths.h"
#include "support/TestEnvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

using PhotosLibraryDatabase::Layout;

namespace {

struct Read
{
    std::optional<PhotosLibraryDatabase::Reading> reading;
    QList<QStringList> rows;
};

Read readLibrary(const QString &path)
{
    Read read;
    read.reading
        = PhotosLibraryDatabase::read(path, [&](Layout, const QStringList &row) { read.rows << row; });
    return read;
}

QByteArray digestOfFolder(const QString &folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        QFile file(folder + QLatin1Char('/') + name);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        hash.addData(name.toUtf8());
        hash.addData(file.readAll());
    }
    return hash.result();
}

bool copyExists(Layout layout, const QString &suffix = QString())
{
    return QFile::exists(PhotosLibraryDatabase::copyFiles(layout).database + suffix);
}

class ConsoleCapture
{
public:
    ConsoleCapture()
    {
        m_previous
            = platform::Console::setSink([this](platform::Console::Stream stream, const QString &line) {
                  if (stream == platform::Console::Stream::Out)
                      lines << line;
              });
    }
    ~ConsoleCapture() { platform::Console::setSink(m_previous); }
    QStringList lines;

private:
    platform::Console::Sink m_previous;
};

} // namespace

TEST(PhotosLibraryDatabase, NewLayoutGivesOneRowPerPhotoAndLeavesTheTrashOut)
{
    QTemporaryDir dir;
    PhotosLibraryFixture library(
        dir, QStringLiteral("Trip.photoslibrary"), PhotosLibraryFixture::Layout::New);
    const int first = library.addNewPhoto(
        QStringLiteral("A"), QStringLiteral("A1.jpeg"), QStringLiteral("IMG_1.JPG"), 1234);
    library.addNewPhoto(
        QStringLiteral("B"), QStringLiteral("B2.jpeg"), QStringLiteral("IMG_2.JPG"), 99, true);
    const int third = library.addNewPhoto(
        QStringLiteral("C"), QStringLiteral("C3.heic"), QStringLiteral("IMG_3.HEIC"), 5);
    library.addToAlbum(first, 1);
    library.addToAlbum(first, 2);
    library.addToAlbum(third, 2);

    const Read read = readLibrary(library.path());
    ASSERT_TRUE(read.reading);
    EXPECT_EQ(read.reading->layout, Layout::New);
    EXPECT_EQ(read.reading->sources.database, library.path() + QStringLiteral("/database/Photos.sqlite"));
    ASSERT_EQ(read.rows.size(), 2);
    EXPECT_EQ(read.rows[0],
        (QStringList { "A1.jpeg", "A", "101", "600000000.5", "600000100", "1234", "IMG_1.JPG", "1", "UUID-1",
            "0", "public.jpeg" }));
    EXPECT_EQ(read.rows[1].at(6), QStringLiteral("IMG_3.HEIC"));
    EXPECT_EQ(read.rows[1].at(7), QStringLiteral("3"));
}

TEST(PhotosLibraryDatabase, EarlierAssetTableIsTheNewLayoutToo)
{
    QTemporaryDir dir;
    PhotosLibraryFixture library(
        dir, QStringLiteral("Old Mac.photoslibrary"), PhotosLibraryFixture::Layout::NewGeneric);
    library.addNewPhoto(QStringLiteral("0"), QStringLiteral("X.jpeg"), QStringLiteral("X.JPG"), 10);
    const Read read = readLibrary(library.path());
    ASSERT_TRUE(read.reading);
    EXPECT_EQ(read.reading->layout, Layout::New);
    ASSERT_EQ(read.rows.size(), 1);
    EXPECT_EQ(read.rows[0].at(0), QStringLiteral("X.jpeg"));
}

TEST(PhotosLibraryDatabase, NullColumnsReadAsEmptyTexts)
{
    QTemporaryDir dir;
    PhotosLibraryFixture library(
        dir, QStringLiteral("Nulls.photoslibrary"), PhotosLibraryFixture::Layout::New);
    library.addNewPhoto(QString(), QString(), QString(), 0);
    library.exec(QStringLiteral("UPDATE ZASSET SET ZDATECREATED = NULL, ZUNIFORMTYPEIDENTIFIER = NULL, "
                                "ZADDITIONALATTRIBUTES = NULL"));
    const Read read = readLibrary(library.path());
    ASSERT_TRUE(read.reading);
    ASSERT_EQ(read.rows.size(), 1);
    const QStringList &row = read.rows[0];
    ASSERT_EQ(row.size(), 11);
    // No attributes row joins: its size and name are NULL as well.
    for (int column : { 0, 1, 2, 3, 5, 6, 10 })
        EXPECT_TRUE(row.at(column).isEmpty()) << column;
    EXPECT_EQ(row.at(7), QStringLiteral("1"));
}

TEST(PhotosLibraryDatabase, RowsStillInTheWriteAheadLogAreSeenAndTheLibraryIsNotChanged)
{
    QTemporaryDir dir;
    PhotosLibraryFixture library(
        dir, QStringLiteral("Live.photoslibrary"), PhotosLibraryFixture::Layout::New);
    library.addNewPhoto(QStringLiteral("A"), QStringLiteral("Old.jpeg"), QStringLiteral("Old.JPG"), 1);
    library.checkpoint();
    library.addNewPhoto(QStringLiteral("B"), QStringLiteral("New.jpeg"), QStringLiteral("New.JPG"), 2);
    ASSERT_GT(QFileInfo(library.databasePath() + QStringLiteral("-wal")).size(), 0);
    const QByteArray before = digestOfFolder(library.path() + QStringLiteral("/database"));

    const Read read = readLibrary(library.path());
    ASSERT_TRUE(read.reading);
    ASSERT_EQ(read.rows.size(), 2);
    EXPECT_EQ(read.rows[1].at(0), QStringLiteral("New.jpeg"));
    EXPECT_EQ(digestOfFolder(library.path() + QStringLiteral("/database")), before);
    EXPECT_TRUE(copyExists(Layout::New, QStringLiteral("-wal")));
}

TEST(PhotosLibraryDatabase, OldLayoutSkipsRowsWithoutSizeTrashAndRepeatsPerAlbum)
{
    QTemporaryDir dir;
    PhotosLibraryFixture library(
        dir, QStringLiteral("2015.photoslibrary"), PhotosLibraryFixture::Layout::Old);
    const int first = library.addOldPhoto(QStringLiteral("2015/06/01/a.jpg"), QStringLiteral("a.jpg"), 300);
    library.addOldPhoto(QStringLiteral("2015/06/01/b.jpg"), QStringLiteral("b.jpg"), -1);
    library.addOldPhoto(QStringLiteral("2015/06/01/c.jpg"), QStringLiteral("c.jpg"), 20, true);
    const int fourth = library.addOldPhoto(QStringLiteral("2015/06/02/d.jpg"), QStringLiteral("d.jpg"), 40);
    library.addToAlbum(first, 7);
    library.addToAlbum(first, 8);
    // A later, edited version of the first photo replaces the original row.
    library.exec(QStringLiteral("INSERT INTO RKVersion VALUES (50, 'V-edit', 'M-%1', 0)").arg(first));

    ConsoleCapture console;
    const Read read = readLibrary(library.path());
    ASSERT_TRUE(read.reading);
    EXPECT_EQ(read.reading->layout, Layout::Old);
    ASSERT_EQ(read.rows.size(), 2);
    EXPECT_EQ(read.rows[0], (QStringList { "M-4", "2015/06/02/d.jpg", "40", "V-4", "4", "d.jpg", "" }));
    EXPECT_EQ(
        read.rows[1].mid(0, 6), (QStringList { "M-1", "2015/06/01/a.jpg", "300", "V-edit", "50", "a.jpg" }));
    Q_UNUSED(fourth);
    // The row without a size leaves its (empty) value on the console.
    EXPECT_EQ(console.lines, QStringList { QString() });
}

TEST(PhotosLibraryDatabase, MissingOrForeignDatabaseGivesNoRows)
{
    QTemporaryDir dir;
    const QString empty = dir.path() + QStringLiteral("/Empty.photoslibrary");
    QDir().mkpath(empty);
    Read read = readLibrary(empty);
    ASSERT_TRUE(read.reading);
    EXPECT_TRUE(read.rows.isEmpty());
    EXPECT_FALSE(copyExists(Layout::Old));
    EXPECT_FALSE(QFile::exists(empty + QStringLiteral("/database/photos.db")));

    const QString garbage = dir.path() + QStringLiteral("/Garbage.photoslibrary");
    QDir().mkpath(garbage + QStringLiteral("/database"));
    QFile file(garbage + QStringLiteral("/database/photos.db"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    read = readLibrary(garbage);
    ASSERT_TRUE(read.reading);
    EXPECT_TRUE(read.rows.isEmpty());

    // Pipes in place of the database and a companion: nothing waits on
    // them, and the next read is not locked out.
    const QString package = dir.path() + QStringLiteral("/Pipes.photoslibrary");
    QDir().mkpath(package + QStringLiteral("/database"));
    QStringList pipes;
    for (const char *name : { "Photos.sqlite", "photos.db", "photos.db-wal" }) {
        pipes << package + QStringLiteral("/database/") + QLatin1String(name);
        ASSERT_TRUE(testsupport::makePipe(pipes.last()));
    }
    EXPECT_TRUE(testsupport::returnsPromptly(pipes, [&] {
        ConsoleCapture console;
        read = readLibrary(package);
    }));
    EXPECT_TRUE(read.rows.isEmpty());
    EXPECT_TRUE(readLibrary(garbage).reading);
}

TEST(PhotosLibraryDatabase, SqliteWithoutAssetTableFallsBackToTheOldDatabase)
{
    QTemporaryDir dir;
    PhotosLibraryFixture library(
        dir, QStringLiteral("Mixed.photoslibrary"), PhotosLibraryFixture::Layout::Old);
    library.addOldPhoto(QStringLiteral("y/a.jpg"), QStringLiteral("a.jpg"), 300);
    {
        PhotosLibraryFixture other(
            dir, QStringLiteral("Mixed.photoslibrary"), PhotosLibraryFixture::Layout::New);
        other.exec(QStringLiteral("DROP TABLE ZASSET"));
    }
    ASSERT_TRUE(QFile::exists(library.path() + QStringLiteral("/database/Photos.sqlite")));
    const Read read = readLibrary(library.path());
    ASSERT_TRUE(read.reading);
    EXPECT_EQ(read.reading->layout, Layout::Old);
    EXPECT_EQ(read.rows.size(), 1);
    EXPECT_FALSE(copyExists(Layout::New));
}

TEST(PhotosLibraryDatabase, EachReadLeavesOnlyTheLastLibrarysCopies)
{
    QTemporaryDir dir;
    {
        PhotosLibraryFixture live(
            dir, QStringLiteral("Live.photoslibrary"), PhotosLibraryFixture::Layout::New);
        live.addNewPhoto(QStringLiteral("A"), QStringLiteral("a.jpeg"), QStringLiteral("a.jpg"), 1);
        ASSERT_TRUE(readLibrary(live.path()).reading);
        EXPECT_TRUE(copyExists(Layout::New, QStringLiteral("-wal")));
        EXPECT_TRUE(copyExists(Layout::New, QStringLiteral("-shm")));
    }
    // Closed: the database was checkpointed and lost its companions.
    const QString closed = dir.path() + QStringLiteral("/Live.photoslibrary");
    ASSERT_FALSE(QFile::exists(closed + QStringLiteral("/database/Photos.sqlite-wal")));
    const Read again = readLibrary(closed);
    ASSERT_EQ(again.rows.size(), 1);
    EXPECT_TRUE(copyExists(Layout::New));
    // The earlier log is gone; at most an empty one that the reader made.
    EXPECT_EQ(QFileInfo(PhotosLibraryDatabase::copyFiles(Layout::New).wal).size(), 0);

    PhotosLibraryFixture old(dir, QStringLiteral("Old.photoslibrary"), PhotosLibraryFixture::Layout::Old);
    old.addOldPhoto(QStringLiteral("z/a.jpg"), QStringLiteral("a.jpg"), 3);
    ASSERT_TRUE(readLibrary(old.path()).reading);
    EXPECT_TRUE(copyExists(Layout::Old));
    EXPECT_FALSE(copyExists(Layout::New));
    EXPECT_TRUE(
        PhotosLibraryDatabase::copyFiles(Layout::Old).database.startsWith(platform::Paths::cacheFolder()));
}

TEST(PhotosLibraryDatabase, ConcurrentReadsDoNotShareACopy)
{
    QTemporaryDir dir;
    PhotosLibraryFixture a(dir, QStringLiteral("A.photoslibrary"), PhotosLibraryFixture::Layout::New);
    PhotosLibraryFixture b(dir, QStringLiteral("B.photoslibrary"), PhotosLibraryFixture::Layout::New);
    for (int i = 0; i < 50; ++i) {
        a.addNewPhoto(QStringLiteral("A"), QStringLiteral("a%1.jpeg").arg(i), QStringLiteral("a.jpg"), 1);
        b.addNewPhoto(QStringLiteral("B"), QStringLiteral("b%1.jpeg").arg(i), QStringLiteral("b.jpg"), 1);
    }
    std::vector<Read> results(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&, i] { results[i] = readLibrary(i % 2 ? b.path() : a.path()); });
    for (auto &thread : threads)
        thread.join();
    for (size_t i = 0; i < results.size(); ++i) {
        ASSERT_EQ(results[i].rows.size(), 50);
        for (const QStringList &row : results[i].rows)
            EXPECT_EQ(row.at(1), i % 2 ? QStringLiteral("B") : QStringLiteral("A"));
    }
}

TEST(SqliteReader, NeverCreatesTheFileItOpens)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/none.db");
    SqliteReader reader(path);
    EXPECT_FALSE(reader.isOpen());
    EXPECT_FALSE(reader.hasTable(QStringLiteral("ZASSET")));
    EXPECT_FALSE(reader.forEachRow("SELECT 1", 1, [](const QStringList &) { FAIL(); }));
    EXPECT_FALSE(QFile::exists(path));
}
