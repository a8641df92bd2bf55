// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileInfo.h"

#include "engine/FileProperties.h"
#include "engine/Metadata.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Lets every details job finish and hand its result to this (GUI) thread.
void arriveAll()
{
    FileInfo::waitForDetails();
    QCoreApplication::processEvents();
}

QUrl urlOf(const QString &path)
{
    return QUrl::fromLocalFile(path);
}

} // namespace

TEST(FileInfo, BlankRecordStandsForNoFile)
{
    const FileInfo record;
    EXPECT_FALSE(record.url.has_value());
    EXPECT_TRUE(record.path().isEmpty());
    EXPECT_TRUE(record.fileName.isEmpty());
    ASSERT_NE(record.metadata, nullptr);
    EXPECT_FALSE(record.metadata->hasValue(MetadataField::artist));
    EXPECT_FALSE(record.metadata->isEdited());
    EXPECT_FALSE(record.isMark || record.isLock || record.isVideo || record.isPhotoLibrary);
    EXPECT_EQ(record.section, 0);
    EXPECT_FALSE(record.sizeBytes || record.size || record.width || record.height || record.creationDate);
}

TEST(FileInfo, MeasuresAtOnceAndAssignsDetailsOnTheGuiThread)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    const QString path = testsupport::copyTestFile(QStringLiteral("images/FurnaceCreekInn.jpg"), dir);
    const auto record = FileInfo::create(urlOf(path));

    EXPECT_EQ(record->fileName, QStringLiteral("FurnaceCreekInn.jpg"));
    EXPECT_EQ(record->url, urlOf(path));
    EXPECT_EQ(record->sizeBytes, std::optional<quint64>(38821));
    EXPECT_EQ(record->size,
        std::optional<QString>(QLocale().formattedDataSize(38821, 1, QLocale::DataSizeTraditionalFormat)));
    const auto pixels = imagePixelSize(path);
    ASSERT_TRUE(pixels.has_value());
    EXPECT_EQ(record->width, pixels->first);
    EXPECT_EQ(record->height, pixels->second);
    EXPECT_EQ(record->Name, QStringLiteral("FurnaceCreekInn.jpg"));
    EXPECT_EQ(record->FileType, QStringLiteral("jpg"));
    EXPECT_EQ(record->FolderName, QDir(dir.path()).dirName());
    EXPECT_TRUE(record->LibraryName.isEmpty());

    // The job has finished, but nothing lands until the GUI thread takes it.
    FileInfo::waitForDetails();
    EXPECT_EQ(record->metadata, nullptr);
    EXPECT_FALSE(record->creationDate.has_value());
    QCoreApplication::processEvents();
    ASSERT_NE(record->metadata, nullptr);
    EXPECT_EQ(record->metadata->make(), std::optional<QString>(QStringLiteral("Canon")));
    EXPECT_TRUE(record->metadata->gpsLatitude().has_value());
    EXPECT_EQ(record->creationDate, fileCreationDate(path));
}

TEST(FileInfo, UnreadableFilesStillGetARecord)
{
    QTemporaryDir dir;
    const auto missing = FileInfo::create(urlOf(dir.filePath(QStringLiteral("gone.jpg"))));
    EXPECT_FALSE(missing->sizeBytes || missing->size || missing->width || missing->height);

    QFile text(dir.filePath(QStringLiteral("README")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    const auto plain = FileInfo::create(urlOf(text.fileName()));
    EXPECT_EQ(plain->sizeBytes, std::optional<quint64>(13));
    EXPECT_EQ(plain->size, std::optional<QString>(QStringLiteral("13 bytes")));
    EXPECT_FALSE(plain->width || plain->height);
    EXPECT_TRUE(plain->FileType.isEmpty());

    arriveAll();
    // The details job still ran: a blank metadata record.
    ASSERT_NE(missing->metadata, nullptr);
    ASSERT_NE(plain->metadata, nullptr);
    EXPECT_FALSE(plain->metadata->hasValue(MetadataField::make));
    EXPECT_FALSE(missing->creationDate.has_value());
}

TEST(FileInfo, LibraryPhotoIsNamedAsTheLibraryNamesIt)
{
    QTemporaryDir dir;
    const QString library = dir.filePath(QStringLiteral("Family.photoslibrary"));
    const QString file = library + QStringLiteral("/originals/A/IMG_0001.JPG");
    QDir().mkpath(QFileInfo(file).path());
    QImage(8, 6, QImage::Format_RGB32).save(file, "JPEG");
    PhotosLibraryItem item
        = PhotosLibraryItem::fromNewLayout({ QStringLiteral("IMG_0001.JPG"), QStringLiteral("A"), {}, {}, {},
                                               {}, QStringLiteral("Beach day.jpg") },
            QUrl::fromLocalFile(library));

    const auto record = FileInfo::create(item, urlOf(file));
    EXPECT_TRUE(record->isPhotoLibrary);
    EXPECT_EQ(record->fileName, QStringLiteral("Beach day.jpg"));
    EXPECT_EQ(record->Name, QStringLiteral("IMG_0001.JPG"));
    EXPECT_EQ(record->FileType, QStringLiteral("JPG"));
    EXPECT_EQ(record->FolderName, QStringLiteral("A"));
    EXPECT_EQ(record->LibraryName, QStringLiteral("Family.photoslibrary"));
    ASSERT_NE(record->photosLibraryItem, nullptr);
    EXPECT_EQ(*record->photosLibraryItem, item);
    // A copy: changing the caller's item later changes nothing here.
    item.filename = QStringLiteral("changed");
    EXPECT_EQ(record->photosLibraryItem->filename, QStringLiteral("Beach day.jpg"));
    EXPECT_EQ(record->width, std::optional<QString>(QStringLiteral("8")));
    arriveAll();
    EXPECT_NE(record->metadata, nullptr);
}

TEST(FileInfo, RecordRemovedFromEveryListStillFinishesItsJob)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    const QString path = testsupport::copyTestFile(QStringLiteral("images/Reagan.jpg"), dir);
    std::weak_ptr<FileInfo> watcher;
    {
        const auto record = FileInfo::create(urlOf(path));
        watcher = record;
    }
    EXPECT_FALSE(watcher.expired()) << "the job keeps it alive";
    arriveAll();
    EXPECT_TRUE(watcher.expired());
}

TEST(FileInfo, AFolderOfTestImagesBecomesRecords)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    const QStringList names
        = QDir(testsupport::testDataDir() + QStringLiteral("/images")).entryList(QDir::Files);
    std::vector<std::shared_ptr<FileInfo>> records;
    for (const QString &name : names)
        records.push_back(
            FileInfo::create(urlOf(testsupport::copyTestFile(QStringLiteral("images/") + name, dir))));
    arriveAll();

    int withPixels = 0, withMake = 0;
    for (const auto &r : records) {
        EXPECT_TRUE(r->sizeBytes.has_value()) << qPrintable(r->fileName);
        EXPECT_EQ(r->size, formattedByteCount(r->sizeBytes.value_or(0)));
        ASSERT_NE(r->metadata, nullptr) << qPrintable(r->fileName);
        EXPECT_EQ(r->creationDate, fileCreationDate(r->path()));
        withPixels += r->width.has_value() && r->height.has_value();
        withMake += r->metadata->make().has_value();
    }
    // Every real picture has a size; only the bare metadata files may not.
    EXPECT_GE(withPixels, 50);
    EXPECT_GE(withMake, 30);
}
