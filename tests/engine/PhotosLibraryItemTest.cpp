// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PhotosLibraryItem.h"

#include <QDateTime>

#include <gtest/gtest.h>

TEST(PhotosLibraryItem, NewerLayoutColumnsAndImagePath)
{
    const QUrl library = QUrl::fromLocalFile(QStringLiteral("/media/disk/Family.photoslibrary"));
    const PhotosLibraryItem item = PhotosLibraryItem::fromNewLayout(
        { QStringLiteral("IMG_1.HEIC"), QStringLiteral("A"), QStringLiteral("7"),
            QStringLiteral("600000000.5"), QStringLiteral("600000001"), QStringLiteral("12345"),
            QStringLiteral("Beach.heic"), QStringLiteral("42"), QStringLiteral("uuid-1"), QStringLiteral("0"),
            QStringLiteral("public.heic") },
        library);
    EXPECT_EQ(item.libFileName, QStringLiteral("IMG_1.HEIC"));
    EXPECT_EQ(item.ZDIRECTORY, QStringLiteral("A"));
    EXPECT_EQ(item.ZADDITIONALATTRIBUTES, QStringLiteral("7"));
    EXPECT_EQ(item.ZDATECREATED, QStringLiteral("600000000.5"));
    EXPECT_EQ(item.ZMODIFICATIONDATE, QStringLiteral("600000001"));
    EXPECT_EQ(item.size, QStringLiteral("12345"));
    EXPECT_EQ(item.filename, QStringLiteral("Beach.heic"));
    EXPECT_EQ(item.Z_PK, QStringLiteral("42"));
    EXPECT_EQ(item.version_uuid, QStringLiteral("uuid-1"));
    EXPECT_EQ(item.ZKIND, QStringLiteral("0"));
    EXPECT_EQ(item.ZUNIFORMTYPEIDENTIFIER, QStringLiteral("public.heic"));
    EXPECT_EQ(item.imagePath, QStringLiteral("A/IMG_1.HEIC"));
    EXPECT_EQ(item.libraryURL, library);
    EXPECT_TRUE(item.model_uuid.isEmpty() && item.version_modelId.isEmpty() && item.albumName.isEmpty());
    EXPECT_TRUE(item.albumNames.isEmpty());

    // Both path columns empty (NULL) still join.
    EXPECT_EQ(PhotosLibraryItem::fromNewLayout({}, library).imagePath, QStringLiteral("/"));
    // Without its attributes row a photo has no original name: the stored one names it.
    EXPECT_EQ(PhotosLibraryItem::fromNewLayout({ QStringLiteral("IMG_2.JPG"), QStringLiteral("B") }, library)
                  .filename,
        QStringLiteral("IMG_2.JPG"));
}

TEST(PhotosLibraryItem, OlderLayoutColumns)
{
    const QUrl library = QUrl::fromLocalFile(QStringLiteral("/old.photoslibrary"));
    const PhotosLibraryItem item = PhotosLibraryItem::fromOldLayout(
        { QStringLiteral("m-uuid"), QStringLiteral("2012/05/x.jpg"), QStringLiteral("999"),
            QStringLiteral("v-uuid"), QStringLiteral("17"), QStringLiteral("x.jpg"), QStringLiteral("3") },
        library);
    EXPECT_EQ(item.model_uuid, QStringLiteral("m-uuid"));
    EXPECT_EQ(item.imagePath, QStringLiteral("2012/05/x.jpg"));
    EXPECT_EQ(item.size, QStringLiteral("999"));
    EXPECT_EQ(item.version_uuid, QStringLiteral("v-uuid"));
    EXPECT_EQ(item.version_modelId, QStringLiteral("17"));
    EXPECT_EQ(item.filename, QStringLiteral("x.jpg"));
    EXPECT_EQ(item.albumVersion_modelid, QStringLiteral("3"));
    EXPECT_TRUE(
        item.libFileName.isEmpty() && item.ZDIRECTORY.isEmpty() && item.ZUNIFORMTYPEIDENTIFIER.isEmpty());
}

TEST(PhotosLibraryItem, StampCountsTicksSinceYearOne)
{
    const quint64 before = PhotosLibraryItem::currentStamp();
    const PhotosLibraryItem item = PhotosLibraryItem::fromOldLayout({}, QUrl());
    EXPECT_GE(item.id, before);
    // 1970-01-01 is 621355968000000000 ticks after 0001-01-01.
    const quint64 ticks1970 = 621355968000000000ull;
    const quint64 expected = ticks1970 + quint64(QDateTime::currentMSecsSinceEpoch()) * 10000;
    EXPECT_LE(expected - item.id, 10000000ull * 60); // within a minute
}
