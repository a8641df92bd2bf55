// SPDX-License-Identifier: GPL-3.0-or-later
// Files made to take a reader down: content the library would parse with
// a parser of another format, and pipes named like photos.

#include "BridgeTestSupport.h"

#include "engine/FileProperties.h"
#include "engine/MetadataOperation.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using bridgetest::ConsoleCapture;
using testsupport::returnsPromptly;

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

} // namespace

// Video containers that the library detects whatever the file is called,
// damaged so that their parsers would overrun or loop: every reader refuses
// them by their detected type, before any parser sees them.
TEST(HostileFiles, DamagedVideosNamedLikePhotosAreRefusedBeforeAnyParse)
{
    QTemporaryDir dir;
    const QByteArray garbage = QByteArray(4096, '\xff');
    const std::pair<const char *, QByteArray> videos[] = {
        { "RIFF",
            QByteArray("RIFF\xff\xff\xff\x7f"
                       "AVI LIST\xff\xff\xff\x7f",
                20)
                + garbage },
        { "Matroska",
            QByteArray("\x1a\x45\xdf\xa3\x01\x00\x00\x00\x00\x00\x00\x1f\x42\x86\x81\x01", 16) + garbage },
        { "ASF",
            QByteArray("\x30\x26\xb2\x75\x8e\x66\xcf\x11\xa6\xd9\x00\xaa\x00\x62\xce\x6c\xff\xff\xff\xff", 20)
                + garbage },
        { "QuickTime",
            QByteArray("\x00\x00\x00\x14"
                       "ftypqt  \x00\x00\x00\x00"
                       "qt  \xff\xff\xff\xff",
                24)
                + garbage },
    };
    const MetadataOperation operation;
    for (const auto &[type, bytes] : videos) {
        SCOPED_TRACE(type);
        const QString path = writeFile(dir, QStringLiteral("%1.jpg").arg(QLatin1String(type)), bytes);
        ASSERT_FALSE(path.isEmpty());
        ConsoleCapture console;
        EXPECT_FALSE(operation.getMetadata(path));
        EXPECT_FALSE(operation.readJSONStringFrom(path));
        operation.readFrom(path);
        EXPECT_FALSE(operation.setMetadata(
            path, { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("x") } }, false));
        EXPECT_FALSE(imagePixelSize(path));
        EXPECT_TRUE(thumbnail(path, QSize(100, 100)).isNull());
        ASSERT_EQ(console.failures().size(), 4);
        EXPECT_TRUE(console.failures().first().contains(
            QStringLiteral("Image type %1 is not supported").arg(QLatin1String(type))))
            << console.failures().first().toStdString();
        EXPECT_TRUE(console.failures().last().contains(
            QStringLiteral("Writing to %1 images is not supported").arg(QLatin1String(type))))
            << console.failures().last().toStdString();
        EXPECT_EQ(bridgetest::fileBytes(path), bytes);
    }
}

// A pipe named like a photo has no writer: a reader that opened it the
// usual way would wait for ever. Every reader refuses it at once.
TEST(HostileFiles, APipeNamedLikeAPhotoNeverBlocksAReader)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(testsupport::makePipe(path));
    const MetadataOperation operation;
    ConsoleCapture console;
    EXPECT_TRUE(returnsPromptly({ path }, [&] { EXPECT_FALSE(operation.getMetadata(path)); }));
    EXPECT_TRUE(returnsPromptly({ path }, [&] { EXPECT_FALSE(operation.readJSONStringFrom(path)); }));
    EXPECT_TRUE(returnsPromptly({ path }, [&] { EXPECT_FALSE(operation.setMetadata(path, {}, true)); }));
    EXPECT_TRUE(returnsPromptly(
        { path }, [&] { EXPECT_FALSE(operation.clearMetadata(path, true, true, true, true, true, true)); }));
    EXPECT_TRUE(returnsPromptly({ path }, [&] { EXPECT_FALSE(imagePixelSize(path)); }));
    EXPECT_TRUE(returnsPromptly({ path }, [&] { EXPECT_TRUE(thumbnail(path, QSize(160, 160)).isNull()); }));
    ASSERT_EQ(console.failures().size(), 4);
    for (const QString &failure : console.failures())
        EXPECT_TRUE(failure.contains(QStringLiteral("not a regular file"))) << failure.toStdString();
}
