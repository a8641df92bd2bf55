// SPDX-License-Identifier: GPL-3.0-or-later
#include "PhotosLibraryFixture.h"

#include "browser/PhotosLibraryOperation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using PhotosLibraryDatabase::Layout;

TEST(PhotosLibraryOperation, ItemsCarryTheirLayoutsColumns)
{
    QTemporaryDir dir;
    PhotosLibraryFixture modern(dir, QStringLiteral("New.photoslibrary"), PhotosLibraryFixture::Layout::New);
    modern.addNewPhoto(QStringLiteral("F"), QStringLiteral("F1.jpeg"), QStringLiteral("Beach.JPG"), 2048);
    modern.addNewPhoto(QString(), QString(), QStringLiteral("Nameless.JPG"), 1);
    const QUrl modernUrl = QUrl::fromLocalFile(modern.path());
    const auto fetched = PhotosLibraryOperation::fetchItems(modernUrl);
    ASSERT_TRUE(fetched);
    EXPECT_EQ(fetched->layout, Layout::New);
    ASSERT_EQ(fetched->items.size(), 2);
    const PhotosLibraryItem &item = fetched->items[0];
    EXPECT_EQ(item.imagePath, QStringLiteral("F/F1.jpeg"));
    EXPECT_EQ(item.filename, QStringLiteral("Beach.JPG"));
    EXPECT_EQ(item.size, QStringLiteral("2048"));
    EXPECT_EQ(item.Z_PK, QStringLiteral("1"));
    EXPECT_EQ(item.libraryURL, modernUrl);
    EXPECT_TRUE(item.model_uuid.isEmpty());
    EXPECT_GT(item.id, 0u);
    EXPECT_EQ(fetched->items[1].imagePath, QStringLiteral("/"));

    PhotosLibraryFixture old(dir, QStringLiteral("Old.photoslibrary"), PhotosLibraryFixture::Layout::Old);
    old.addOldPhoto(QStringLiteral("2012/a.jpg"), QStringLiteral("a.jpg"), 7);
    const auto oldFetched = PhotosLibraryOperation::fetchItems(QUrl::fromLocalFile(old.path()));
    ASSERT_TRUE(oldFetched);
    EXPECT_EQ(oldFetched->layout, Layout::Old);
    ASSERT_EQ(oldFetched->items.size(), 1);
    EXPECT_EQ(oldFetched->items[0].model_uuid, QStringLiteral("M-1"));
    EXPECT_EQ(oldFetched->items[0].imagePath, QStringLiteral("2012/a.jpg"));
    EXPECT_TRUE(oldFetched->items[0].Z_PK.isEmpty());
}

TEST(PhotosLibraryOperation, ImagePathsStayInsideThePackage)
{
    QTemporaryDir dir;
    const QString package = dir.path() + QStringLiteral("/L.photoslibrary");
    QDir().mkpath(package + QStringLiteral("/originals/A"));
    QFile outside(dir.path() + QStringLiteral("/secret.jpg"));
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.close();
    ASSERT_TRUE(QFile::link(outside.fileName(), package + QStringLiteral("/originals/A/link.jpg")));

    PhotosLibraryItem item;
    item.libraryURL = QUrl::fromLocalFile(package);
    const auto urlOf = [&](const QString &relative, Layout layout = Layout::New) {
        item.imagePath = relative;
        return PhotosLibraryOperation::imageURL(item, layout);
    };
    EXPECT_EQ(urlOf(QStringLiteral("A/x.jpg")),
        QUrl::fromLocalFile(package + QStringLiteral("/originals/A/x.jpg")));
    EXPECT_EQ(urlOf(QStringLiteral("A/x.jpg"), Layout::Old),
        QUrl::fromLocalFile(package + QStringLiteral("/Masters/A/x.jpg")));
    EXPECT_FALSE(urlOf(QStringLiteral("../../secret.jpg")));
    EXPECT_FALSE(urlOf(QStringLiteral("A/../../../secret.jpg")));
    EXPECT_FALSE(urlOf(QStringLiteral("/etc/passwd")));
    EXPECT_FALSE(urlOf(QStringLiteral("A/link.jpg")));
    item.libraryURL.reset();
    EXPECT_FALSE(urlOf(QStringLiteral("A/x.jpg")));
}
