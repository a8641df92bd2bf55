// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileProperties.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FileProperties, ByteCountTexts)
{
    EXPECT_EQ(formattedByteCount(0), QStringLiteral("0 bytes"));
    EXPECT_EQ(formattedByteCount(1022), QStringLiteral("1022 bytes"));
    EXPECT_EQ(formattedByteCount(1023), QStringLiteral("0.0 KB"));
    EXPECT_EQ(formattedByteCount(1536), QStringLiteral("1.0 KB"));
    EXPECT_EQ(formattedByteCount(1047551), QStringLiteral("1022.0 KB"));
    EXPECT_EQ(formattedByteCount(1047552), QStringLiteral("1.0 MB"));
    EXPECT_EQ(formattedByteCount(1073741824), QStringLiteral("1.0 GB"));
    EXPECT_EQ(formattedByteCount(5 * 1048576 + 512 * 1024), QStringLiteral("5.5 MB"));
    // An exact half rounds to the even digit, as "%.1f" does: 1.25 MB.
    EXPECT_EQ(formattedByteCount(1280 * 1024), QStringLiteral("1.2 MB"));
    EXPECT_EQ(formattedByteCount(1331 * 1024), QStringLiteral("1.3 MB"));
    // Just below 1023 MB stays in MB; from there on it is GB.
    EXPECT_EQ(formattedByteCount(quint64(1022) * 1048576), QStringLiteral("1022.0 MB"));
    EXPECT_EQ(formattedByteCount(quint64(1023) * 1048576), QStringLiteral("1.0 GB"));
    EXPECT_EQ(formattedByteCount(quint64(5000) * 1073741824), QStringLiteral("5000.0 GB"));
}

TEST(FileProperties, SizesDatesAndPixelSizesOfRealFiles)
{
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    ASSERT_TRUE(image.save(photo, "JPEG"));
    const quint64 bytes = quint64(QFile(photo).size());

    EXPECT_EQ(fileSizeBytes(photo), std::optional<quint64>(bytes));
    EXPECT_EQ(fileSizeString(photo), std::optional<QString>(formattedByteCount(bytes)));
    EXPECT_EQ(imagePixelSize(photo),
        (std::optional<std::pair<QString, QString>>({ QStringLiteral("120"), QStringLiteral("90") })));
    EXPECT_EQ(thumbnail(photo, QSize(60, 20)).size(), QSize(60, 45));
    if (const auto created = fileCreationDate(photo)) {
        EXPECT_LE(qAbs(created->secsTo(QDateTime::currentDateTime())), 60);
    }

    const QString missing = dir.filePath(QStringLiteral("missing.jpg"));
    EXPECT_FALSE(fileSizeBytes(missing));
    EXPECT_FALSE(fileSizeString(missing));
    EXPECT_FALSE(fileCreationDate(missing));
    EXPECT_FALSE(imagePixelSize(missing));
    EXPECT_TRUE(thumbnail(missing, QSize(160, 160)).isNull());

    QFile text(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("hello");
    text.close();
    EXPECT_EQ(fileSizeString(text.fileName()), std::optional<QString>(QStringLiteral("5 bytes")));
    EXPECT_FALSE(imagePixelSize(text.fileName()));
}
