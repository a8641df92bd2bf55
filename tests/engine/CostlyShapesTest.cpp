// SPDX-License-Identifier: GPL-3.0-or-later
// Files of a few megabytes at most that repeat one structure thousands of
// times, or name the same bytes from many places (tests/support/
// CostlyShapes), each of which once held a write or a read for seconds to
// days or took gigabytes. Each is read, written and cleaned as a copy, at
// once: a watchdog on the processor time of each, generous enough for the
// sanitizers, ends the run as a crash does where one is slow again. The
// times and peaks themselves are measured in bench/ (calvorn_bench_shapes).

#include "BridgeTestSupport.h"

#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "support/CostlyShapes.h"
#include "support/Watchdog.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

using bridgetest::ConsoleCapture;

namespace {

class CostlyShapesTest : public ::testing::Test
{
protected:
    QString copy(const char *name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QLatin1String(name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            return QString();
        return path;
    }

    // The work on one file, which must end within seconds of processor
    // time: a write, or the like, takes a few milliseconds.
    template <typename Result> Result promptly(const QString &what, const std::function<Result()> &work)
    {
        m_watchdog.started(0, std::chrono::seconds(20), [what](std::chrono::seconds limit) {
            std::fputs(qPrintable(QStringLiteral("\n%1: still at work after %2 s of processor time\n")
                                      .arg(what)
                                      .arg(limit.count())),
                stderr);
        });
        Result result = work();
        m_watchdog.finished(0);
        return result;
    }

    bool write(const QString &path)
    {
        return promptly<bool>(path + QStringLiteral(": the write"), [&] {
            return m_operation.setMetadata(path,
                { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Grace Hopper") },
                    { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Arlington") } },
                false);
        });
    }

    // Of all but the general Exif, which keeps the maker note to carry.
    bool clean(const QString &path)
    {
        return promptly<bool>(path + QStringLiteral(": the clean"),
            [&] { return m_operation.clearMetadata(path, false, true, true, false, true, true); });
    }

    std::optional<QVariantMap> read(const QString &path)
    {
        return promptly<std::optional<QVariantMap>>(
            path + QStringLiteral(": the read"), [&] { return m_operation.getMetadata(path); });
    }

    QTemporaryDir m_dir;
    const MetadataOperation m_operation { engine::check::refusal };
    testsupport::Watchdog m_watchdog { 1 };
};

} // namespace

// The walks a write makes over a maker note and over where its values
// stand after the write spend one budget in proportion to the file: each
// directory is walked once, and the segments are read once, not once a
// value. A note whose values lie in 100,000 comment segments is written and
// cleaned in time; the library writes the first comment anew behind the
// others, which a reader of the first comment would see, so the check of
// the whole file leaves it as it was, with the reason; one whose
// directories chain four deep and point before the note is written or left
// as it was; one whose 1,000 entries all name one preview, which the check
// would compare 1,000 times, is left as it was, with the reason.
TEST_F(CostlyShapesTest, WalksOverAMakerNoteEndInTimeInProportionToTheFile)
{
    const ConsoleCapture console;
    // Each on a copy of its own: the library writes the first comment anew,
    // where the next holds a value of the note.
    const QByteArray inComments = costlyshapes::noteInComments();
    const QString written = copy("note-in-comments.jpg", inComments);
    const QString cleaned = copy("note-in-comments-cleaned.jpg", inComments);
    // Once a write keeps the comments in their order, both are written and
    // the last comment stays where the note's value names it.
    EXPECT_FALSE(write(written));
    EXPECT_EQ(MetadataOperation::lastFailure(), QStringLiteral("its comment would change"));
    EXPECT_FALSE(clean(cleaned));
    EXPECT_EQ(MetadataOperation::lastFailure(), QStringLiteral("its comment would change"));
    for (const QString &path : { written, cleaned })
        EXPECT_EQ(bridgetest::fileBytes(path), inComments);

    const QByteArray chain = costlyshapes::olympusChain();
    const QString chainPath = copy("olympus-chain.jpg", chain);
    // Its values before it cannot be carried: left as it was, or written
    // where the check finds every value again.
    if (!write(chainPath)) {
        EXPECT_EQ(bridgetest::fileBytes(chainPath), chain);
    }
    const QByteArray beforeClean = bridgetest::fileBytes(chainPath);
    if (!clean(chainPath)) {
        EXPECT_EQ(bridgetest::fileBytes(chainPath), beforeClean);
    }

    const QByteArray named = costlyshapes::noteNamingOnePreview();
    const QString namedPath = copy("note-naming-one-preview.jpg", named);
    EXPECT_FALSE(write(namedPath));
    EXPECT_EQ(MetadataOperation::lastFailure(),
        QStringLiteral(
            "the camera's data would not survive the write: its maker note names the same data over "
            "and over, more than a camera writes, so it cannot be read whole"));
    EXPECT_EQ(bridgetest::fileBytes(namedPath), named);
}

// Files the library would take seconds to minutes or gigabytes to read are
// not handed to it: IPTC split over 24,000 segments, a WebP of 2,000 Exif
// and XMP chunks, a TIFF whose maker note's 250 entries each name one
// block of a megabyte. A read fails with the reason, so the photo shows no
// values; a write and a clean leave the file as it was, with the reason.
TEST_F(CostlyShapesTest, FilesTheLibraryWouldReadForMinutesAreLeftUnread)
{
    const ConsoleCapture console;
    const std::tuple<const char *, QByteArray, QString> shapes[] = {
        { "split-iptc.jpg", costlyshapes::splitIptc(),
            QStringLiteral(
                "its IPTC and Photoshop data are split over 24000 segments, more than a photo has, "
                "which the library would take too long to join") },
        { "webp-chunks.webp", costlyshapes::manyWebpChunks(),
            QStringLiteral(
                "it holds 2000 chunks of Exif and XMP where a WebP holds one of each, which the library "
                "would take too long to read") },
        { "canon-note-one-block.tif", costlyshapes::canonNoteNamingOneBlock(),
            QStringLiteral("its Exif names the same data over and over, 250.0 MB in all in a file of 1.0 MB, "
                           "which the library would take too long and too much memory to read") },
    };
    for (const auto &[name, bytes, reason] : shapes) {
        SCOPED_TRACE(name);
        const QString path = copy(name, bytes);
        const QString failure = QStringLiteral("the file is left unread: ") + reason;
        EXPECT_FALSE(read(path).has_value());
        EXPECT_EQ(MetadataOperation::lastFailure(), failure);
        EXPECT_FALSE(write(path));
        EXPECT_EQ(MetadataOperation::lastFailure(), failure);
        EXPECT_FALSE(clean(path));
        EXPECT_EQ(MetadataOperation::lastFailure(), failure);
        EXPECT_EQ(bridgetest::fileBytes(path), bytes);
    }
}

// A layered TIFF as image editors save it keeps its layers in one value of
// its first directory: read, it shows as its size, and its bytes are never
// turned into text; written and cleaned, its layers stay byte for byte.
TEST_F(CostlyShapesTest, ALayeredTiffsLayersAreShownAsTheirSizeAndCarriedAsTheirBytes)
{
    const QByteArray tiff = costlyshapes::layeredTiff(4);
    const QByteArray layers = tiff.right(4 << 20);
    ASSERT_TRUE(layers.startsWith("Adobe Photoshop Document Data Block"));
    const QString path = copy("layered.tif", tiff);
    const std::optional<QVariantMap> values = read(path);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->value(QStringLiteral("Exif.Image.0x935c")).toString(),
        QStringLiteral("(4194304 bytes of binary data)"))
        << qPrintable(values->keys().join(QLatin1Char(' ')));
    EXPECT_TRUE(write(path));
    EXPECT_TRUE(clean(path));
    const QByteArray written = bridgetest::fileBytes(path);
    EXPECT_TRUE(written.contains(layers));
    EXPECT_EQ(
        read(path)->value(QStringLiteral("Exif.Image.Artist")).toString(), QStringLiteral("Grace Hopper"));
}
