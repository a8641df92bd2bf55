// SPDX-License-Identifier: GPL-3.0-or-later
// Files made to take a reader down: content the library would parse with
// a parser of another format, pipes named like photos, and structures whose
// entries name the same bytes over and over.

#include "BridgeTestSupport.h"

#include "engine/FileProperties.h"
#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "support/CostlyShapes.h"
#include "support/TestEnvironment.h"
#include "support/Watchdog.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

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
    const MetadataOperation operation(engine::check::refusal);
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
    const MetadataOperation operation(engine::check::refusal);
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

// Structures whose entries name the same bytes over and over, which a walk
// that followed every name would take hours over (twelve to the eighth
// heaps; the square of twenty thousand entries), are written and cleared
// at once: the camera's heap reads, so it goes with the Exif; the trailer
// is taken for damaged, so it stays byte for byte and is told.
TEST(HostileFiles, EntriesNamingTheSameBytesOverAndOverHoldNoWriteOrClear)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    const QByteArray sample
        = bridgetest::fileBytes(testsupport::testDataDir() + QStringLiteral("/images/GPS.jpg"));
    ASSERT_TRUE(sample.startsWith("\xff\xd8"));
    const QByteArray heap = costlyshapes::heapSegment(12);
    const QByteArray trailer = costlyshapes::axsTrailer(20000);
    const QVariantMap city { { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Somewhere") } };
    const MetadataOperation operation(engine::check::refusal);
    const ConsoleCapture console;
    testsupport::Watchdog watchdog(1);
    const auto promptly = [&](const char *what, const std::function<bool()> &change) {
        watchdog.started(0, std::chrono::seconds(10), [what](std::chrono::seconds limit) {
            std::fputs(QStringLiteral("\n%1: still at work after %2 s of processor time\n")
                           .arg(QLatin1String(what))
                           .arg(limit.count())
                           .toUtf8()
                           .constData(),
                stderr);
        });
        const bool done = change();
        watchdog.finished(0);
        return done;
    };

    const QString heapPath
        = writeFile(dir, QStringLiteral("heap.jpg"), sample.left(2) + heap + sample.mid(2));
    EXPECT_TRUE(promptly("the heap's write", [&] { return operation.setMetadata(heapPath, city, false); }));
    EXPECT_TRUE(bridgetest::fileBytes(heapPath).contains(heap));
    EXPECT_TRUE(promptly("the heap's clear",
        [&] { return operation.clearMetadata(heapPath, true, false, false, false, false, false); }));
    EXPECT_FALSE(bridgetest::fileBytes(heapPath).contains("HEAPJPGM"));

    const QString trailerPath = writeFile(dir, QStringLiteral("trailer.jpg"), sample + trailer);
    Shortfalls written;
    EXPECT_TRUE(promptly("the trailer's write",
        [&] { return operation.setMetadata(trailerPath, city, false, {}, &written); }));
    EXPECT_TRUE(written.contains({ Shortfall::Kind::OlderCopyStays, QStringLiteral("Iptc.Application2.City"),
        QStringLiteral("a trailer after the picture cannot be read, so any copy in it stays") }));
    Shortfalls cleared;
    EXPECT_TRUE(promptly("the trailer's clear", [&] {
        return operation.clearMetadata(trailerPath, false, false, false, false, true, false, {}, &cleared);
    }));
    EXPECT_TRUE(cleared.contains({ Shortfall::Kind::Kept, QStringLiteral("iptc"),
        QStringLiteral("a trailer after the picture cannot be read, so any IPTC in it stays") }));
    EXPECT_TRUE(bridgetest::fileBytes(trailerPath).endsWith(trailer));
}
