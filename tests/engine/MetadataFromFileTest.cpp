// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DateTexts.h"
#include "engine/Metadata.h"

#include "BridgeTestSupport.h"
#include "support/PinnedDates.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>

namespace {

class MetadataFromFile : public PinnedDates
{
protected:
    static Metadata read(std::initializer_list<std::pair<const char *, QVariant>> list)
    {
        return Metadata::fromReading(entries(list));
    }
};

} // namespace

TEST_F(MetadataFromFile, NoReadingGivesABlankRecord)
{
    const Metadata metadata = Metadata::fromReading(std::nullopt);
    for (const MetadataField field : allMetadataFields())
        EXPECT_FALSE(metadata.hasValue(field));
    for (int i = 0; i < dateRuleCount; ++i)
        EXPECT_FALSE(metadata.dateTime(DateRule(i))->originalDate);
    EXPECT_FALSE(metadata.isEdited());
}

TEST_F(MetadataFromFile, ValuesTakeTheirFieldsKinds)
{
    const Metadata metadata = read({
        { "Exif.Image.Artist", QStringLiteral("Ansel") },
        { "Iptc.Application2.City", QString() },
        { "Exif.Photo.ISOSpeedRatings", qint64(80) },
        { "Exif.Photo.FNumber", 4.0 },
        { "Exif.Photo.ExposureTime", 0.004 },
        { "Exif.Photo.CompressedBitsPerPixel", QVariant(float(2.5f)) },
        { "Exif.Photo.FocalLengthIn35mmFilm", 63.9 },
        { "Exif.Image.Make", qint64(3) },
        { "Exif.Image.Model", 1.5 },
        { "Exif.Photo.MaxApertureValue", QStringLiteral("2.8") },
        { "Iptc.Application2.DateCreated", QStringLiteral("2008-05-08") },
    });
    EXPECT_EQ(metadata.artist(), QStringLiteral("Ansel"));
    EXPECT_EQ(metadata.city(), QString()) << "an empty text is present";
    EXPECT_EQ(metadata.iso(), 80);
    EXPECT_EQ(metadata.fNumber(), 4.0);
    EXPECT_DOUBLE_EQ(*metadata.exposureTime(), 0.004) << "1/250 s is not cut to 0";
    EXPECT_EQ(metadata.compressedBitsPerPixel(), 2.5);
    EXPECT_EQ(metadata.focalLengthIn35mmFormat(), 63);
    EXPECT_FALSE(metadata.make()) << "a number is not made text";
    EXPECT_FALSE(metadata.cameraModelName());
    EXPECT_FALSE(metadata.maxApertureValue()) << "a text is not parsed";
    for (const MetadataField field :
        { MetadataField::originalDate, MetadataField::creationDate, MetadataField::createDatePhotoshopXMP })
        EXPECT_FALSE(metadata.hasValue(field)) << "the IPTC date is not read into a field";
}

TEST_F(MetadataFromFile, DatesAreParsedAndGetFreshRules)
{
    const Metadata metadata = read({
        { "Exif.Photo.DateTimeOriginal", QStringLiteral("2019:07:14 09:30:05") },
        { "Exif.Image.DateTime", QString() },
        { "Exif.Photo.DateTimeDigitized", QStringLiteral("Blursday 14 Smarch") },
        { "Xmp.xmp.CreateDate", QStringLiteral("2004-06-21T23:37:53+01:00") },
        { "Xmp.xmp.ModifyDate", QStringLiteral("2004-06-21T23:37:53") },
        { "Xmp.photoshop.DateCreated", QStringLiteral("2004-06-21T23:37:53+25:00") },
        { "Exif.Photo.OffsetTimeOriginal", QStringLiteral("-04:00") },
        { "Exif.Photo.OffsetTime", QStringLiteral("+1:00") },
        { "Iptc.Application2.TimeCreated", QStringLiteral("17:20:59-07:00") },
        { "Iptc.Application2.DigitizationTime", QStringLiteral("17:20:59") },
    });
    EXPECT_EQ(metadata.originalDate(), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(metadata.dateTimeOriginalDate()->originalDate, at(2019, 7, 14, 9, 30, 5));
    EXPECT_FALSE(metadata.modifyDate());
    EXPECT_FALSE(metadata.creationDate());
    EXPECT_FALSE(metadata.dateTimeModifyDate()->originalDate);
    EXPECT_FALSE(metadata.dateTimeCreateDate()->originalDate);
    // A date keeps the wall clock it was recorded on, and its offset beside
    // it; one without an offset, or with one that does not read, has none.
    EXPECT_EQ(metadata.createDateXMP(), at(2004, 6, 21, 23, 37, 53)) << "the photo's own clock";
    EXPECT_EQ(metadata.dateOffset(metadataTag(MetadataField::createDateXMP)), 3600);
    EXPECT_EQ(metadata.modifyDateXMP(), at(2004, 6, 21, 23, 37, 53));
    EXPECT_EQ(metadata.dateOffset(metadataTag(MetadataField::modifyDateXMP)), std::nullopt);
    EXPECT_FALSE(metadata.createDatePhotoshopXMP()) << "an offset beyond a day reads as no date";
    EXPECT_EQ(metadata.dateOffset(metadataTag(MetadataField::originalDate)), -4 * 3600) << "its offset tag";
    EXPECT_EQ(metadata.dateOffset(metadataTag(MetadataField::modifyDate)), std::nullopt) << "+1:00";
    EXPECT_EQ(metadata.dateOffset(MetadataTag::timeCreated), -7 * 3600);
    EXPECT_EQ(metadata.dateOffset(MetadataTag::digitizationTime), std::nullopt);
    EXPECT_EQ(
        Metadata::fromDictionary(metadata.dictionary()).dateOffset(MetadataTag::timeCreated), std::nullopt)
        << "the stored form keeps no offsets";
}

TEST_F(MetadataFromFile, GpsSignsFollowTheReferences)
{
    const auto latitude = [](const char *ref) {
        return read({ { "Exif.GPSInfo.GPSLatitude", 48.8566 },
                        { "Exif.GPSInfo.GPSLatitudeRef", QString::fromLatin1(ref) } })
            .gpsLatitude();
    };
    EXPECT_EQ(latitude("S"), -48.8566);
    EXPECT_EQ(latitude("s"), -48.8566);
    EXPECT_EQ(latitude("N"), 48.8566);
    EXPECT_EQ(latitude("South"), 48.8566);
    EXPECT_EQ(latitude(" S"), 48.8566);

    const Metadata west = read(
        { { "Exif.GPSInfo.GPSLongitude", 2.3522 }, { "Exif.GPSInfo.GPSLongitudeRef", QStringLiteral("W") } });
    EXPECT_EQ(west.gpsLongitude(), -2.3522);
    EXPECT_EQ(west.gpsLongitudeRef(), QStringLiteral("W"));
    EXPECT_EQ(read({ { "Exif.GPSInfo.GPSLongitude", 2.3522 },
                       { "Exif.GPSInfo.GPSLongitudeRef", QStringLiteral("E") } })
                  .gpsLongitude(),
        2.3522);

    // The bridge hands the altitude reference over as a real.
    const Metadata below
        = read({ { "Exif.GPSInfo.GPSAltitude", 35.5 }, { "Exif.GPSInfo.GPSAltitudeRef", 1.0 } });
    EXPECT_EQ(below.gpsAltitude(), -35.5);
    EXPECT_EQ(below.gpsAltitudeRef(), 1);
    EXPECT_EQ(
        read({ { "Exif.GPSInfo.GPSAltitude", 35.5 }, { "Exif.GPSInfo.GPSAltitudeRef", 0.0 } }).gpsAltitude(),
        35.5);
    EXPECT_EQ(read({ { "Exif.GPSInfo.GPSAltitude", 35.5 } }).gpsAltitude(), 35.5);
    const Metadata refOnly = read({ { "Exif.GPSInfo.GPSAltitudeRef", 1.0 } });
    EXPECT_EQ(refOnly.gpsAltitudeRef(), 1);
    EXPECT_FALSE(refOnly.gpsAltitude());
}

TEST_F(MetadataFromFile, DateFormsOfFiles)
{
    const auto date = [](const char *text) { return Metadata::dateFrom(QString::fromUtf8(text)); };
    EXPECT_EQ(date("2019:07:14 09:30:05"), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(date("2019-07-14 09:30:05"), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(date("2019-07-14T09:30:05"), at(2019, 7, 14, 9, 30, 5));
    // A text with an offset reads as the wall clock it shows, on any machine.
    EXPECT_EQ(date("2019-07-14T09:30:05+0000"), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(date("2019-07-14T09:30:05-04:00"), at(2019, 7, 14, 9, 30, 5));
    // Z is UTC, with or without a fraction of a second.
    EXPECT_EQ(date("2019-07-14T09:30:05Z"), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(date("2019-07-14T09:30:05.250Z"), at(2019, 7, 14, 9, 30, 5, 250));
    EXPECT_EQ(date("Sun, 14 Jul 2019 09:30:05 +0200"), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(date("07/14/2019"), at(2019, 7, 14));
    EXPECT_EQ(date("14.07.19"), at(2019, 7, 14));
    EXPECT_EQ(date("July 2019"), at(2019, 7, 1));
    EXPECT_EQ(date("09:30:05 AM on July 14, 2019"), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(date("Sunday, July 14, 2019"), at(2019, 7, 14));
    // XMP's other forms.
    EXPECT_EQ(date("2004-06-21"), at(2004, 6, 21));
    EXPECT_EQ(date("2004-06-21T23:37+01:00"), at(2004, 6, 21, 23, 37));
    EXPECT_EQ(date("2004-06-21T23:37:53.5+01:00"), at(2004, 6, 21, 23, 37, 53, 500));
    EXPECT_EQ(date("2018-11-07T22:13:12.18"), at(2018, 11, 7, 22, 13, 12, 180));
    // Wall clocks as they are: the spring-forward night in Berlin, and the
    // proleptic Gregorian calendar before 1582.
    EXPECT_EQ(date("2023:03:26 02:30:00"), at(2023, 3, 26, 2, 30));
    EXPECT_EQ(date("1500:06:01 12:00:00"), at(1500, 6, 1, 12));
    EXPECT_EQ(date("0001-01-01"), at(1, 1, 1));

    EXPECT_FALSE(date(""));
    EXPECT_FALSE(date("    "));
    EXPECT_FALSE(date("2019:07:14 09:30:05 extra"));
    EXPECT_FALSE(date("Blursday"));
}

TEST_F(MetadataFromFile, DisplayedDatesReadBack)
{
    const QDateTime when = at(2019, 7, 14, 21, 30, 5, 400);
    const QString text = displayText(when);
    EXPECT_EQ(text, QStringLiteral(u"Sunday \u060C 14 July 2019 09:30:05 PM"));
    EXPECT_EQ(Metadata::dateFrom(text), at(2019, 7, 14, 21, 30, 5)) << "to the second";
}

TEST_F(MetadataFromFile, FileDatesIgnoreTheUsersCalendarAndDigits)
{
    for (const char *locale : { "th_TH", "ar_EG", "ja_JP@calendar=japanese", "fa_IR" }) {
        platform::DateFormat::setUserLocale(QString::fromLatin1(locale));
        EXPECT_EQ(Metadata::dateFrom(QStringLiteral("2019:07:14 09:30:05")), at(2019, 7, 14, 9, 30, 5))
            << locale;
    }
    // The user still sees their own calendar.
    platform::DateFormat::setUserLocale(QStringLiteral("th_TH"));
    EXPECT_TRUE(displayText(at(2019, 7, 14)).contains(QStringLiteral("2562")));
}

// Real files, read through the bridge.

namespace {

using Expected = std::vector<std::pair<MetadataField, Metadata::Value>>;

// Every field is either expected with its value or absent.
void expectFields(const Metadata &metadata, const Expected &expected,
    std::initializer_list<MetadataField> checkedApart = {})
{
    for (const MetadataField field : allMetadataFields()) {
        const char *name = fieldInfo(field).name.data();
        if (std::find(checkedApart.begin(), checkedApart.end(), field) != checkedApart.end()) {
            EXPECT_TRUE(metadata.hasValue(field)) << name;
            continue;
        }
        const auto found
            = std::find_if(expected.begin(), expected.end(), [&](const auto &e) { return e.first == field; });
        if (found == expected.end()) {
            EXPECT_FALSE(metadata.hasValue(field)) << name;
            continue;
        }
        if (const double *real = std::get_if<double>(&found->second)) {
            ASSERT_TRUE(metadata.real(field)) << name;
            EXPECT_NEAR(*metadata.real(field), *real, 1e-9) << name;
        } else {
            EXPECT_EQ(metadata.value(field), found->second) << name;
        }
    }
}

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

TEST_F(MetadataFromFile, EveryFieldOfARichPhoto)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    bridgetest::ConsoleCapture console; // the types the bridge skips are logged
    const Metadata metadata
        = Metadata::fromFile(testsupport::copyTestFile(QStringLiteral("images/Reagan.jpg"), dir));
    using F = MetadataField;
    const Expected expected {
        { F::artist, text("Photographer\u00eds Mate 3rd Class (A") },
        { F::software, text("Adobe Photoshop Elements 12.0 Macintosh") },
        { F::originalDate, at(2004, 6, 21, 23, 37, 53) },
        { F::creationDate, at(2004, 6, 21, 23, 37, 53) },
        { F::modifyDate, at(2016, 9, 13, 11, 58, 16) },
        { F::make, text("NIKON CORPORATION") },
        { F::cameraModelName, text("NIKON D1X") },
        { F::fNumber, 5.0 },
        { F::focalLength, 42.0 },
        { F::focalLengthIn35mmFormat, qint64(63) },
        { F::flash, qint64(0) },
        { F::orientation, qint64(1) },
        { F::exposureMode, qint64(1) },
        { F::exposureProgram, qint64(1) },
        { F::exposureTime, 1.0 / 125 },
        { F::meteringMode, qint64(2) },
        { F::sceneCaptureType, qint64(0) },
        { F::whiteBalance, qint64(1) },
        { F::saturation, qint64(0) },
        { F::sensingMethod, qint64(2) },
        { F::sharpness, qint64(0) },
        { F::subjectDistanceRange, qint64(0) },
        { F::byLine, text("Photographer\u00eds Mate 3rd Class (") },
        { F::byLineTitle, text("U.S Navy Photographer") },
        { F::writerEditor, text("Dir. NVNS") },
        { F::objectName, text("040621-N-6536T-062") },
        { F::category, text("N") },
        { F::supplementalCategories, text("703-614-9154, navyvisualnews@navy.mil, UNCLASSFIED") },
        { F::keywords,
            text("ronald reagan, reagan, cvn 76, cvn-76, straights magellan, magellan, carrier, "
                 "nimitz-class, ship, underway") },
        { F::city, text("Straits of Magellan") },
        { F::countryPrimaryLocationName, text("South America") },
        { F::specialInstructions, text("Credit as U.S. Navy photo by Elizabeth Thompson. ") },
        { F::credit, text("U.S Navy") },
        { F::source, text("Navy Visual News Service") },
        { F::createDateXMP, at(2004, 6, 21, 23, 37, 53) },
        { F::modifyDateXMP, at(2016, 9, 13, 11, 58, 16) },
        { F::createDatePhotoshopXMP, at(2004, 6, 21) },
        { F::compression, qint64(1) },
        { F::fxResolution, 300.0 },
        { F::fyResolution, 300.0 },
        { F::compressedBitsPerPixel, 4.0 },
        { F::maxApertureValue, 3.0 },
        { F::colorSpace, qint64(65535) },
        { F::lightSource, qint64(10) },
        { F::digitalZoomRatio, 1.0 },
    };
    expectFields(metadata, expected, { F::imageDescription, F::captionAbstract });
    EXPECT_TRUE(metadata.imageDescription()->startsWith(QStringLiteral("040621-N-6536T-062")));
    EXPECT_TRUE(
        metadata.captionAbstract()->contains(QStringLiteral("sails through the Straits of Magellan")));

    EXPECT_FALSE(metadata.isEdited());
    for (const auto &rule : dateRules)
        EXPECT_EQ(
            metadata.dateTime(DateRule(&rule - dateRules.data()))->originalDate, metadata.date(rule.field));
}

TEST_F(MetadataFromFile, GpsOfAPhotoBelowSeaLevelInTheWest)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    bridgetest::ConsoleCapture console;
    const Metadata metadata
        = Metadata::fromFile(testsupport::copyTestFile(QStringLiteral("images/FurnaceCreekInn.jpg"), dir));
    using F = MetadataField;
    const Expected expected {
        { F::originalDate, at(2008, 5, 8, 9, 54, 28) },
        { F::creationDate, at(2008, 5, 8, 9, 54, 28) },
        { F::modifyDate, at(2008, 5, 8, 9, 54, 28) },
        { F::make, text("Canon") },
        { F::cameraModelName, text("Canon PowerShot S5 IS") },
        { F::iso, qint64(80) },
        { F::fNumber, 4.0 },
        { F::focalLength, 6.0 },
        { F::flash, qint64(16) },
        { F::orientation, qint64(1) },
        { F::exposureMode, qint64(0) },
        { F::exposureTime, 0.001 },
        { F::meteringMode, qint64(5) },
        { F::sceneCaptureType, qint64(0) },
        { F::whiteBalance, qint64(0) },
        { F::sensingMethod, qint64(2) },
        { F::gpsLatitude, 36.0 + 26.0 / 60 + 54.0 / 3600 },
        { F::gpsLatitudeRef, text("N") },
        { F::gpsLongitude, -(116.0 + 51.0 / 60 + 18.0 / 3600) },
        { F::gpsLongitudeRef, text("W") },
        { F::gpsAltitude, -14.28 },
        { F::gpsAltitudeRef, qint64(1) },
        { F::lensXMP, text(" 6.0-72.0mm") },
        { F::createDateXMP, at(2008, 5, 8, 9, 54, 28) },
        { F::modifyDateXMP, at(2008, 5, 8, 9, 54, 28) },
        { F::createDatePhotoshopXMP, at(2008, 5, 8, 9, 54, 28) },
        { F::fxResolution, 180.0 },
        { F::fyResolution, 180.0 },
        { F::compressedBitsPerPixel, 3.0 },
        { F::maxApertureValue, 23.0 / 8 },
        { F::colorSpace, qint64(1) },
        { F::digitalZoomRatio, 1.0 },
    };
    expectFields(metadata, expected);
}

TEST_F(MetadataFromFile, AFileThatCannotBeReadGivesABlankRecord)
{
    QTemporaryDir dir;
    bridgetest::ConsoleCapture console;
    const Metadata metadata = Metadata::fromFile(dir.filePath(QStringLiteral("missing.jpg")));
    for (const MetadataField field : allMetadataFields())
        EXPECT_FALSE(metadata.hasValue(field));
    for (int i = 0; i < dateRuleCount; ++i)
        EXPECT_FALSE(metadata.dateTime(DateRule(i))->originalDate);
    EXPECT_EQ(console.failures().size(), 1);
}

TEST_F(MetadataFromFile, EverySharedImageReads)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    bridgetest::ConsoleCapture console;
    const auto fields = allMetadataFields();
    const QStringList names
        = QDir(testsupport::testDataDir() + QStringLiteral("/images")).entryList(QDir::Files);
    int withValues = 0;
    for (const QString &name : names) {
        const Metadata metadata
            = Metadata::fromFile(testsupport::copyTestFile(QStringLiteral("images/") + name, dir));
        withValues += std::any_of(
            fields.begin(), fields.end(), [&](MetadataField f) { return metadata.hasValue(f); });
    }
    EXPECT_GE(names.size(), 60);
    EXPECT_GE(withValues, 55) << "nearly every sample carries some of the fields";
}
