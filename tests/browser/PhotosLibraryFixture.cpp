// SPDX-License-Identifier: GPL-3.0-or-later
#include "PhotosLibraryFixture.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QString sqlText(const QString &text)
{
    if (text.isNull())
        return QStringLiteral("NULL");
    QString quoted = text;
    return QLatin1Char('\'') + quoted.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

const char *NewSchema = R"sql(
CREATE TABLE %1 (Z_PK INTEGER PRIMARY KEY, ZFILENAME VARCHAR, ZDIRECTORY VARCHAR,
    ZADDITIONALATTRIBUTES INTEGER, ZDATECREATED TIMESTAMP, ZMODIFICATIONDATE TIMESTAMP, ZUUID VARCHAR,
    ZKIND INTEGER, ZUNIFORMTYPEIDENTIFIER VARCHAR, ZTRASHEDSTATE INTEGER);
CREATE TABLE ZADDITIONALASSETATTRIBUTES (Z_PK INTEGER PRIMARY KEY, ZASSET INTEGER,
    ZORIGINALFILESIZE INTEGER, ZORIGINALFILENAME VARCHAR);
CREATE TABLE ZGENERICALBUM (Z_PK INTEGER PRIMARY KEY, ZTITLE VARCHAR);
CREATE TABLE Z_26ASSETS (Z_26ALBUMS INTEGER, Z_3ASSETS INTEGER);
)sql";

const char *OldSchema = R"sql(
CREATE TABLE RKMaster (modelId INTEGER PRIMARY KEY, uuid VARCHAR, imagePath VARCHAR, fileSize INTEGER,
    fileName VARCHAR, isInTrash INTEGER);
CREATE TABLE RKVersion (modelId INTEGER PRIMARY KEY, uuid VARCHAR, masterUuid VARCHAR, isInTrash INTEGER);
CREATE TABLE RKAlbum (modelId INTEGER PRIMARY KEY, name VARCHAR);
CREATE TABLE RKAlbumVersion (modelId INTEGER PRIMARY KEY, versionId INTEGER, albumId INTEGER);
)sql";

} // namespace

PhotosLibraryFixture::PhotosLibraryFixture(const QTemporaryDir &dir, const QString &name, Layout layout)
    : m_path(dir.path() + QLatin1Char('/') + name)
    , m_layout(layout)
{
    QDir().mkpath(m_path + QStringLiteral("/database"));
    QDir().mkpath(photoFolder());
    EXPECT_EQ(sqlite3_open(QFile::encodeName(databasePath()).constData(), &m_db), SQLITE_OK);
    exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    // Nothing here needs to survive a power cut.
    exec(QStringLiteral("PRAGMA synchronous=OFF"));
    switch (layout) {
    case Layout::Old:
        exec(QString::fromLatin1(OldSchema));
        break;
    case Layout::New:
        exec(QString::fromLatin1(NewSchema).arg(QStringLiteral("ZASSET")));
        break;
    case Layout::NewGeneric:
        exec(QString::fromLatin1(NewSchema).arg(QStringLiteral("ZGENERICASSET")));
        break;
    }
}

PhotosLibraryFixture::~PhotosLibraryFixture()
{
    sqlite3_close(m_db);
}

QString PhotosLibraryFixture::databasePath() const
{
    return m_path
        + (m_layout == Layout::Old ? QStringLiteral("/database/photos.db")
                                   : QStringLiteral("/database/Photos.sqlite"));
}

QString PhotosLibraryFixture::photoFolder() const
{
    return m_path + (m_layout == Layout::Old ? QStringLiteral("/Masters") : QStringLiteral("/originals"));
}

void PhotosLibraryFixture::exec(const QString &sql)
{
    char *message = nullptr;
    const int result = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    EXPECT_EQ(result, SQLITE_OK) << (message ? message : "") << "\n" << sql.toStdString();
    sqlite3_free(message);
}

void PhotosLibraryFixture::checkpoint()
{
    exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

int PhotosLibraryFixture::addNewPhoto(
    const QString &directory, const QString &fileName, const QString &originalName, qint64 size, bool trashed)
{
    const int key = m_next++;
    const QString table
        = m_layout == Layout::NewGeneric ? QStringLiteral("ZGENERICASSET") : QStringLiteral("ZASSET");
    exec(QStringLiteral("INSERT INTO %1 VALUES (%2, %3, %4, %5, 600000000.5, 600000100, 'UUID-%2', 0, "
                        "'public.jpeg', %6)")
             .arg(table)
             .arg(key)
             .arg(sqlText(fileName), sqlText(directory))
             .arg(key + 100)
             .arg(trashed ? 1 : 0));
    exec(QStringLiteral("INSERT INTO ZADDITIONALASSETATTRIBUTES VALUES (%1, %2, %3, %4)")
             .arg(key + 100)
             .arg(key)
             .arg(size)
             .arg(sqlText(originalName)));
    return key;
}

int PhotosLibraryFixture::addOldPhoto(
    const QString &imagePath, const QString &fileName, qint64 size, bool trashed)
{
    const int key = m_next++;
    exec(QStringLiteral("INSERT INTO RKMaster VALUES (%1, 'M-%1', %2, %3, %4, 0)")
             .arg(key)
             .arg(sqlText(imagePath), size < 0 ? QStringLiteral("NULL") : QString::number(size),
                 sqlText(fileName)));
    exec(QStringLiteral("INSERT INTO RKVersion VALUES (%1, 'V-%1', 'M-%1', %2)")
             .arg(key)
             .arg(trashed ? 1 : 0));
    return key;
}

void PhotosLibraryFixture::addToAlbum(int photo, int album)
{
    if (m_layout == Layout::Old) {
        exec(QStringLiteral("INSERT OR IGNORE INTO RKAlbum VALUES (%1, 'Album %1')").arg(album));
        exec(QStringLiteral("INSERT INTO RKAlbumVersion (versionId, albumId) VALUES (%1, %2)")
                 .arg(photo)
                 .arg(album));
    } else {
        exec(QStringLiteral("INSERT OR IGNORE INTO ZGENERICALBUM VALUES (%1, 'Album %1')").arg(album));
        exec(QStringLiteral("INSERT INTO Z_26ASSETS VALUES (%1, %2)").arg(album).arg(photo));
    }
}

QString PhotosLibraryFixture::placeImage(const QString &testImage, const QString &relativePath) const
{
    const QString target = photoFolder() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(target).path());
    QFile::remove(target);
    EXPECT_TRUE(QFile::copy(testsupport::testDataDir() + QLatin1Char('/') + testImage, target))
        << testImage.toStdString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}
