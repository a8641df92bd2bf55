// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Metadata.h"

#include "platform/Archive.h"
#include "support/PinnedDates.h"

#include <cmath>
#include <limits>

namespace {

class MetadataDictionary : public PinnedDates
{
protected:
    // A distinct value of the right kind in every field.
    static Metadata everyValueSet()
    {
        Metadata metadata;
        for (const MetadataField field : allMetadataFields()) {
            const int n = int(field);
            switch (fieldKind(field)) {
            case FieldKind::Text:
                metadata.setValue(field, QStringLiteral("text %1 \u00e9").arg(n));
                break;
            case FieldKind::Integer:
                metadata.setValue(field, qint64(n) * 1000 - 7);
                break;
            case FieldKind::Real:
                metadata.setValue(field, n + 0.125);
                break;
            case FieldKind::Date:
                metadata.setValue(field, at(2000 + n % 20, 1 + n % 12, 1 + n % 28, n % 24, 5, 6, 789));
                break;
            }
        }
        return metadata;
    }

    static Metadata throughArchive(const Metadata &metadata)
    {
        const auto decoded = platform::Archive::decode(platform::Archive::encode(metadata.dictionary()));
        EXPECT_TRUE(decoded);
        return Metadata::fromDictionary(decoded ? decoded->toMap() : QVariantMap());
    }
};

} // namespace

TEST_F(MetadataDictionary, BlankRecordWritesOnlyItsRules)
{
    const QVariantMap dictionary = Metadata().dictionary();
    EXPECT_EQ(dictionary.size(), 6);
    for (const auto &rule : dateRules) {
        const QVariant entry = dictionary.value(QLatin1String(rule.key.data(), qsizetype(rule.key.size())));
        EXPECT_EQ(entry.typeId(), QMetaType::QVariantMap);
    }

    const Metadata read = Metadata::fromDictionary({});
    for (const MetadataField field : allMetadataFields())
        EXPECT_FALSE(read.hasValue(field));
    for (int i = 0; i < dateRuleCount; ++i)
        EXPECT_FALSE(read.dateTime(DateRule(i))->originalDate);
    EXPECT_FALSE(read.isEdited());
}

TEST_F(MetadataDictionary, EveryValueRoundTripsThroughTheArchive)
{
    Metadata metadata = everyValueSet();
    metadata.setISOEdited(true);
    metadata.dateTimeCreateDateXMP()->isIDOriginalTime = true;
    metadata.dateTimeCreateDateXMP()->hourIDOriginalTime = -2;
    metadata.dateTimeCreateDateXMP()->hourIDOriginalTimeString = QStringLiteral("-2");

    const Metadata read = throughArchive(metadata);
    for (const MetadataField field : allMetadataFields())
        EXPECT_EQ(read.value(field), metadata.value(field)) << fieldInfo(field).name;
    EXPECT_FALSE(read.isEdited()) << "edited flags are not stored";
    for (int i = 0; i < dateRuleCount; ++i)
        EXPECT_EQ(read.dateTime(DateRule(i))->dictionary(), metadata.dateTime(DateRule(i))->dictionary());
    EXPECT_EQ(read.dateTimeCreateDateXMP()->hourIDOriginalTime, -2);
    EXPECT_NE(read.dateTimeCreateDateXMP(), metadata.dateTimeCreateDateXMP()) << "read rules are new objects";
    EXPECT_FALSE(read.dateTimeOriginalDate()->originalDate) << "values read do not become the rules' dates";
}

TEST_F(MetadataDictionary, ZeroAndEmptyAreValues)
{
    Metadata metadata;
    metadata.setArtist(QString());
    metadata.setISO(0);
    metadata.setFNumber(0.0);
    const QVariantMap dictionary = metadata.dictionary();
    EXPECT_EQ(dictionary.size(), 9);
    EXPECT_EQ(dictionary.value(QStringLiteral("Exif.Photo.ISOSpeedRatings")).typeId(), QMetaType::LongLong);
    EXPECT_EQ(dictionary.value(QStringLiteral("Exif.Photo.FNumber")).typeId(), QMetaType::Double);
    const Metadata read = throughArchive(metadata);
    EXPECT_EQ(read.artist(), QString());
    EXPECT_EQ(read.iso(), 0);
    EXPECT_EQ(read.fNumber(), 0.0);
}

TEST_F(MetadataDictionary, SignedGpsValuesComeBackWithTheirSign)
{
    Metadata south;
    south.setGPSLatitude(-33.8568);
    south.setGPSLatitudeRef(QStringLiteral("S"));
    south.setGPSLongitude(-70.6693);
    south.setGPSLongitudeRef(QStringLiteral("W"));
    south.setGPSAltitude(-14.3);
    south.setGPSAltitudeRef(1);
    const Metadata read = throughArchive(south);
    EXPECT_EQ(read.gpsLatitude(), -33.8568);
    EXPECT_EQ(read.gpsLongitude(), -70.6693);
    EXPECT_EQ(read.gpsAltitude(), -14.3);
    EXPECT_EQ(read.gpsLatitudeRef(), QStringLiteral("S"));
    EXPECT_EQ(read.gpsAltitudeRef(), 1);

    // Unsigned values take their sign from the reference.
    const Metadata unsignedSouth = Metadata::fromDictionary(entries(
        { { "Exif.GPSInfo.GPSLatitude", 12.5 }, { "Exif.GPSInfo.GPSLatitudeRef", QStringLiteral("s") } }));
    EXPECT_EQ(unsignedSouth.gpsLatitude(), -12.5);
}

TEST_F(MetadataDictionary, NumbersReadAcrossKindsButNothingElseDoes)
{
    const Metadata read = Metadata::fromDictionary(entries({
        { "Exif.Photo.ISOSpeedRatings", 3.7 },
        { "Exif.Photo.FNumber", qint64(2) },
        { "Exif.Photo.ExposureTime", qint64(0) }, // a whole number stored by an older build
        { "Exif.Photo.Flash", -2.9 },
        { "Exif.Image.Artist", qint64(5) },
        { "Exif.Photo.FocalLengthIn35mmFilm", QStringLiteral("100") },
        { "Exif.Photo.DateTimeOriginal", QStringLiteral("2019:07:14 09:30:05") },
        { "Exif.Image.XResolution", std::numeric_limits<double>::quiet_NaN() },
        { "Exif.Image.YResolution", std::numeric_limits<double>::infinity() },
        { "Exif.Photo.ColorSpace", 1e30 },
        { "Iptc.Application2.DateCreated", QStringLiteral("2019-07-14") },
        { "dateTimeModifyDate", QStringLiteral("not a rule") },
    }));
    EXPECT_EQ(read.iso(), 3);
    EXPECT_EQ(read.fNumber(), 2.0);
    EXPECT_EQ(read.exposureTime(), 0.0);
    EXPECT_EQ(read.flash(), -2) << "cut toward zero";
    EXPECT_FALSE(read.artist());
    EXPECT_FALSE(read.focalLengthIn35mmFormat());
    EXPECT_FALSE(read.originalDate()) << "dates are stored as dates, not texts";
    EXPECT_FALSE(read.fxResolution());
    EXPECT_FALSE(read.fyResolution());
    EXPECT_FALSE(read.colorSpace());
    for (const MetadataField field : allMetadataFields()) {
        const bool expected = field == MetadataField::iso || field == MetadataField::fNumber
            || field == MetadataField::exposureTime || field == MetadataField::flash;
        EXPECT_EQ(read.hasValue(field), expected) << fieldInfo(field).name;
    }
    EXPECT_FALSE(read.dateTimeModifyDate()->isAnyOptionSelected());
    EXPECT_FALSE(read.dateTimeModifyDate()->originalDate);
}
