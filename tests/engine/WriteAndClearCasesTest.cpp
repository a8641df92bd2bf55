// SPDX-License-Identifier: GPL-3.0-or-later
// One small case for each way a write or a clear could lose or corrupt what
// the user did not ask to change, or report success for what it did not do,
// read back with exiftool beside our own reading.

#include "BridgeTestSupport.h"
#include "support/QtPrinters.h"
#include "support/SecondReader.h"

#include "engine/Metadata.h"
#include "engine/MetadataOperation.h"
#include "engine/carry/PngExif.h"
#include "engine/carry/PngTextCopies.h"
#include "engine/check/WholeFileCheck.h"
#include "support/CameraSamples.h"
#include "support/PinnedDates.h"
#include "support/TestEnvironment.h"

#include <QJsonArray>
#include <QProcess>
#include <QtEndian>

#include <exiv2/exiv2.hpp>

#include <gtest/gtest.h>

#include <sys/xattr.h>

#include <cerrno>
#include <functional>

using bridgetest::ConsoleCapture;
using secondreader::Reading;

namespace {

class WriteAndClearCases : public PinnedDates
{
protected:
    void SetUp() override
    {
        PinnedDates::SetUp();
        REQUIRE_TEST_DATA();
        ASSERT_TRUE(secondreader::hasExiftool() && bridgetest::hasPeer())
            << "exiftool and the exiv2 command are installed by scripts/install-deps";
    }

    QString copy(const QString &name, const QString &newName = QString())
    {
        return testsupport::copyTestFile(QStringLiteral("images/") + name, m_dir, newName);
    }

    // The DNG sample, with the picture data it leaves out.
    QString wholeDng()
    {
        const QString dng = copy(QStringLiteral("IMG_1361.dng"));
        EXPECT_TRUE(camerasamples::wholeDng(dng));
        return dng;
    }

    // Writes through the bridge; the console lines it printed.
    // Writes through the bridge; the console lines it printed. What it did
    // not do goes to *shortfalls.
    QStringList write(
        const QString &path, const QVariantMap &values, bool empty = false, Shortfalls *shortfalls = nullptr)
    {
        ConsoleCapture console;
        EXPECT_TRUE(m_bridge.setMetadata(path, values, empty, {}, shortfalls))
            << console.errors().join(u'\n').toStdString();
        return console.errors();
    }
    QStringList clear(const QString &path, bool exif, bool orientation, bool gps, bool comment, bool iptc,
        bool xmp, Shortfalls *shortfalls = nullptr)
    {
        ConsoleCapture console;
        EXPECT_TRUE(m_bridge.clearMetadata(path, exif, orientation, gps, comment, iptc, xmp, {}, shortfalls))
            << console.errors().join(u'\n').toStdString();
        return console.errors();
    }

    QTemporaryDir m_dir;
    const MetadataOperation m_bridge { engine::check::refusal };
};

// Sets Exif datums with the library itself, for what the peer's command
// line cannot make.
void setExif(const QString &path, const std::vector<std::pair<const char *, const char *>> &typedValues)
{
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
    image->readMetadata();
    Exiv2::ExifData &exif = image->exifData();
    for (const auto &[key, value] : typedValues) {
        const QString text = QString::fromLatin1(value);
        const Exiv2::Value::AutoPtr v
            = Exiv2::Value::create(Exiv2::TypeInfo::typeId(text.section(u' ', 0, 0).toStdString()));
        v->read(text.section(u' ', 1).toStdString());
        exif[key].setValue(v.get());
    }
    image->writeMetadata();
}

// A JPEG segment holding an XMP packet.
QByteArray xmpSegment(const QByteArray &packet)
{
    const QByteArray payload = QByteArray("http://ns.adobe.com/xap/1.0/", 29) + packet;
    const int length = int(payload.size()) + 2;
    return QByteArray("\xff\xe1", 2) + char(length >> 8) + char(length & 0xff) + payload;
}

QStringList keysOf(const Reading &reading, const QString &prefix)
{
    return QStringList(reading.tags.keys())
        .filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
}

} // namespace

// A DNG keeps its DNG tags and sub-images, a GeoTIFF its georeferencing;
// the photograph's metadata goes.
TEST_F(WriteAndClearCases, ClearingExifKeepsWhatTiffBasedPicturesNeed)
{
    const QString dng = wholeDng();
    const Reading dngBefore = secondreader::read(dng);
    const QStringList console = clear(dng, true, true, true, true, true, true);
    EXPECT_EQ(console.filter(QStringLiteral("make, model and maker note stay")).size(), 1);
    const Reading dngAfter = secondreader::read(dng);
    for (const char *key : { "EXIF:IFD0:DNGVersion", "EXIF:IFD0:UniqueCameraModel", "EXIF:IFD0:ColorMatrix1",
             "EXIF:IFD0:ColorMatrix2", "EXIF:IFD0:AsShotNeutral", "EXIF:IFD0:Make", "EXIF:SubIFD:BlackLevel",
             "EXIF:SubIFD:WhiteLevel", "EXIF:SubIFD:TileWidth", "EXIF:SubIFD:ImageWidth",
             "EXIF:SubIFD1:SemanticName" }) {
        ASSERT_TRUE(dngBefore.has(QLatin1String(key))) << key;
        EXPECT_EQ(dngAfter.value(QLatin1String(key)), dngBefore.value(QLatin1String(key))) << key;
    }
    EXPECT_EQ(
        keysOf(dngAfter, QStringLiteral("MakerNotes:")), keysOf(dngBefore, QStringLiteral("MakerNotes:")));
    for (const char *key :
        { "EXIF:IFD0:Software", "EXIF:ExifIFD:DateTimeOriginal", "EXIF:ExifIFD:LensModel" }) {
        ASSERT_TRUE(dngBefore.has(QLatin1String(key))) << key;
        EXPECT_FALSE(dngAfter.has(QLatin1String(key))) << key;
    }

    const QString geoTiff = copy(QStringLiteral("Reagan.tiff"), QStringLiteral("geo.tif"));
    setExif(geoTiff,
        { { "Exif.Image.0x830e", "Double 0.001 0.001 0" }, { "Exif.Image.0x8482", "Double 0 0 0 8.5 47.3 0" },
            { "Exif.Image.0x87af", "Short 1 1 0 3 1024 0 1 2 1025 0 1 1 2048 0 1 4326" } });
    const Reading geoBefore = secondreader::read(geoTiff);
    ASSERT_EQ(geoBefore.value(QStringLiteral("GeoTiff:GeographicType")).toInt(), 4326);
    clear(geoTiff, true, true, true, true, true, true);
    const Reading geoAfter = secondreader::read(geoTiff);
    for (const QString &key : keysOf(geoBefore, QStringLiteral("GeoTiff:"))
            + QStringList {
                QStringLiteral("EXIF:IFD0:PixelScale"), QStringLiteral("EXIF:IFD0:ModelTiePoint") })
        EXPECT_EQ(geoAfter.value(key), geoBefore.value(key)) << key.toStdString();
    EXPECT_FALSE(geoAfter.has(QStringLiteral("EXIF:IFD0:Artist")));
    EXPECT_EQ(bridgetest::pixels(geoTiff), bridgetest::pixels(copy(QStringLiteral("Reagan.tiff"))));
}

// Kept byte for byte by writes and clears that leave XMP alone; a write of
// XMP values is refused rather than replace what cannot be read.
TEST_F(WriteAndClearCases, AnXmpPacketTheLibraryCannotParseStaysAsItIs)
{
    const QString path = copy(QStringLiteral("FurnaceCreekInn.jpg"), QStringLiteral("broken.jpg"));
    const QByteArray broken = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
                              "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><rdf:Description "
                              "rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>open"
                              "</rdf:Description></rdf:RDF></x:xmpmeta>";
    {
        // In place of the file's own packet.
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        image->readMetadata();
        image->clearXmpPacket();
        image->writeMetadata();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        bytes.insert(2, xmpSegment(broken));
        file.resize(0);
        file.write(bytes);
    }
    EXPECT_TRUE(bridgetest::fileBytes(path).contains(broken));

    write(path, { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Ada") } });
    clear(path, false, false, true, true, true, false);
    EXPECT_TRUE(bridgetest::fileBytes(path).contains(broken));
    const QStringList console = write(path, { { QStringLiteral("Xmp.aux.Lens"), QStringLiteral("50mm") } });
    EXPECT_EQ(console.filter(QStringLiteral("Xmp.aux.Lens not written")).size(), 1)
        << console.join(u'\n').toStdString();
    EXPECT_TRUE(bridgetest::fileBytes(path).contains(broken));
    EXPECT_EQ(m_bridge.getMetadata(path)->value(QStringLiteral("Exif.Image.Artist")),
        QVariant(QStringLiteral("Ada")));
}

// Written text that is not ASCII declares UTF-8, and the texts already
// there read the same before and after; text that is not UTF-8 reads as
// Latin-1.
TEST_F(WriteAndClearCases, IptcTextDeclaresItsCharacterSet)
{
    const QString path = copy(QStringLiteral("table.jpg"));
    EXPECT_EQ(m_bridge.getMetadata(path)->value(QStringLiteral("Iptc.Application2.Copyright")),
        QVariant(QStringLiteral("© 2004 Nobody")));
    ASSERT_FALSE(secondreader::read(path).has(QStringLiteral("IPTC:CodedCharacterSet")));

    write(path, { { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Zoë") } });
    const Reading peer = secondreader::read(path);
    EXPECT_EQ(peer.value(QStringLiteral("IPTC:CodedCharacterSet")).toString(), QStringLiteral("\x1b%G"));
    EXPECT_EQ(peer.value(QStringLiteral("IPTC:City")).toString(), QStringLiteral("Zoë"));
    EXPECT_EQ(peer.value(QStringLiteral("IPTC:CopyrightNotice")).toString(), QStringLiteral("© 2004 Nobody"));
    const QVariantMap ours = *m_bridge.getMetadata(path);
    EXPECT_EQ(ours.value(QStringLiteral("Iptc.Application2.City")), QVariant(QStringLiteral("Zoë")));
    EXPECT_EQ(
        ours.value(QStringLiteral("Iptc.Application2.Copyright")), QVariant(QStringLiteral("© 2004 Nobody")));
}

// By-lines, writers and keywords are lists; an item with a comma is quoted.
TEST_F(WriteAndClearCases, RepeatableDatasetsReadAndWriteEveryItem)
{
    const QString path = copy(QStringLiteral("exiv2-empty.jpg"));
    ASSERT_TRUE(bridgetest::peerModify(path,
        { QStringLiteral("add Iptc.Application2.Byline Ada"),
            QStringLiteral("add Iptc.Application2.Byline Bob"),
            QStringLiteral("add Iptc.Application2.Keywords Smith, John"),
            QStringLiteral("add Iptc.Application2.Keywords Alps") }));
    QVariantMap ours = *m_bridge.getMetadata(path);
    EXPECT_EQ(ours.value(QStringLiteral("Iptc.Application2.Byline")), QVariant(QStringLiteral("Ada, Bob")));
    EXPECT_EQ(ours.value(QStringLiteral("Iptc.Application2.Keywords")),
        QVariant(QStringLiteral("\"Smith, John\", Alps")));

    // What was read goes back unchanged; an edited list replaces every item.
    write(path,
        { { QStringLiteral("Iptc.Application2.Keywords"),
              ours.value(QStringLiteral("Iptc.Application2.Keywords")) },
            { QStringLiteral("Iptc.Application2.Byline"), QStringLiteral("Ada, \"Carla \"\"C\"\" Diaz\"") },
            { QStringLiteral("Iptc.Application2.Writer"), QStringLiteral("Eve, Finn") } });
    const Reading peer = secondreader::read(path);
    EXPECT_EQ(peer.value(QStringLiteral("IPTC:Keywords")),
        QJsonValue(QJsonArray { QStringLiteral("Smith, John"), QStringLiteral("Alps") }));
    EXPECT_EQ(peer.value(QStringLiteral("IPTC:By-line")),
        QJsonValue(QJsonArray { QStringLiteral("Ada"), QStringLiteral("Carla \"C\" Diaz") }));
    EXPECT_EQ(peer.value(QStringLiteral("IPTC:Writer-Editor")),
        QJsonValue(QJsonArray { QStringLiteral("Eve"), QStringLiteral("Finn") }));
    ours = *m_bridge.getMetadata(path);
    EXPECT_EQ(ours.value(QStringLiteral("Iptc.Application2.Keywords")),
        QVariant(QStringLiteral("\"Smith, John\", Alps")));
    EXPECT_EQ(ours.value(QStringLiteral("Iptc.Application2.Byline")),
        QVariant(QStringLiteral("Ada, \"Carla \"\"C\"\" Diaz\"")));
}

// A position to the hundredth of a second; a new Exif or GPS directory gets
// its version, a new JPEG directory what the standard requires, so the
// second reader finds nothing to warn of.
TEST_F(WriteAndClearCases, NewDirectoriesAndPositionsFollowTheStandard)
{
    const QString path = copy(QStringLiteral("exiv2-empty.jpg"));
    ASSERT_TRUE(secondreader::read(path).warnings.isEmpty());
    const QStringList console = write(path,
        { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Ada") },
            { QStringLiteral("Exif.Photo.ISOSpeedRatings"), QVariant::fromValue<qint64>(200) },
            { QStringLiteral("Exif.GPSInfo.GPSLatitude"), 48.8584 },
            { QStringLiteral("Exif.GPSInfo.GPSLatitudeRef"), QStringLiteral("N") },
            { QStringLiteral("Exif.Image.Compression"), QVariant::fromValue<qint64>(6) },
            { QStringLiteral("Exif.Image.PrimaryChromaticities"), 0.64 } });
    EXPECT_EQ(console.filter(QStringLiteral("Exif.Image.Compression not written")).size(), 1);
    EXPECT_EQ(console.filter(QStringLiteral("Exif.Image.PrimaryChromaticities not written")).size(), 1);
    const Reading peer = secondreader::read(path);
    EXPECT_EQ(peer.warnings, QStringList());
    EXPECT_EQ(peer.value(QStringLiteral("EXIF:ExifIFD:ExifVersion")).toString(), QStringLiteral("0232"));
    EXPECT_EQ(peer.value(QStringLiteral("EXIF:GPS:GPSVersionID")).toString(), QStringLiteral("2 3 0 0"));
    EXPECT_NEAR(peer.value(QStringLiteral("EXIF:GPS:GPSLatitude")).toDouble(), 48.8584, 1e-7);
    EXPECT_FALSE(peer.has(QStringLiteral("EXIF:IFD0:Compression")));
    EXPECT_EQ(bridgetest::PeerReport(path).typeAndValue(QStringLiteral("Exif.GPSInfo.GPSLatitude")),
        QStringLiteral("Rational 48/1 51/1 3024/100"));

    // A date alone still makes the first directory the standard asks for.
    const QString dateOnly = copy(QStringLiteral("exiv2-empty.jpg"), QStringLiteral("date-only.jpg"));
    write(dateOnly,
        { { QStringLiteral("Exif.Photo.DateTimeOriginal"), QStringLiteral("2019:07:14 09:30:05") } });
    const Reading dated = secondreader::read(dateOnly);
    EXPECT_EQ(dated.warnings, QStringList());
    EXPECT_EQ(dated.value(QStringLiteral("EXIF:IFD0:YCbCrPositioning")).toInt(), 1);

    // Its resolution is the one the JFIF header gives, not one made up.
    const QString dense = copy(QStringLiteral("exiv2-empty.jpg"), QStringLiteral("dense.jpg"));
    ASSERT_TRUE(secondreader::make({ QStringLiteral("-overwrite_original"),
        QStringLiteral("-JFIF:XResolution=144"), QStringLiteral("-JFIF:YResolution=180"), dense }));
    write(dense, { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Ada") } });
    const Reading resolution = secondreader::read(dense);
    EXPECT_EQ(resolution.value(QStringLiteral("EXIF:IFD0:XResolution")).toInt(), 144);
    EXPECT_EQ(resolution.value(QStringLiteral("EXIF:IFD0:YResolution")).toInt(), 180);
    EXPECT_EQ(resolution.value(QStringLiteral("EXIF:IFD0:ResolutionUnit")).toInt(), 2);

    // An Exif 2.3 tag raises an older Exif version to its own.
    setExif(path, { { "Exif.Photo.ExifVersion", "Undefined 48 50 49 48" } });
    write(path, { { QStringLiteral("Exif.Photo.LensModel"), QStringLiteral("50mm") } });
    const Reading raised = secondreader::read(path);
    EXPECT_EQ(raised.value(QStringLiteral("EXIF:ExifIFD:ExifVersion")).toString(), QStringLiteral("0230"));
    EXPECT_EQ(raised.warnings, QStringList());

    // Where the tag holds its six values, the first is the one edited.
    setExif(path,
        { { "Exif.Image.PrimaryChromaticities", "Rational 64/100 33/100 30/100 60/100 15/100 6/100" } });
    write(path, { { QStringLiteral("Exif.Image.PrimaryChromaticities"), 0.7 } });
    EXPECT_EQ(secondreader::read(path).value(QStringLiteral("EXIF:IFD0:PrimaryChromaticities")).toString(),
        QStringLiteral("0.7 0.33 0.3 0.6 0.15 0.06"));
}

// A new make or model would take the maker note out of readers' reach (its
// layout and meaning follow them): both are refused, the rest is written,
// and the note reads whole after more edits.
TEST_F(WriteAndClearCases, TheMakerNoteStaysReadable)
{
    const QString path = copy(QStringLiteral("exiv2-canon-eos-20d.jpg"));
    const QStringList canon = keysOf(secondreader::read(path), QStringLiteral("MakerNotes:Canon"));
    ASSERT_GT(canon.size(), 50);
    const QStringList console = write(path,
        { { QStringLiteral("Exif.Image.Make"), QStringLiteral("Other") },
            { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Ada") } });
    EXPECT_EQ(console.filter(QStringLiteral("Exif.Image.Make not written")).size(), 1);
    EXPECT_EQ(write(path, { { QStringLiteral("Exif.Image.Model"), QVariant() } })
                  .filter(QStringLiteral("Exif.Image.Model not written"))
                  .size(),
        1);
    write(path, { { QStringLiteral("Exif.Photo.ISOSpeedRatings"), QVariant::fromValue<qint64>(800) } });
    const Reading peer = secondreader::read(path);
    EXPECT_EQ(peer.value(QStringLiteral("EXIF:IFD0:Make")).toString(), QStringLiteral("Canon"));
    EXPECT_EQ(peer.value(QStringLiteral("EXIF:IFD0:Artist")).toString(), QStringLiteral("Ada"));
    EXPECT_EQ(keysOf(peer, QStringLiteral("MakerNotes:Canon")), canon);
    // The same make is no change.
    EXPECT_TRUE(write(path, { { QStringLiteral("Exif.Image.Make"), QStringLiteral("Canon") } }).isEmpty());
}

// What a write cannot keep of the camera's data is told: an entry of no
// TIFF type, at which other readers would stop reading the directory once
// the library sorts it first, is left out, and the photo listed for it; a
// maker note that points before itself cannot be carried whole, so the
// photo stays as it was, with the reason.
TEST_F(WriteAndClearCases, CameraDataAWriteCannotKeepIsTold)
{
    const QString images = testsupport::testDataDir() + QStringLiteral("/images/");
    const QString noType = m_dir.filePath(QStringLiteral("no-type.jpg"));
    ASSERT_TRUE(camerasamples::entryOfNoType(images + QStringLiteral("exiv2-sony-dsc-w7.jpg"), noType));
    for (const bool clears : { false, true }) {
        const QString path = m_dir.filePath(QStringLiteral("%1-no-type.jpg").arg(clears));
        ASSERT_TRUE(QFile::copy(noType, path));
        Shortfalls listed;
        if (clears)
            clear(path, false, true, false, false, false, false, &listed);
        else
            write(path, { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Ada") } }, false, &listed);
        ASSERT_EQ(listed.size(), 1);
        EXPECT_EQ(listed[0].kind, Shortfall::Kind::LeftOut);
        EXPECT_EQ(listed[0].key, QStringLiteral("Exif.Image.0x0001"));
        const Reading peer = secondreader::read(path);
        EXPECT_EQ(peer.value(QStringLiteral("EXIF:IFD0:Model")).toString(), QStringLiteral("DSC-W7"));
        EXPECT_EQ(peer.warnings.filter(QStringLiteral("Bad format")), QStringList());
    }

    const QString pointing = m_dir.filePath(QStringLiteral("pointing.jpg"));
    ASSERT_TRUE(camerasamples::notePointingAstray(
        testsupport::testDataDir() + QStringLiteral("/cameras/Canon1DmkIII.jpg"), pointing,
        camerasamples::Astray::BeforeItself));
    const QByteArray before = bridgetest::fileBytes(pointing);
    ConsoleCapture console;
    EXPECT_FALSE(m_bridge.setMetadata(
        pointing, { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Ada") } }, false));
    EXPECT_FALSE(m_bridge.clearMetadata(pointing, false, false, true, false, false, false));
    EXPECT_TRUE(
        MetadataOperation::lastFailure().startsWith(QStringLiteral("the camera's data would not survive")));
    EXPECT_EQ(bridgetest::fileBytes(pointing), before);
}

// Tags and ratings file managers keep beside the file.
TEST_F(WriteAndClearCases, ExtendedAttributesSurviveAWrite)
{
    const QString path = copy(QStringLiteral("FurnaceCreekInn.jpg"));
    const QByteArray name = QFile::encodeName(path);
    const QByteArray tags = "holiday,alps";
    if (::setxattr(name.constData(), "user.xdg.tags", tags.constData(), size_t(tags.size()), 0) != 0)
        GTEST_SKIP() << "the file system keeps no extended attributes: " << std::strerror(errno);
    write(path, { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Ada") } });
    clear(path, false, false, true, false, false, false);
    char value[64] = {};
    const ssize_t size = ::getxattr(name.constData(), "user.xdg.tags", value, sizeof value);
    EXPECT_EQ(QByteArray(value, int(std::max<ssize_t>(size, 0))), tags);
}

// 02:30 on the night the clocks go forward in Berlin does not exist there,
// but a zone-less time is a wall clock and reads as it is; a text that is
// no date still is none.
TEST_F(WriteAndClearCases, ADateInTheSkippedHourReads)
{
    const QString path = copy(QStringLiteral("exiv2-empty.jpg"));
    ASSERT_TRUE(bridgetest::peerModify(
        path, { QStringLiteral("set Exif.Photo.DateTimeOriginal 2019:03:31 02:30:00") }));
    const Metadata record = Metadata::fromFile(path);
    ASSERT_TRUE(record.originalDate().has_value());
    EXPECT_EQ(*record.originalDate(), QDateTime(QDate(2019, 3, 31), QTime(2, 30), Qt::UTC));
    EXPECT_EQ(Metadata::dateFrom(QStringLiteral("2019:03:31 02:30:61")), std::nullopt);
    EXPECT_EQ(Metadata::dateFrom(QStringLiteral("2019:02:30 02:30:00")), std::nullopt);
}

// WebP's XMP chunk goes with its XMP; the GPS goes with its time, date and
// direction and with XMP's copy of the position.
TEST_F(WriteAndClearCases, AClearTakesItsGroupFromEveryPlace)
{
    const QString webp = copy(QStringLiteral("exiv2-bug1199.webp"));
    ASSERT_FALSE(keysOf(secondreader::read(webp), QStringLiteral("XMP:")).isEmpty());
    clear(webp, false, false, false, false, false, true);
    EXPECT_EQ(keysOf(secondreader::read(webp), QStringLiteral("XMP:")), QStringList());

    const QString jpeg = copy(QStringLiteral("FurnaceCreekInn.jpg"));
    ASSERT_TRUE(bridgetest::peerModify(jpeg,
        { QStringLiteral("set Exif.GPSInfo.GPSImgDirection 90/1"),
            QStringLiteral("set Xmp.exif.GPSLatitude 36,27.5N"),
            QStringLiteral("set Xmp.exif.GPSLongitude 116,51.3W") }));
    // The IPTC extension repeats the position where the photo was taken and
    // of what it shows.
    ASSERT_TRUE(secondreader::make({ QStringLiteral("-overwrite_original"),
        QStringLiteral("-XMP-iptcExt:LocationCreatedGPSLatitude=36.4583"),
        QStringLiteral("-XMP-iptcExt:LocationCreatedCity=Furnace Creek"),
        QStringLiteral("-XMP-iptcExt:LocationShownGPSLongitude=-116.855"), jpeg }));
    const Reading before = secondreader::read(jpeg);
    ASSERT_TRUE(before.has(QStringLiteral("EXIF:GPS:GPSTimeStamp")));
    ASSERT_TRUE(before.has(QStringLiteral("XMP:XMP-exif:GPSLatitude")));
    ASSERT_TRUE(before.has(QStringLiteral("XMP:XMP-iptcExt:LocationShownGPSLongitude")));
    clear(jpeg, false, false, true, false, false, false);
    const Reading after = secondreader::read(jpeg);
    EXPECT_EQ(keysOf(after, QStringLiteral("EXIF:GPS:")), QStringList());
    EXPECT_EQ(keysOf(after, QStringLiteral("XMP:XMP-exif:GPS")), QStringList());
    EXPECT_EQ(keysOf(after, QStringLiteral("XMP:XMP-iptcExt:Location")),
        QStringList { QStringLiteral("XMP:XMP-iptcExt:LocationCreatedCity") });
    EXPECT_EQ(
        after.value(QStringLiteral("XMP:XMP-aux:Lens")), before.value(QStringLiteral("XMP:XMP-aux:Lens")));
}

// Values the file keeps its own of, and groups it has no place for, are
// named; the rest is written and the write succeeds.
TEST_F(WriteAndClearCases, ValuesTheFileDoesNotTakeAreNamed)
{
    const QString tiff = copy(QStringLiteral("Reagan.tiff"));
    QStringList console = write(tiff,
        { { QStringLiteral("Exif.Image.XResolution"), 600.0 },
            { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Ada") } });
    EXPECT_EQ(console,
        QStringList { tiff
            + QStringLiteral(": Exif.Image.XResolution not written (TIFF files keep their own value)") });
    EXPECT_EQ(
        secondreader::read(tiff).value(QStringLiteral("EXIF:IFD0:Artist")).toString(), QStringLiteral("Ada"));

    // IPTC texts are cut at their datasets' limits, between two characters;
    // a JPEG's Exif segment holds 64 KB at most.
    const QString jpeg = copy(QStringLiteral("exiv2-empty.jpg"));
    console = write(jpeg,
        { { QStringLiteral("Iptc.Application2.Caption"), QString(3000, u'c') },
            { QStringLiteral("Iptc.Application2.City"), QString(40, u'é') },
            { QStringLiteral("Iptc.Application2.CountryCode"), QStringLiteral("FRANC") },
            { QStringLiteral("Exif.Photo.UserComment"), QString(40000, u'u') },
            { QStringLiteral("Exif.Image.ImageDescription"), QString(30000, u'd') },
            { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Ada") } });
    const QString cut
        = jpeg + QStringLiteral(": Iptc.Application2.%1 cut to %2 bytes, the most its dataset holds");
    const QString tooLarge
        = jpeg + QStringLiteral(": %1 not written (the JPEG file's Exif segment would pass 64 KB)");
    for (const QString &line : { cut.arg(QStringLiteral("Caption"), QStringLiteral("2000")),
             cut.arg(QStringLiteral("City"), QStringLiteral("32")),
             cut.arg(QStringLiteral("CountryCode"), QStringLiteral("3")),
             tooLarge.arg(QStringLiteral("Exif.Photo.UserComment")),
             tooLarge.arg(QStringLiteral("Exif.Image.ImageDescription")) })
        EXPECT_TRUE(console.contains(line)) << line.toStdString() << "\n"
                                            << console.join(u'\n').toStdString();
    const Reading shortened = secondreader::read(jpeg);
    EXPECT_EQ(shortened.warnings, QStringList());
    EXPECT_EQ(shortened.value(QStringLiteral("IPTC:Caption-Abstract")).toString(), QString(2000, u'c'));
    EXPECT_EQ(shortened.value(QStringLiteral("IPTC:City")).toString(), QString(16, u'é'));
    EXPECT_EQ(shortened.value(QStringLiteral("IPTC:Country-PrimaryLocationCode")).toString(),
        QStringLiteral("FRA"));
    EXPECT_EQ(shortened.value(QStringLiteral("EXIF:IFD0:Artist")).toString(), QStringLiteral("Ada"));

    const QString webp = copy(QStringLiteral("exiv2-bug1199.webp"));
    Shortfalls shortfalls;
    console = write(webp,
        { { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Zürich") },
            { QStringLiteral("Xmp.aux.Lens"), QStringLiteral("50mm") } },
        false, &shortfalls);
    EXPECT_EQ(shortfalls,
        (Shortfalls { { Shortfall::Kind::NotWritten, QStringLiteral("Iptc.Application2.City"),
            QStringLiteral("WebP files have no place for IPTC values") } }));
    EXPECT_EQ(console,
        QStringList { webp
            + QStringLiteral(
                ": Iptc.Application2.City not written (WebP files have no place for IPTC values)") });
}

// An emptied value removes its tag instead of writing an empty one.
TEST_F(WriteAndClearCases, EmptiedValuesRemoveTheirTags)
{
    const QString path = copy(QStringLiteral("FurnaceCreekInn.jpg"));
    const Reading before = secondreader::read(path);
    for (const char *key :
        { "EXIF:ExifIFD:DateTimeOriginal", "EXIF:IFD0:Make", "XMP:XMP-xmp:CreateDate", "XMP:XMP-aux:Lens" })
        ASSERT_TRUE(before.has(QLatin1String(key))) << key;
    write(path,
        { { QStringLiteral("Exif.Photo.DateTimeOriginal"), QString() },
            { QStringLiteral("Exif.Image.Model"), QVariant() },
            { QStringLiteral("Xmp.xmp.CreateDate"), QString() },
            { QStringLiteral("Xmp.aux.Lens"), QVariant() },
            { QStringLiteral("Iptc.Application2.City"), QVariant() } });
    const Reading after = secondreader::read(path);
    for (const char *key : { "EXIF:ExifIFD:DateTimeOriginal", "EXIF:IFD0:Model", "XMP:XMP-xmp:CreateDate",
             "XMP:XMP-aux:Lens", "IPTC:City" })
        EXPECT_FALSE(after.has(QLatin1String(key))) << key;
    EXPECT_EQ(after.warnings, before.warnings);
}

// Times keep the offset they are given, in IPTC and XMP alike.
TEST_F(WriteAndClearCases, DatesKeepTheirOffset)
{
    const QString path = copy(QStringLiteral("exiv2-empty.jpg"));
    write(path,
        { { QStringLiteral("Iptc.Application2.DateCreated"), QStringLiteral("2021-03-04") },
            { QStringLiteral("Iptc.Application2.TimeCreated"), QStringLiteral("05:06:07+01:00") },
            { QStringLiteral("Xmp.xmp.CreateDate"), QStringLiteral("2021-03-04T05:06:07+01:00") } });
    const Reading peer = secondreader::read(path);
    EXPECT_EQ(peer.value(QStringLiteral("IPTC:TimeCreated")).toString(), QStringLiteral("05:06:07+01:00"));
    EXPECT_EQ(peer.value(QStringLiteral("XMP:XMP-xmp:CreateDate")).toString(),
        QStringLiteral("2021:03:04 05:06:07+01:00"));
    EXPECT_EQ(Metadata::fromFile(path).createDateXMP(), QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7), Qt::UTC))
        << "that moment on the user's clock (Berlin, UTC+1 then)";
}

// A comment clear takes every comment viewers show, also where the library
// does not read one: a PNG's text under "Comment", and a PGF's under
// "comment" in the small PNG that holds its metadata. What a clear leaves on purpose comes back
// with its reason as well as on the console.
TEST_F(WriteAndClearCases, ACommentClearTakesTheCommentsViewersShowAndTellsWhatAClearKeeps)
{
    const QString png = copy(QStringLiteral("1343_comment.png"));
    ASSERT_TRUE(secondreader::read(png).has(QStringLiteral("PNG:Comment")));
    Shortfalls kept;
    clear(png, false, false, false, true, false, false, &kept);
    EXPECT_FALSE(secondreader::read(png).has(QStringLiteral("PNG:Comment")));

    // A JPEG with two comment segments, of which the library knows the first.
    const QString jpeg = copy(QStringLiteral("FurnaceCreekInn.jpg"));
    QByteArray jpegBytes = bridgetest::fileBytes(jpeg);
    for (const QByteArray &text : { QByteArrayLiteral("second"), QByteArrayLiteral("first") })
        jpegBytes.insert(2, QByteArray("\xff\xfe\x00", 3) + char(text.size() + 2) + text);
    QFile jpegFile(jpeg);
    ASSERT_TRUE(jpegFile.open(QIODevice::WriteOnly) && jpegFile.write(jpegBytes) == jpegBytes.size());
    jpegFile.close();
    ASSERT_EQ(
        secondreader::read(jpeg).value(QStringLiteral("File:Comment")).toString(), QStringLiteral("first"));
    clear(jpeg, false, false, false, true, false, false, &kept);
    EXPECT_FALSE(secondreader::read(jpeg).has(QStringLiteral("File:Comment")));

    // The comment goes into the metadata PNG, after its header chunk.
    const QString pgf = copy(QStringLiteral("imagemagick.pgf"));
    QByteArray bytes = bridgetest::fileBytes(pgf);
    const auto le32 = [&](int at) {
        return quint32(quint8(bytes[at])) | quint32(quint8(bytes[at + 1])) << 8
            | quint32(quint8(bytes[at + 2])) << 16 | quint32(quint8(bytes[at + 3])) << 24;
    };
    const QByteArray body
        = QByteArrayLiteral("tEXtcomment") + '\0' + QByteArrayLiteral("Seen from the tower");
    const auto bigEndian = [](quint32 n) {
        const char bytes[] = { char(n >> 24), char(n >> 16), char(n >> 8), char(n) };
        return QByteArray(bytes, 4);
    };
    const QByteArray chunk
        = bigEndian(quint32(body.size() - 4)) + body + bigEndian(engine::bridge::pngChunkCrc(body));
    const int userData = 8 + 16 + (bytes[8 + 12] == 2 ? 768 : 0);
    bytes.insert(userData + 8 + 25, chunk);
    const quint32 header = le32(4) + quint32(chunk.size());
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = char(header >> (8 * i));
    QFile file(pgf);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const Reading before = secondreader::read(pgf);
    ASSERT_EQ(before.value(QStringLiteral("PNG:Comment")).toString(), QStringLiteral("Seen from the tower"));
    clear(pgf, false, false, false, true, false, false, &kept);
    const Reading after = secondreader::read(pgf);
    EXPECT_FALSE(after.has(QStringLiteral("PNG:Comment")));
    EXPECT_EQ(
        after.value(QStringLiteral("EXIF:IFD0:Model")), before.value(QStringLiteral("EXIF:IFD0:Model")));
    EXPECT_EQ(kept, Shortfalls());

    const QString nef = copy(QStringLiteral("Nikon.nef"));
    const QStringList console = clear(nef, true, false, false, false, false, false, &kept);
    EXPECT_EQ(console.size(), 1) << console.join(u'\n').toStdString();
    EXPECT_EQ(kept,
        (Shortfalls { { Shortfall::Kind::Kept, QStringLiteral("exif"),
            QStringLiteral(
                "the camera's make, model and maker note stay, as raw converters need them to decode the "
                "picture") } }));
}

// A converter's Photoshop profile that cannot be read stays byte for byte:
// the IPTC the library reads goes, the file is not refused, and the clear
// says the profile's IPTC stayed; a write says its copy was not brought in
// step.
TEST_F(WriteAndClearCases, APhotoshopProfileThatCannotBeReadStaysAndIsTold)
{
    const QString source = copy(QStringLiteral("converted-iptc.png"));
    const QByteArray png = bridgetest::fileBytes(source);
    // The profile's chunk and its text, read here as the PNG standard gives them.
    const QByteArray keyword("Raw profile type 8bim");
    const qsizetype at = png.indexOf("zTXt" + keyword) - 4;
    ASSERT_GT(at, 0);
    const qsizetype length = qFromBigEndian<quint32>(png.constData() + at);
    // qUncompress takes the size ahead of the data, as a hint it grows from.
    const QByteArray text = qUncompress(
        QByteArray(4, '\0') + png.mid(at + 8 + keyword.size() + 2, length - keyword.size() - 2));
    ASSERT_TRUE(text.startsWith("\n8bim\n    9548\n"));
    const auto withProfile = [&](const QByteArray &profile) {
        const QByteArray body = "tEXt" + keyword + '\0' + profile;
        QByteArray size(4, '\0');
        QByteArray crc(4, '\0');
        qToBigEndian<quint32>(quint32(body.size() - 4), size.data());
        qToBigEndian<quint32>(engine::bridge::pngChunkCrc(body), crc.data());
        return png.left(at) + size + body + crc + png.mid(at + 12 + length);
    };
    QByteArray oddDigits = text;
    oddDigits.remove(oddDigits.size() - 2, 1);
    QByteArray pastItsEnd = text;
    pastItsEnd.replace("    9548", "    9549");
    // An IPTC resource whose size runs past the block.
    const QByteArray unparsed
        = "\n8bim\n      12\n" + QByteArray("8BIM\x04\x04\0\0\0\0\xff\xff", 12).toHex() + '\n';
    const std::pair<const char *, QByteArray> damaged[] = {
        { "broken hex",
            bridgetest::fileBytes(
                testsupport::testDataDir() + QStringLiteral("/malformed/converted-broken-profile.png")) },
        { "an odd number of digits", withProfile(oddDigits) },
        { "a length past its end", withProfile(pastItsEnd) },
        { "a block that does not parse", withProfile(unparsed) },
    };
    const auto writeFile = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    };
    const Shortfalls kept { { Shortfall::Kind::Kept, QStringLiteral("iptc"),
        QStringLiteral("a Photoshop profile in the file cannot be read, so any IPTC in it stays") } };
    for (const auto &[damage, bytes] : damaged) {
        SCOPED_TRACE(damage);
        const qsizetype profileAt = bytes.indexOf(keyword) - 8;
        const QByteArray profileChunk
            = bytes.mid(profileAt, qFromBigEndian<quint32>(bytes.constData() + profileAt) + 12);
        ASSERT_TRUE(writeFile(source, bytes));
        Shortfalls shortfalls;
        clear(source, false, false, false, false, true, false, &shortfalls);
        EXPECT_EQ(shortfalls, kept);
        const QByteArray cleared = bridgetest::fileBytes(source);
        EXPECT_TRUE(cleared.contains(profileChunk)) << "the profile stays as it was";
        EXPECT_FALSE(cleared.contains("Raw profile type iptc")) << "the library's own IPTC goes";
    }

    ASSERT_TRUE(writeFile(source, withProfile(oddDigits)));
    Shortfalls shortfalls;
    write(
        source, { { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Bern") } }, false, &shortfalls);
    EXPECT_EQ(shortfalls,
        (Shortfalls { { Shortfall::Kind::ProfileCopyNotUpdated, QStringLiteral("Iptc.Application2.City"),
            QStringLiteral("the profile cannot be read") } }));
}

// What other programs and cameras keep beside a JPEG's picture that does
// not parse stays byte for byte and is told: a trailer whose entry or
// record runs past the file or whose IPTC does not parse to its end, a
// camera's heap whose directory lies outside it.
TEST_F(WriteAndClearCases, ADamagedTrailerOrCameraSegmentStaysAndIsTold)
{
    int copies = 0;
    const auto damaged = [&](const QString &name, const std::function<qsizetype(const QByteArray &)> &at,
                             const QByteArray &bytes) {
        const QString path = copy(name, QString::number(++copies) + name);
        QByteArray file = bridgetest::fileBytes(path);
        file.replace(at(file), bytes.size(), bytes);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(file) == file.size());
        return path;
    };
    const auto kept = [](const char *choice, const char *reason) {
        return Shortfall { Shortfall::Kind::Kept, QLatin1String(choice), QLatin1String(reason) };
    };
    const Shortfall unreadable
        = kept("iptc", "a trailer after the picture cannot be read, so any IPTC in it stays");
    const QString inTrailer
        = QStringLiteral("another program keeps its own copy in a trailer after the picture");
    const QString unreadableCopy
        = QStringLiteral("a trailer after the picture cannot be read, so any copy in it stays");
    const QByteArray past("\x7f\xff\xff\xff", 4);
    // The trailer's first entry, its IPTC: its name, size and offset.
    const auto iptcEntry = [](const QByteArray &file) { return file.indexOf("AXS!") + 12; };
    // Its third dataset, after the version and the category.
    const auto thirdDataset = [&](const QByteArray &file) {
        return qsizetype(qFromBigEndian<quint32>(file.constData() + iptcEntry(file) + 8) + 13);
    };
    const struct
    {
        const char *damage;
        QString path;
        Shortfalls listed;
        // Why a write of the headline, which the sample's trailer holds, is listed.
        QString headline;
    } trailers[] = {
        { "an entry past the file",
            damaged(
                QStringLiteral("AFCP.jpg"), [&](const QByteArray &f) { return iptcEntry(f) + 4; }, past),
            { unreadable }, unreadableCopy },
        { "IPTC that does not parse to its end", damaged(QStringLiteral("AFCP.jpg"), thirdDataset, "\x01"),
            { { Shortfall::Kind::Kept, QStringLiteral("iptc"), inTrailer }, unreadable }, unreadableCopy },
        { "a record past the file",
            damaged(
                QStringLiteral("records-trailer.jpg"), [](const QByteArray &f) { return f.size() - 8; },
                past),
            { unreadable }, unreadableCopy },
    };
    for (const auto &trailer : trailers) {
        SCOPED_TRACE(trailer.damage);
        const QByteArray before = bridgetest::fileBytes(trailer.path);
        const QByteArray tail = before.mid(before.lastIndexOf("\xff\xd9") + 2);
        Shortfalls shortfalls;
        clear(trailer.path, false, false, false, false, true, false, &shortfalls);
        EXPECT_EQ(shortfalls, trailer.listed);
        write(trailer.path, { { QStringLiteral("Iptc.Application2.Headline"), QStringLiteral("Now") } },
            false, &shortfalls);
        EXPECT_TRUE(shortfalls.contains({ Shortfall::Kind::OlderCopyStays,
            QStringLiteral("Iptc.Application2.Headline"), trailer.headline }));
        EXPECT_TRUE(bridgetest::fileBytes(trailer.path).endsWith(tail));
    }

    // The camera's heap, in its APP0 segment, ends with where its directory is.
    const auto heapSegment = [](const QByteArray &file) {
        const qsizetype marker = file.indexOf("HEAPJPGM") - 10;
        return std::pair(marker, qsizetype(qFromBigEndian<quint16>(file.constData() + marker + 2)) + 2);
    };
    const QString heap = damaged(
        QStringLiteral("ExifTool.jpg"),
        [&](const QByteArray &file) {
            const auto [at, size] = heapSegment(file);
            return at + size - 4;
        },
        past);
    const QByteArray before = bridgetest::fileBytes(heap);
    const auto [at, size] = heapSegment(before);
    const QByteArray segment = before.mid(at, size);
    Shortfalls shortfalls;
    clear(heap, true, false, false, false, false, false, &shortfalls);
    EXPECT_TRUE(shortfalls.contains(
        kept("exif", "an APP0 segment that begins as the camera's own cannot be read, so it stays")));
    EXPECT_TRUE(bridgetest::fileBytes(heap).contains(segment));
    EXPECT_FALSE(secondreader::read(heap).has(QStringLiteral("MakerNotes:Qualcomm:AFPosition")))
        << "the camera segments that parse go";
}

namespace {

// Every comment exiftool finds in the PNG, each text on its own (in any
// letter case and language), and the library's own under "Description".
QStringList pngComments(const QString &path)
{
    QProcess exiftool;
    exiftool.start(QStringLiteral("exiftool"),
        { QStringLiteral("-a"), QStringLiteral("-s3"), QStringLiteral("-PNG:Comment*"),
            QStringLiteral("-PNG:Description"), path });
    exiftool.waitForFinished();
    return QString::fromUtf8(exiftool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

QByteArray textChunk(const char *type, const QByteArray &keywordAndFields, const QByteArray &text)
{
    return engine::bridge::pngChunkOf(type, keywordAndFields + text);
}

// Compressed as a PNG's zTXt and iTXt chunks hold it: a zlib stream.
QByteArray deflated(const QByteArray &text)
{
    return qCompress(text).mid(4);
}

} // namespace

// A write of the comment brings every text a reader takes for a PNG's
// comment in step, each in its own form, and leaves a text already in step
// byte for byte; a damaged comment text or copy of a written value stays
// and is told; an emptied comment takes them all; a file without such a
// text gets none.
TEST_F(WriteAndClearCases, AWriteBringsThePngsCommentTextsInStep)
{
    // The library leaves a photometric interpretation out of the Exif it
    // writes outside TIFF, where the photo would then be left as it was:
    // this copy holds none.
    const QString path = copy(QStringLiteral("painted-comment.png"));
    ASSERT_TRUE(secondreader::make(
        { QStringLiteral("-overwrite_original"), QStringLiteral("-IFD0:PhotometricInterpretation="), path }));
    const QByteArray painted = bridgetest::fileBytes(path);
    const QByteArray ownComment = textChunk("tEXt", QByteArray("Comment\0", 8), "The carrier in the straits");
    ASSERT_TRUE(painted.contains(ownComment));
    const QByteArray bare = QByteArray(painted).replace(ownComment, QByteArray());
    const auto withTexts = [&](const QList<QByteArray> &chunks) {
        QByteArray png = bare;
        // After the header chunk.
        png.insert(8 + 25, chunks.join());
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(png) == png.size();
    };
    const QVariantMap comment { { QStringLiteral("Exif.Photo.UserComment"),
        QStringLiteral("Café au lait") } };
    const QByteArray plain = textChunk("tEXt", QByteArray("Comment\0", 8), "first");
    const QByteArray compressed = textChunk("zTXt", QByteArray("comment\0\0", 9), deflated("second"));
    const QByteArray international
        = textChunk("iTXt", QByteArray("COMMENT\0\1\0en\0Kommentar\0", 23), deflated("third"));

    // Each text keeps its type, keyword, compression and language.
    ASSERT_TRUE(withTexts({ plain, compressed, international }));
    Shortfalls shortfalls;
    write(path, comment, false, &shortfalls);
    EXPECT_EQ(shortfalls, Shortfalls());
    EXPECT_EQ(pngComments(path), QStringList(4, QStringLiteral("Café au lait")));
    const QByteArray written = bridgetest::fileBytes(path);
    EXPECT_TRUE(written.contains(textChunk("tEXt", QByteArray("Comment\0", 8), "Caf\xe9 au lait")));
    EXPECT_TRUE(written.contains("zTXtcomment"));
    EXPECT_TRUE(written.contains(QByteArray("iTXtCOMMENT\0\1\0en\0Kommentar\0", 27)));
    // Written again, texts already in step stay byte for byte.
    const qsizetype zAt = written.indexOf("zTXtcomment") - 4;
    const QByteArray zChunk = written.mid(zAt, qFromBigEndian<quint32>(written.constData() + zAt) + 12);
    write(path, comment);
    EXPECT_TRUE(bridgetest::fileBytes(path).contains(zChunk));
    // A comment Latin-1 cannot hold turns a plain text into an international one.
    write(path, { { QStringLiteral("Exif.Photo.UserComment"), QStringLiteral("東京の夜") } });
    EXPECT_EQ(pngComments(path), QStringList(4, QStringLiteral("東京の夜")));
    EXPECT_TRUE(bridgetest::fileBytes(path).contains(QByteArray("iTXtComment\0\0\0\0\0", 16)));

    // The library refuses a PNG any of whose texts does not read, so the
    // file stays as it was and the write fails with its reason; the pass
    // over the texts, should it meet one, keeps it and tells it.
    const QByteArray notDeflated = textChunk("zTXt", QByteArray("Comment\0\0", 9), "not deflated");
    const QByteArray badHeader = textChunk("iTXt", QByteArray("Comment\0\7\0\0\0", 12), "fourth");
    const QByteArray damagedCopy = textChunk("zTXt", QByteArray("exif:Artist\0\0", 13), "not deflated");
    const QByteArray copy = textChunk("tEXt", QByteArray("tiff:Artist\0", 12), "An old artist");
    ASSERT_TRUE(withTexts({ notDeflated, badHeader, damagedCopy, copy, plain }));
    const QByteArray damaged = bridgetest::fileBytes(path);
    {
        ConsoleCapture console;
        EXPECT_FALSE(m_bridge.setMetadata(path, comment, false));
        EXPECT_EQ(bridgetest::fileBytes(path), damaged);
    }
    using namespace engine::bridge;
    PngTextEdit edit;
    edit.write.comment = comment.first().toString();
    for (const std::string &keyword : textCopyKeywords("Exif.Image.Artist"))
        edit.write.copies.push_back({ keyword, "Exif.Image.Artist" });
    const QByteArray passed = finishedPng(reinterpret_cast<const Exiv2::byte *>(damaged.constData()),
        long(damaged.size()), {}, Exiv2::littleEndian, edit);
    for (const QByteArray &chunk : { notDeflated, badHeader, damagedCopy })
        EXPECT_TRUE(passed.contains(chunk));
    EXPECT_FALSE(passed.contains("tiff:Artist"));
    EXPECT_TRUE(passed.contains(textChunk("tEXt", QByteArray("Comment\0", 8), "Caf\xe9 au lait")));
    const PngTexts left
        = findPngTexts(reinterpret_cast<const Exiv2::byte *>(passed.constData()), long(passed.size()), edit);
    EXPECT_EQ(left.oldValues, (std::vector<std::string> { "Exif.Photo.UserComment", "Exif.Image.Artist" }));

    // An emptied comment takes every comment text.
    ASSERT_TRUE(withTexts({ plain, compressed, international }));
    write(path, { { QStringLiteral("Exif.Photo.UserComment"), QString() } }, false, &shortfalls);
    EXPECT_EQ(shortfalls, Shortfalls());
    EXPECT_EQ(pngComments(path), QStringList());

    // A file without a comment text gets only the library's own.
    ASSERT_TRUE(withTexts({}));
    write(path, comment);
    EXPECT_EQ(pngComments(path), QStringList { QStringLiteral("Café au lait") });
}

// A write of a value that a sub-image's own XMP holds too lists the photo
// for it, and the sub-image's XMP stays as it was.
TEST_F(WriteAndClearCases, ASubImagesOwnXmpOfAWrittenValueIsTold)
{
    const QString dng = wholeDng();
    const std::string packet = "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
                               "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description "
                               "rdf:about='' xmlns:aux='http://ns.adobe.com/exif/1.0/aux/' aux:Lens='An old "
                               "lens'/></rdf:RDF></x:xmpmeta>";
    const auto subImagePacket = [&] {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(QFile::encodeName(dng).toStdString());
        image->readMetadata();
        return image;
    };
    // In place of the sub-image's packet, one of the same size that holds
    // a lens.
    {
        const Exiv2::Image::AutoPtr image = subImagePacket();
        const auto old = image->exifData().findKey(Exiv2::ExifKey("Exif.SubImage2.XMLPacket"));
        ASSERT_NE(old, image->exifData().end());
        QByteArray oldPacket(old->size(), '\0');
        old->copy(reinterpret_cast<Exiv2::byte *>(oldPacket.data()), Exiv2::invalidByteOrder);
        ASSERT_LT(packet.size(), std::size_t(oldPacket.size()));
        QByteArray file = bridgetest::fileBytes(dng);
        const qsizetype at = file.indexOf(oldPacket);
        ASSERT_GT(at, 0);
        file.replace(
            at, oldPacket.size(), QByteArray::fromStdString(packet).leftJustified(oldPacket.size(), ' '));
        QFile out(dng);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    }
    Shortfalls shortfalls;
    write(dng, { { QStringLiteral("Xmp.aux.Lens"), QStringLiteral("A new lens") } }, false, &shortfalls);
    EXPECT_EQ(shortfalls,
        (Shortfalls { { Shortfall::Kind::OlderCopyStays, QStringLiteral("Xmp.aux.Lens"),
            QStringLiteral("a sub-image keeps its own XMP") } }));
    const Exiv2::Image::AutoPtr written = subImagePacket();
    const auto kept = written->exifData().findKey(Exiv2::ExifKey("Exif.SubImage2.XMLPacket"));
    ASSERT_NE(kept, written->exifData().end());
    std::string bytes(std::size_t(kept->size()), '\0');
    kept->copy(reinterpret_cast<Exiv2::byte *>(bytes.data()), Exiv2::invalidByteOrder);
    EXPECT_TRUE(bytes.starts_with(packet));
    EXPECT_EQ(written->xmpData()["Xmp.aux.Lens"].toString(), "A new lens");
}
