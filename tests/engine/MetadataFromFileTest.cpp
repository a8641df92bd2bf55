#include "engine/DateTexts.h"
#include "engine/Metadata.h"

#include "PinnedDates.h"

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
        {"Exif.Image.Artist", QStringLiteral("Ansel")},
        {"Iptc.Application2.City", QString()},
        {"Exif.Photo.ISOSpeedRatings", qint64(80)},
        {"Exif.Photo.FNumber", 4.0},
        {"Exif.Photo.ExposureTime", 0.004},
        {"Exif.Photo.CompressedBitsPerPixel", QVariant(float(2.5f))},
        {"Exif.Photo.FocalLengthIn35mmFilm", 63.9},
        {"Exif.Image.Make", qint64(3)},
        {"Exif.Image.Model", 1.5},
        {"Exif.Photo.MaxApertureValue", QStringLiteral("2.8")},
        {"Iptc.Application2.DateCreated", QStringLiteral("2008-05-08")},
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
    for (const MetadataField field : {MetadataField::originalDate, MetadataField::creationDate,
                                      MetadataField::createDatePhotoshopXMP})
        EXPECT_FALSE(metadata.hasValue(field)) << "the IPTC date is not read into a field";
}

TEST_F(MetadataFromFile, DatesAreParsedAndGetFreshRules)
{
    const Metadata metadata = read({
        {"Exif.Photo.DateTimeOriginal", QStringLiteral("2019:07:14 09:30:05")},
        {"Exif.Image.DateTime", QString()},
        {"Exif.Photo.DateTimeDigitized", QStringLiteral("Blursday 14 Smarch")},
        {"Xmp.xmp.CreateDate", QStringLiteral("2004-06-21T23:37:53+01:00")},
    });
    EXPECT_EQ(metadata.originalDate(), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(metadata.dateTimeOriginalDate()->originalDate, at(2019, 7, 14, 9, 30, 5));
    EXPECT_FALSE(metadata.modifyDate());
    EXPECT_FALSE(metadata.creationDate());
    EXPECT_FALSE(metadata.dateTimeModifyDate()->originalDate);
    EXPECT_FALSE(metadata.dateTimeCreateDate()->originalDate);
    EXPECT_EQ(metadata.createDateXMP(), QDateTime(QDate(2004, 6, 21), QTime(22, 37, 53), QTimeZone::utc()));
}

TEST_F(MetadataFromFile, GpsSignsFollowTheReferences)
{
    const auto latitude = [](const char *ref) {
        return read({{"Exif.GPSInfo.GPSLatitude", 48.8566}, {"Exif.GPSInfo.GPSLatitudeRef", QString::fromLatin1(ref)}})
            .gpsLatitude();
    };
    EXPECT_EQ(latitude("S"), -48.8566);
    EXPECT_EQ(latitude("s"), -48.8566);
    EXPECT_EQ(latitude("N"), 48.8566);
    EXPECT_EQ(latitude("South"), 48.8566);
    EXPECT_EQ(latitude(" S"), 48.8566);

    const Metadata west = read({{"Exif.GPSInfo.GPSLongitude", 2.3522}, {"Exif.GPSInfo.GPSLongitudeRef", QStringLiteral("W")}});
    EXPECT_EQ(west.gpsLongitude(), -2.3522);
    EXPECT_EQ(west.gpsLongitudeRef(), QStringLiteral("W"));
    EXPECT_EQ(read({{"Exif.GPSInfo.GPSLongitude", 2.3522}, {"Exif.GPSInfo.GPSLongitudeRef", QStringLiteral("E")}})
                  .gpsLongitude(),
              2.3522);

    // The bridge hands the altitude reference over as a real.
    const Metadata below = read({{"Exif.GPSInfo.GPSAltitude", 35.5}, {"Exif.GPSInfo.GPSAltitudeRef", 1.0}});
    EXPECT_EQ(below.gpsAltitude(), -35.5);
    EXPECT_EQ(below.gpsAltitudeRef(), 1);
    EXPECT_EQ(read({{"Exif.GPSInfo.GPSAltitude", 35.5}, {"Exif.GPSInfo.GPSAltitudeRef", 0.0}}).gpsAltitude(), 35.5);
    EXPECT_EQ(read({{"Exif.GPSInfo.GPSAltitude", 35.5}}).gpsAltitude(), 35.5);
    const Metadata refOnly = read({{"Exif.GPSInfo.GPSAltitudeRef", 1.0}});
    EXPECT_EQ(refOnly.gpsAltitudeRef(), 1);
    EXPECT_FALSE(refOnly.gpsAltitude());
}

TEST_F(MetadataFromFile, DateFormsOfFiles)
{
    const auto date = [](const char *text) { return Metadata::dateFrom(QString::fromUtf8(text)); };
    EXPECT_EQ(date("2019:07:14 09:30:05"), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(date("2019-07-14 09:30:05"), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(date("2019-07-14T09:30:05"), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(date("2019-07-14T09:30:05+0000"), at(2019, 7, 14, 11, 30, 5));
    EXPECT_EQ(date("2019-07-14T09:30:05-04:00"), at(2019, 7, 14, 15, 30, 5));
    // Z is UTC, with or without a fraction of a second.
    EXPECT_EQ(date("2019-07-14T09:30:05Z"), at(2019, 7, 14, 11, 30, 5));
    EXPECT_EQ(date("2019-07-14T09:30:05.250Z"), at(2019, 7, 14, 11, 30, 5, 250));
    EXPECT_EQ(date("Sun, 14 Jul 2019 09:30:05 +0200"), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(date("07/14/2019"), at(2019, 7, 14));
    EXPECT_EQ(date("14.07.19"), at(2019, 7, 14));
    EXPECT_EQ(date("July 2019"), at(2019, 7, 1));
    EXPECT_EQ(date("09:30:05 AM on July 14, 2019"), at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(date("Sunday, July 14, 2019"), at(2019, 7, 14));
    // XMP's other forms.
    EXPECT_EQ(date("2004-06-21"), at(2004, 6, 21));
    EXPECT_EQ(date("2004-06-21T23:37+01:00"), at(2004, 6, 22, 0, 37));
    EXPECT_EQ(date("2004-06-21T23:37:53.5+01:00"), at(2004, 6, 22, 0, 37, 53, 500));

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
    for (const char *locale : {"th_TH", "ar_EG", "ja_JP@calendar=japanese", "fa_IR"}) {
        platform::DateFormat::setUserLocale(QString::fromLatin1(locale));
        EXPECT_EQ(Metadata::dateFrom(QStringLiteral("2019:07:14 09:30:05")), at(2019, 7, 14, 9, 30, 5)) << locale;
    }
    // The user still sees their own calendar.
    platform::DateFormat::setUserLocale(QStringLiteral("th_TH"));
    EXPECT_TRUE(displayText(at(2019, 7, 14)).contains(QStringLiteral("2562")));
}
