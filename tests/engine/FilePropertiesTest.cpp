// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileProperties.h"

#include <QFile>
#include <QImage>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FileProperties, ByteCountTexts)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(formattedByteCount(0), QStringLiteral("0 bytes"));
    EXPECT_EQ(formattedByteCount(1023), QStringLiteral("1,023 bytes"));
    EXPECT_EQ(formattedByteCount(1024), QStringLiteral("1.0 kB"));
    EXPECT_EQ(formattedByteCount(1536), QStringLiteral("1.5 kB"));
    EXPECT_EQ(formattedByteCount(5 * 1048576 + 512 * 1024), QStringLiteral("5.5 MB"));
    EXPECT_EQ(formattedByteCount(quint64(5000) * 1073741824), QStringLiteral("4.9 TB"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(formattedByteCount(1536), QStringLiteral("1,5 kB")) << "in the user's number format";
    QLocale::setDefault(before);
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
