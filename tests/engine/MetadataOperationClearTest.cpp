// SPDX-License-Identifier: GPL-3.0-or-later
#include "BridgeTestSupport.h"

#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "support/TestEnvironment.h"
#include "support/TiffPages.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using bridgetest::ConsoleCapture;

namespace {

const QStringList gpsPosition {
    QStringLiteral("Exif.GPSInfo.GPSLatitude"),
    QStringLiteral("Exif.GPSInfo.GPSLatitudeRef"),
    QStringLiteral("Exif.GPSInfo.GPSLongitude"),
    QStringLiteral("Exif.GPSInfo.GPSLongitudeRef"),
    QStringLiteral("Exif.GPSInfo.GPSAltitude"),
    QStringLiteral("Exif.GPSInfo.GPSAltitudeRef"),
};
const QString orientation = QStringLiteral("Exif.Image.Orientation");
const QString userComment = QStringLiteral("Exif.Photo.UserComment");
// What a JPEG's Exif says of the picture itself, which stays while any Exif does.
const QStringList pictureDescription {
    QStringLiteral("Exif.Image.XResolution"),
    QStringLiteral("Exif.Image.YResolution"),
    QStringLiteral("Exif.Image.ResolutionUnit"),
    QStringLiteral("Exif.Image.YCbCrPositioning"),
    QStringLiteral("Exif.Photo.ExifVersion"),
    QStringLiteral("Exif.Photo.ComponentsConfiguration"),
    QStringLiteral("Exif.Photo.FlashpixVersion"),
    QStringLiteral("Exif.Photo.ColorSpace"),
    QStringLiteral("Exif.Photo.PixelXDimension"),
    QStringLiteral("Exif.Photo.PixelYDimension"),
};

// Pointers to sub-directories, which the library writes for whatever remains.
bool isPointer(const QString &key)
{
    return key == QLatin1String("Exif.Image.ExifTag") || key == QLatin1String("Exif.Image.GPSTag");
}

QVariantMap group(const QVariantMap &entries, const QString &prefix)
{
    QVariantMap result;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it.key().startsWith(prefix) && !isPointer(it.key()) && !it.key().contains(QLatin1String("Offset"))
            && !it.key().contains(QLatin1String("JPEGInterchangeFormat"))
            && it.key() != QLatin1String("Exif.Photo.MakerNote"))
            result.insert(it.key(), it.value());
    }
    return result;
}

QVariantMap without(QVariantMap entries, const QStringList &keys)
{
    for (const QString &key : keys)
        entries.remove(key);
    return entries;
}

QVariantMap only(const QVariantMap &entries, const QStringList &keys)
{
    QVariantMap result;
    for (const QString &key : keys) {
        if (entries.contains(key))
            result.insert(key, entries.value(key));
    }
    return result;
}

QStringList keysStartingWith(const QVariantMap &entries, const QString &prefix)
{
    return QStringList(entries.keys())
        .filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
}

struct Flags
{
    bool exif = false, orientation = false, gps = false, comment = false, iptc = false, xmp = false;
};

class MetadataOperationClear : public ::testing::Test
{
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA();
        ASSERT_TRUE(bridgetest::hasPeer()) << "the exiv2 command is installed by scripts/install-deps";
    }

    // A photo with every group: full GPS, orientation, user comment, JPEG
    // comment, IPTC and XMP.
    QString richPhoto()
    {
        const QString path = testsupport::copyTestFile(QStringLiteral("images/FurnaceCreekInn.jpg"), m_dir,
            QStringLiteral("photo%1.jpg").arg(++m_count));
        EXPECT_TRUE(bridgetest::peerModify(path,
            { QStringLiteral("set Exif.Image.Orientation 6"),
                QStringLiteral("set Exif.Photo.UserComment charset=Ascii A note") }));
        EXPECT_TRUE(bridgetest::runPeer(
            { QStringLiteral("-c"), QStringLiteral("The JPEG comment"), QStringLiteral("mo") }, path));
        return path;
    }

    // Clears with the flags; returns the entries before and after.
    std::pair<QVariantMap, QVariantMap> clear(const QString &path, Flags f)
    {
        const QVariantMap before = *m_operation.getMetadata(path);
        ConsoleCapture console;
        EXPECT_TRUE(m_operation.clearMetadata(path, f.exif, f.orientation, f.gps, f.comment, f.iptc, f.xmp));
        EXPECT_TRUE(console.failures().isEmpty());
        return { before, *m_operation.getMetadata(path) };
    }

    static QString jpegComment(const QString &path)
    {
        return bridgetest::runPeer({ QStringLiteral("-pc") }, path).value_or(QString()).trimmed();
    }

    QTemporaryDir m_dir;
    int m_count = 0;
    const MetadataOperation m_operation { engine::check::refusal };
};

} // namespace

TEST_F(MetadataOperationClear, TheFixtureHoldsEveryGroup)
{
    const QString path = richPhoto();
    const QVariantMap e = *m_operation.getMetadata(path);
    for (const QString &key : gpsPosition + QStringList { orientation, userComment })
        EXPECT_TRUE(e.contains(key)) << key.toStdString();
    EXPECT_FALSE(group(e, QStringLiteral("Iptc.")).isEmpty());
    EXPECT_FALSE(group(e, QStringLiteral("Xmp.")).isEmpty());
    EXPECT_EQ(bridgetest::PeerReport(path).values(QStringLiteral("Exif.GPSInfo.GPSVersionID")).size(), 1u);
    EXPECT_EQ(jpegComment(path), QStringLiteral("The JPEG comment"));
}

TEST_F(MetadataOperationClear, GeneralExifSparesGpsOrientationCommentAndWhatDescribesThePicture)
{
    const QString path = richPhoto();
    const auto [before, after] = clear(path, { .exif = true });
    QStringList kept = keysStartingWith(before, QStringLiteral("Exif.GPSInfo.")) + pictureDescription;
    kept << orientation << userComment;
    EXPECT_EQ(bridgetest::differences(group(after, QStringLiteral("Exif.")), only(before, kept)), QString());
    EXPECT_EQ(group(after, QStringLiteral("Iptc.")), group(before, QStringLiteral("Iptc.")));
    EXPECT_EQ(group(after, QStringLiteral("Xmp.")), group(before, QStringLiteral("Xmp.")));
    EXPECT_EQ(bridgetest::PeerReport(path).values(QStringLiteral("Exif.GPSInfo.GPSVersionID")).size(), 1u);
    EXPECT_EQ(jpegComment(path), QStringLiteral("The JPEG comment"));
}

// The position goes with its time, date, direction and version.
TEST_F(MetadataOperationClear, GpsAloneTakesTheWholeGpsDirectory)
{
    const QString path = richPhoto();
    const auto [before, after] = clear(path, { .gps = true });
    EXPECT_EQ(bridgetest::differences(group(after, QStringLiteral("")),
                  without(group(before, QStringLiteral("")),
                      keysStartingWith(before, QStringLiteral("Exif.GPSInfo.")))),
        QString());
    EXPECT_TRUE(bridgetest::PeerReport(path).values(QStringLiteral("Exif.GPSInfo.GPSVersionID")).empty());
}

TEST_F(MetadataOperationClear, OrientationAloneTakesOnlyTheOrientation)
{
    const QString path = richPhoto();
    const auto [before, after] = clear(path, { .orientation = true });
    EXPECT_EQ(bridgetest::differences(group(after, QStringLiteral("")),
                  without(group(before, QStringLiteral("")), { orientation })),
        QString());
}

TEST_F(MetadataOperationClear, CommentAloneTakesTheUserCommentAndTheJpegComment)
{
    const QString path = richPhoto();
    const auto [before, after] = clear(path, { .comment = true });
    EXPECT_EQ(bridgetest::differences(group(after, QStringLiteral("")),
                  without(group(before, QStringLiteral("")), { userComment })),
        QString());
    EXPECT_EQ(jpegComment(path), QString());
}

TEST_F(MetadataOperationClear, IptcOrXmpAloneLeaveTheOtherGroups)
{
    const QString iptcPath = richPhoto();
    const auto [iptcBefore, iptcAfter] = clear(iptcPath, { .iptc = true });
    EXPECT_TRUE(group(iptcAfter, QStringLiteral("Iptc.")).isEmpty());
    EXPECT_EQ(group(iptcAfter, QStringLiteral("Exif.")), group(iptcBefore, QStringLiteral("Exif.")));
    EXPECT_EQ(group(iptcAfter, QStringLiteral("Xmp.")), group(iptcBefore, QStringLiteral("Xmp.")));

    const QString xmpPath = richPhoto();
    const auto [xmpBefore, xmpAfter] = clear(xmpPath, { .xmp = true });
    EXPECT_TRUE(group(xmpAfter, QStringLiteral("Xmp.")).isEmpty());
    EXPECT_EQ(group(xmpAfter, QStringLiteral("Exif.")), group(xmpBefore, QStringLiteral("Exif.")));
    EXPECT_EQ(group(xmpAfter, QStringLiteral("Iptc.")), group(xmpBefore, QStringLiteral("Iptc.")));
    EXPECT_EQ(jpegComment(xmpPath), QStringLiteral("The JPEG comment"));
}

TEST_F(MetadataOperationClear, ExifSidesTogether)
{
    const QString path = richPhoto();
    const auto [before, after] = clear(path, { .exif = true, .orientation = true, .gps = true });
    EXPECT_EQ(bridgetest::differences(group(after, QStringLiteral("Exif.")),
                  only(before, QStringList(pictureDescription) << userComment)),
        QString());
    EXPECT_EQ(jpegComment(path), QStringLiteral("The JPEG comment"));

    const QString all = richPhoto();
    const auto [allBefore, allAfter]
        = clear(all, { .exif = true, .orientation = true, .gps = true, .comment = true });
    EXPECT_TRUE(bridgetest::PeerReport(all).values(QStringLiteral("Exif.Image.ExifTag")).empty());
    for (const QString &key : allAfter.keys())
        EXPECT_FALSE(key.startsWith(QLatin1String("Exif."))) << key.toStdString();
    EXPECT_EQ(group(allAfter, QStringLiteral("Iptc.")), group(allBefore, QStringLiteral("Iptc.")));
    EXPECT_EQ(jpegComment(all), QString());
}

TEST_F(MetadataOperationClear, NoFlagRewritesTheFileUnchanged)
{
    const QString path = richPhoto();
    const auto [before, after] = clear(path, {});
    EXPECT_EQ(bridgetest::differences(group(after, QStringLiteral("")), group(before, QStringLiteral(""))),
        QString());
    EXPECT_EQ(jpegComment(path), QStringLiteral("The JPEG comment"));
}

TEST_F(MetadataOperationClear, ClearingATiffKeepsItsPicture)
{
    for (const QString &name : { QStringLiteral("Reagan.tiff"), QStringLiteral("ReaganLargeTiff.tiff") }) {
        const QString path = testsupport::copyTestFile(QStringLiteral("images/") + name, m_dir);
        const QImage before = bridgetest::pixels(path);
        ASSERT_FALSE(before.isNull());
        ASSERT_TRUE(m_operation.clearMetadata(path, true, true, true, true, true, true));
        EXPECT_EQ(bridgetest::pixels(path), before) << name.toStdString();
        ASSERT_TRUE(m_operation.setMetadata(
            path, { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Back") } }, true));
        EXPECT_EQ(bridgetest::pixels(path), before) << name.toStdString();
    }
}

TEST_F(MetadataOperationClear, EachCleanOfADocumentKeepsItsPagesAndTheirOwnOrientation)
{
    const QList<QColor> colours { Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta };
    const Flags cleans[] = { { .orientation = true }, { .exif = true },
        { .exif = true, .orientation = true, .gps = true, .comment = true, .iptc = true, .xmp = true } };
    for (const Flags &f : cleans) {
        const QString path = m_dir.filePath(QStringLiteral("document%1.tif").arg(++m_count));
        ASSERT_TRUE(testsupport::writePages(path, colours));
        const QList<QByteArray> pages = testsupport::pagesOf(path);
        Shortfalls kept;
        ConsoleCapture console;
        ASSERT_TRUE(m_operation.clearMetadata(
            path, f.exif, f.orientation, f.gps, f.comment, f.iptc, f.xmp, {}, &kept))
            << qPrintable(console.failures().join(u'\n'));
        EXPECT_EQ(testsupport::pagesOf(path), pages);
        const QVariantMap after = *m_operation.getMetadata(path);
        // The second directory is the second page, not a thumbnail: its
        // orientation is its own, and the clean says it stays.
        EXPECT_EQ(after.contains(orientation), !f.orientation);
        EXPECT_TRUE(after.contains(QStringLiteral("Exif.Thumbnail.Orientation")));
        const Shortfall pagesTurn { Shortfall::Kind::Kept, QStringLiteral("orientation"),
            QStringLiteral("each further page of the document keeps its own orientation") };
        EXPECT_EQ(kept.contains(pagesTurn), f.orientation);
    }
}

TEST_F(MetadataOperationClear, AGroupTheFormatCannotHoldIsPassedOver)
{
    const QString path = testsupport::copyTestFile(QStringLiteral("images/exiv2-bug1199.webp"), m_dir);
    const auto [before, after] = clear(path, { .iptc = true });
    EXPECT_EQ(bridgetest::differences(group(after, QStringLiteral("")), group(before, QStringLiteral(""))),
        QString());
}
