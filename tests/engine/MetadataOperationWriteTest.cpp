// SPDX-License-Identifier: GPL-3.0-or-later
#include "BridgeTestSupport.h"

#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "support/TestEnvironment.h"

#include <QFileInfo>

#include <exiv2/image.hpp>

#include <gtest/gtest.h>

using bridgetest::ConsoleCapture;
using bridgetest::PeerValue;

namespace {

struct Groups
{
    bool exif = false, iptc = false, xmp = false, comment = false;
};

Groups groupsOf(const QString &path)
{
    const int type = Exiv2::ImageFactory::getType(QFile::encodeName(path).toStdString());
    const auto has
        = [type](Exiv2::MetadataId id) { return Exiv2::ImageFactory::checkMode(type, id) != Exiv2::amNone; };
    return { has(Exiv2::mdExif), has(Exiv2::mdIptc), has(Exiv2::mdXmp), has(Exiv2::mdComment) };
}

QVariantMap sampleValues()
{
    return {
        { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Ada Lovelace") },
        { QStringLiteral("Exif.Photo.UserComment"), QStringLiteral("Grüße aus Zürich") },
        { QStringLiteral("Exif.Photo.DateTimeOriginal"), QStringLiteral("2019:07:14 09:30:05") },
        { QStringLiteral("Exif.Photo.ISOSpeedRatings"), QVariant::fromValue<qint64>(400) },
        { QStringLiteral("Exif.Photo.FNumber"), 2.8 },
        { QStringLiteral("Exif.Photo.ExposureTime"), 0.004 },
        { QStringLiteral("Exif.Image.Orientation"), QVariant::fromValue<qint64>(6) },
        { QStringLiteral("Exif.Photo.StandardOutputSensitivity"), QVariant::fromValue<qint64>(100000) },
        { QStringLiteral("Exif.GPSInfo.GPSLatitude"), -33.8568 },
        { QStringLiteral("Exif.GPSInfo.GPSLatitudeRef"), QStringLiteral("S") },
        { QStringLiteral("Exif.GPSInfo.GPSLongitude"), 151.2153 },
        { QStringLiteral("Exif.GPSInfo.GPSLongitudeRef"), QStringLiteral("E") },
        { QStringLiteral("Exif.GPSInfo.GPSAltitude"), 123.456 },
        { QStringLiteral("Exif.GPSInfo.GPSAltitudeRef"), QVariant::fromValue<qint64>(1) },
        { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Zürich") },
        { QStringLiteral("Iptc.Application2.Keywords"), QStringLiteral("alpha, beta,gamma") },
        { QStringLiteral("Iptc.Application2.DateCreated"), QStringLiteral("2019-07-14") },
        { QStringLiteral("Iptc.Application2.TimeCreated"), QStringLiteral("09:30:05") },
        { QStringLiteral("Xmp.xmp.CreateDate"), QStringLiteral("2019:07:14 09:30:05") },
        { QStringLiteral("Xmp.aux.Lens"), QStringLiteral("50mm f/1.8") },
    };
}

// Without what the library itself changes whenever it rewrites a file: file
// offsets, the maker note's raw bytes (its decoded values stay) and the
// TIFF image tags it leaves out of the Exif of other formats.
QVariantMap withoutOffsets(QVariantMap entries)
{
    for (auto it = entries.begin(); it != entries.end();) {
        const QString &key = it.key();
        const bool offset = key.endsWith(QLatin1String("Tag")) || key.contains(QLatin1String("Offset"))
            || key.contains(QLatin1String("JPEGInterchangeFormat"))
            || key == QLatin1String("Exif.Photo.MakerNote") || key == QLatin1String("Exif.Image.SubIFDs")
            || key == QLatin1String("Exif.Image.PhotometricInterpretation");
        it = offset ? entries.erase(it) : std::next(it);
    }
    return entries;
}

void expectPeer(const QString &path, const QString &key, const QString &typeAndValue)
{
    EXPECT_EQ(bridgetest::PeerReport(path).typeAndValue(key), typeAndValue) << key.toStdString();
}

class MetadataOperationWrite : public ::testing::Test
{
protected:
    void SetUp() override { REQUIRE_TEST_DATA(); }
    QString copy(const QString &name, const QString &newName = QString())
    {
        return testsupport::copyTestFile(QStringLiteral("images/") + name, m_dir, newName);
    }
    QTemporaryDir m_dir;
    const MetadataOperation m_operation { engine::check::refusal };
};

} // namespace

TEST_F(MetadataOperationWrite, ValuesReadBackHereAndInThePeerForEveryWritableFormat)
{
    QStringList files = bridgetest::writableImages();
    files << QStringLiteral("Reagan.jpg=Reagan.jpeg");
    for (const QString &entry : files) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        SCOPED_TRACE(entry.toStdString());
        const QString path = copy(name, entry.section(QLatin1Char('='), 1, 1));
        const QImage before = bridgetest::pixels(path);
        const Groups groups = groupsOf(path);

        ConsoleCapture console;
        ASSERT_TRUE(m_operation.setMetadata(path, sampleValues(), false))
            << console.failures().join(u'\n').toStdString();
        EXPECT_TRUE(console.failures().isEmpty());
        EXPECT_EQ(bridgetest::folderEntries(m_dir.path()).filter(QStringLiteral(".calvorn-")).size(), 0);

        const std::optional<QVariantMap> read = m_operation.getMetadata(path);
        ASSERT_TRUE(read.has_value());
        const QVariantMap &e = *read;
        if (groups.exif) {
            EXPECT_EQ(e.value(QStringLiteral("Exif.Image.Artist")), QVariant(QStringLiteral("Ada Lovelace")));
            EXPECT_EQ(e.value(QStringLiteral("Exif.Photo.UserComment")),
                QVariant(QStringLiteral("Grüße aus Zürich")));
            EXPECT_EQ(e.value(QStringLiteral("Exif.Photo.DateTimeOriginal")),
                QVariant(QStringLiteral("2019:07:14 09:30:05")));
            EXPECT_EQ(
                e.value(QStringLiteral("Exif.Photo.ISOSpeedRatings")), QVariant::fromValue<qint64>(400));
            EXPECT_EQ(e.value(QStringLiteral("Exif.Photo.FNumber")), QVariant(2.8));
            EXPECT_EQ(e.value(QStringLiteral("Exif.Photo.ExposureTime")), QVariant(0.004));
            EXPECT_EQ(e.value(QStringLiteral("Exif.Image.Orientation")), QVariant::fromValue<qint64>(6));
            EXPECT_EQ(e.value(QStringLiteral("Exif.Photo.StandardOutputSensitivity")),
                QVariant::fromValue<qint64>(100000));
            EXPECT_DOUBLE_EQ(e.value(QStringLiteral("Exif.GPSInfo.GPSLatitude")).toDouble(),
                33 + 51 / 60.0 + 24.48 / 3600.0);
            EXPECT_EQ(e.value(QStringLiteral("Exif.GPSInfo.GPSLatitudeRef")), QVariant(QStringLiteral("S")));
            EXPECT_DOUBLE_EQ(e.value(QStringLiteral("Exif.GPSInfo.GPSLongitude")).toDouble(),
                151 + 12 / 60.0 + 55.08 / 3600.0);
            EXPECT_EQ(e.value(QStringLiteral("Exif.GPSInfo.GPSAltitude")), QVariant(123.45));
            EXPECT_EQ(e.value(QStringLiteral("Exif.GPSInfo.GPSAltitudeRef")), QVariant(1.0));
        }
        if (groups.iptc) {
            EXPECT_EQ(e.value(QStringLiteral("Iptc.Application2.City")), QVariant(QStringLiteral("Zürich")));
            EXPECT_EQ(e.value(QStringLiteral("Iptc.Application2.Keywords")),
                QVariant(QStringLiteral("alpha, beta, gamma")));
        }
        if (groups.xmp) {
            EXPECT_EQ(e.value(QStringLiteral("Xmp.xmp.CreateDate")),
                QVariant(QStringLiteral("2019-07-14T09:30:05")));
            EXPECT_EQ(e.value(QStringLiteral("Xmp.aux.Lens")), QVariant(QStringLiteral("50mm f/1.8")));
        }
        EXPECT_EQ(bridgetest::pixels(path), before);

        if (!bridgetest::hasPeer())
            continue;
        const bridgetest::PeerReport peer(path);
        const auto expectType = [&peer](const char *key, const char *typeAndValue) {
            EXPECT_EQ(peer.typeAndValue(QString::fromLatin1(key)), QString::fromUtf8(typeAndValue)) << key;
        };
        if (groups.exif) {
            expectType("Exif.Image.Artist", "Ascii Ada Lovelace");
            expectType("Exif.Photo.UserComment", "Undefined charset=Unicode Grüße aus Zürich");
            expectType("Exif.Photo.ISOSpeedRatings", "Short 400");
            expectType("Exif.Photo.FNumber", "Rational 14/5");
            expectType("Exif.Photo.ExposureTime", "Rational 1/250");
            expectType("Exif.Image.Orientation", "Short 6");
            expectType("Exif.Photo.StandardOutputSensitivity", "Long 100000");
            expectType("Exif.GPSInfo.GPSLatitude", "Rational 33/1 51/1 2448/100");
            expectType("Exif.GPSInfo.GPSLatitudeRef", "Ascii S");
            expectType("Exif.GPSInfo.GPSAltitude", "Rational 12345/100");
            expectType("Exif.GPSInfo.GPSAltitudeRef", "Byte 1");
        }
        if (groups.iptc) {
            expectType("Iptc.Application2.City", "String Zürich");
            expectType("Iptc.Application2.DateCreated", "Date 2019-07-14");
            const std::vector<PeerValue> keywords = peer.values(QStringLiteral("Iptc.Application2.Keywords"));
            ASSERT_EQ(keywords.size(), 3u);
            EXPECT_EQ(keywords[0].value, QStringLiteral("alpha"));
            EXPECT_EQ(keywords[1].value, QStringLiteral("beta"));
            EXPECT_EQ(keywords[2].value, QStringLiteral("gamma"));
        }
        if (groups.xmp)
            expectType("Xmp.xmp.CreateDate", "XmpText 2019-07-14T09:30:05");
        if (groups.exif && (name.endsWith(QLatin1String(".jpg")) || name.endsWith(QLatin1String(".exv")))) {
            const std::optional<QString> comment = bridgetest::runPeer({ QStringLiteral("-pc") }, path);
            ASSERT_TRUE(comment.has_value());
            EXPECT_EQ(comment->trimmed(), QStringLiteral("Grüße aus Zürich"));
        }
    }
    // What a write of these would lose, the check of the written file
    // finds: each stays as it was, and the failure says why.
    for (const auto &[name, reason] : bridgetest::leftAsTheyWere()) {
        SCOPED_TRACE(name.toStdString());
        const QString path = copy(name);
        const QByteArray original = bridgetest::fileBytes(path);
        ConsoleCapture console;
        EXPECT_FALSE(m_operation.setMetadata(path, sampleValues(), false));
        EXPECT_TRUE(MetadataOperation::lastFailure().startsWith(reason))
            << MetadataOperation::lastFailure().toStdString();
        EXPECT_TRUE(bridgetest::fileBytes(path) == original);
        EXPECT_EQ(bridgetest::folderEntries(m_dir.path()).filter(QStringLiteral(".calvorn-")).size(), 0);
    }
}

TEST_F(MetadataOperationWrite, UnchangedWriteKeepsEveryValueAndThePixels)
{
    for (const QString &name : bridgetest::writableImages()) {
        SCOPED_TRACE(name.toStdString());
        const QString path = copy(name);
        const std::optional<QVariantMap> before = m_operation.getMetadata(path);
        ASSERT_TRUE(before.has_value());
        const QImage pixelsBefore = bridgetest::pixels(path);

        ConsoleCapture console;
        ASSERT_TRUE(m_operation.setMetadata(path, {}, false));
        EXPECT_TRUE(console.failures().isEmpty());
        const std::optional<QVariantMap> after = m_operation.getMetadata(path);
        ASSERT_TRUE(after.has_value());
        EXPECT_EQ(bridgetest::differences(withoutOffsets(*after), withoutOffsets(*before)), QString());
        EXPECT_EQ(bridgetest::pixels(path), pixelsBefore);
    }
}

TEST_F(MetadataOperationWrite, EmptyingKeepsOnlyTheGivenValuesAndTheJpegComment)
{
    const QString path = copy(QStringLiteral("table.jpg"));
    const std::optional<QString> commentBefore = bridgetest::runPeer({ QStringLiteral("-pc") }, path);

    ASSERT_TRUE(m_operation.setMetadata(path, {}, true));
    const std::optional<QVariantMap> cleared = m_operation.getMetadata(path);
    ASSERT_TRUE(cleared.has_value());
    EXPECT_TRUE(cleared->isEmpty()) << QStringList(cleared->keys()).join(u' ').toStdString();
    if (bridgetest::hasPeer()) {
        EXPECT_FALSE(commentBefore->trimmed().isEmpty());
        EXPECT_EQ(bridgetest::runPeer({ QStringLiteral("-pc") }, path), commentBefore);
    }

    const QString rich = copy(QStringLiteral("Reagan.jpg"));
    const QVariantMap values { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("") },
        { QStringLiteral("Iptc.Application2.Headline"), QStringLiteral("Only this") },
        { QStringLiteral("Xmp.aux.Lens"), QStringLiteral("Lens") } };
    const QVariantMap before = *m_operation.getMetadata(rich);
    ASSERT_TRUE(m_operation.setMetadata(rich, values, true));
    const std::optional<QVariantMap> kept = m_operation.getMetadata(rich);
    ASSERT_TRUE(kept.has_value());
    // The resolution of the picture stays with the Exif that remains.
    QVariantMap expected = values;
    for (const char *key :
        { "Exif.Image.XResolution", "Exif.Image.YResolution", "Exif.Image.ResolutionUnit" })
        expected.insert(QString::fromLatin1(key), before.value(QString::fromLatin1(key)));
    EXPECT_EQ(bridgetest::differences(withoutOffsets(*kept), expected), QString());
}

TEST_F(MetadataOperationWrite, RepeatedDatasetsAreReplacedAsAWholeList)
{
    const QString path = copy(QStringLiteral("exiv2-empty.jpg"));
    ASSERT_TRUE(m_operation.setMetadata(path,
        { { QStringLiteral("Iptc.Application2.Keywords"), QStringLiteral("one, two, three") } }, false));
    ASSERT_TRUE(m_operation.setMetadata(path,
        { { QStringLiteral("Iptc.Application2.Keywords"), QStringLiteral(" four ,, five ") },
            { QStringLiteral("Iptc.Application2.SuppCategory"), QStringLiteral("x,y") } },
        false));
    EXPECT_EQ(m_operation.getMetadata(path)->value(QStringLiteral("Iptc.Application2.Keywords")),
        QVariant(QStringLiteral("four, five")));
    EXPECT_EQ(m_operation.getMetadata(path)->value(QStringLiteral("Iptc.Application2.SuppCategory")),
        QVariant(QStringLiteral("x, y")));

    ASSERT_TRUE(m_operation.setMetadata(
        path, { { QStringLiteral("Iptc.Application2.Keywords"), QStringLiteral("") } }, false));
    EXPECT_FALSE(m_operation.getMetadata(path)->contains(QStringLiteral("Iptc.Application2.Keywords")));
    if (bridgetest::hasPeer()) {
        EXPECT_TRUE(bridgetest::peerValues(path, QStringLiteral("Iptc.Application2.Keywords")).empty());
    }
}

TEST_F(MetadataOperationWrite, EmptiedIptcDateErasesItAndANonDateLeavesItAlone)
{
    if (!bridgetest::hasPeer())
        GTEST_SKIP() << "exiv2 command not installed";
    const QString path = copy(QStringLiteral("exiv2-empty.jpg"));
    ASSERT_TRUE(m_operation.setMetadata(path,
        { { QStringLiteral("Iptc.Application2.DateCreated"), QStringLiteral("2021-03-04") },
            { QStringLiteral("Iptc.Application2.TimeCreated"), QStringLiteral("05:06:07") },
            { QStringLiteral("Iptc.Application2.DigitizationDate"), QStringLiteral("2021-03-04") } },
        false));
    expectPeer(path, QStringLiteral("Iptc.Application2.DateCreated"), QStringLiteral("Date 2021-03-04"));

    ASSERT_TRUE(m_operation.setMetadata(path,
        { { QStringLiteral("Iptc.Application2.DateCreated"), QStringLiteral("") },
            { QStringLiteral("Iptc.Application2.TimeCreated"), QStringLiteral("") },
            { QStringLiteral("Iptc.Application2.DigitizationDate"), QStringLiteral("soon") },
            { QStringLiteral("Iptc.Application2.DigitizationTime"), QStringLiteral("later") } },
        false));
    const bridgetest::PeerReport peer(path);
    EXPECT_TRUE(peer.values(QStringLiteral("Iptc.Application2.DateCreated")).empty());
    EXPECT_TRUE(peer.values(QStringLiteral("Iptc.Application2.TimeCreated")).empty());
    EXPECT_TRUE(peer.values(QStringLiteral("Iptc.Application2.DigitizationTime")).empty());
    EXPECT_EQ(peer.typeAndValue(QStringLiteral("Iptc.Application2.DigitizationDate")),
        QStringLiteral("Date 2021-03-04"));
}

TEST_F(MetadataOperationWrite, NumbersGivenAsTextAreReadAndNumbersTheTagCannotHoldAreRefused)
{
    const QString path = copy(QStringLiteral("exiv2-empty.jpg"));
    ConsoleCapture console;
    ASSERT_TRUE(m_operation.setMetadata(path,
        { { QStringLiteral("Exif.Photo.FNumber"), QStringLiteral("2.8") },
            { QStringLiteral("Exif.Photo.FocalLength"), QStringLiteral(" 35mm") },
            { QStringLiteral("Exif.Photo.Flash"), QStringLiteral("16 (off)") },
            { QStringLiteral("Exif.Photo.MeteringMode"), QStringLiteral("spot") },
            { QStringLiteral("Exif.Photo.ISOSpeedRatings"), QVariant::fromValue<qint64>(102400) },
            { QStringLiteral("Exif.Photo.DigitalZoomRatio"), 2147.6 },
            { QStringLiteral("Exif.GPSInfo.GPSAltitude"), std::nan("") },
            { QStringLiteral("Exif.GPSInfo.GPSLatitude"), 1e300 },
            { QStringLiteral("Exif.Image.XResolution"), -72.0 } },
        false));
    EXPECT_TRUE(console.failures().isEmpty());
    const QString line = path + QStringLiteral(": %1 not written (%2)");
    const QStringList refused {
        line.arg(QStringLiteral("Exif.GPSInfo.GPSLatitude"),
            QStringLiteral("1e+300 is not a number its tag can hold")),
        line.arg(QStringLiteral("Exif.GPSInfo.GPSAltitude"),
            QStringLiteral("nan is not a number its tag can hold")),
        line.arg(QStringLiteral("Exif.Photo.ISOSpeedRatings"),
            QStringLiteral("102400 is outside what its tag holds, 0 to 65535")),
        line.arg(QStringLiteral("Exif.Image.XResolution"),
            QStringLiteral("-72 is negative and its tag holds no negative number")),
    };
    for (const QString &expected : refused)
        EXPECT_TRUE(console.errors().contains(expected)) << console.errors().join(u'\n').toStdString();
    const QVariantMap e = *m_operation.getMetadata(path);
    EXPECT_EQ(e.value(QStringLiteral("Exif.Photo.FNumber")), QVariant(2.8));
    EXPECT_EQ(e.value(QStringLiteral("Exif.Photo.FocalLength")), QVariant(35.0));
    EXPECT_EQ(e.value(QStringLiteral("Exif.Photo.Flash")), QVariant::fromValue<qint64>(16));
    EXPECT_EQ(e.value(QStringLiteral("Exif.Photo.MeteringMode")), QVariant::fromValue<qint64>(0));
    EXPECT_FALSE(e.contains(QStringLiteral("Exif.Photo.ISOSpeedRatings")));
    EXPECT_NEAR(e.value(QStringLiteral("Exif.Photo.DigitalZoomRatio")).toDouble(), 2147.6, 1e-3);
    // The new first directory's resolution, as the standard asks.
    EXPECT_DOUBLE_EQ(e.value(QStringLiteral("Exif.Image.XResolution")).toDouble(), 72.0);
    EXPECT_FALSE(e.contains(QStringLiteral("Exif.GPSInfo.GPSAltitude")));
    EXPECT_FALSE(e.contains(QStringLiteral("Exif.GPSInfo.GPSLatitude")));
}

TEST_F(MetadataOperationWrite, AValueOfTheWrongKindFailsWithoutTouchingTheFile)
{
    const QString path = copy(QStringLiteral("FurnaceCreekInn.jpg"));
    const QByteArray original = bridgetest::fileBytes(path);
    const QList<QVariantMap> wrong {
        { { QStringLiteral("Exif.Image.Artist"), QVariant::fromValue<qint64>(5) } },
        { { QStringLiteral("Iptc.Application2.City"), 1.5 } },
        { { QStringLiteral("Exif.Image.Orientation"), QVariant(QStringList { QStringLiteral("6") }) } },
    };
    for (const QVariantMap &values : wrong) {
        ConsoleCapture console;
        EXPECT_FALSE(m_operation.setMetadata(path, values, false));
        EXPECT_EQ(console.errors(), QStringList { QStringLiteral("*** error exception ***") });
        EXPECT_EQ(bridgetest::fileBytes(path), original);
    }
    // Keys outside the written set are ignored, whatever their value.
    EXPECT_TRUE(
        m_operation.setMetadata(path, { { QStringLiteral("Exif.Image.Rating"), QVariant() } }, false));
}

TEST_F(MetadataOperationWrite, UserCommentKeepsItsTextInEitherByteOrder)
{
    for (const QString &name : { QStringLiteral("Reagan.tiff"), QStringLiteral("mini9.tif") }) {
        const QString path = copy(name);
        ASSERT_TRUE(m_operation.setMetadata(
            path, { { QStringLiteral("Exif.Photo.UserComment"), QStringLiteral("Ünïcode ✓") } }, false));
        EXPECT_EQ(m_operation.getMetadata(path)->value(QStringLiteral("Exif.Photo.UserComment")),
            QVariant(QStringLiteral("Ünïcode ✓")));
        if (bridgetest::hasPeer())
            expectPeer(path, QStringLiteral("Exif.Photo.UserComment"),
                QStringLiteral("Undefined charset=Unicode Ünïcode ✓"));
        ASSERT_TRUE(m_operation.setMetadata(
            path, { { QStringLiteral("Exif.Photo.UserComment"), QStringLiteral("plain") } }, false));
        if (bridgetest::hasPeer())
            expectPeer(path, QStringLiteral("Exif.Photo.UserComment"),
                QStringLiteral("Undefined charset=Ascii plain"));
    }
}

TEST_F(MetadataOperationWrite, GroupsTheFormatCannotHoldAreLeftOut)
{
    const QString path = copy(QStringLiteral("exiv2-bug1199.webp"));
    ASSERT_FALSE(groupsOf(path).iptc);
    ConsoleCapture console;
    EXPECT_TRUE(m_operation.setMetadata(path,
        { { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Nowhere") },
            { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Somebody") } },
        false));
    const QVariantMap e = *m_operation.getMetadata(path);
    EXPECT_FALSE(e.contains(QStringLiteral("Iptc.Application2.City")));
    EXPECT_EQ(e.value(QStringLiteral("Exif.Image.Artist")), QVariant(QStringLiteral("Somebody")));
}
