// SPDX-License-Identifier: GPL-3.0-or-later
// A photo whose dates carry the zone it was taken in, through an hour more,
// a day more across midnight, a chosen date and an emptied date, written
// on a machine set to UTC and on one set to Tokyo: exiftool reads every
// date back as asked with the photo's own offset, nothing else changed, and
// the two copies alike. A date whose offset does not read stays as it is.

#include "BatchTestSupport.h"

#include "batch/FileValues.h"
#include "engine/Metadata.h"
#include "engine/MetadataOperation.h"
#include "support/SecondReader.h"
#include "support/TestEnvironment.h"
#include "support/ZonedPhotos.h"

#include <QFile>
#include <QJsonValue>
#include <QTemporaryDir>

namespace {

class ZonedDates : public BatchTest
{
protected:
    void SetUp() override
    {
        BatchTest::SetUp();
        REQUIRE_TEST_DATA();
        ASSERT_TRUE(secondreader::hasExiftool()) << "exiftool is installed by scripts/install-deps";
    }

    // A copy of original, written with the edited values on a machine set
    // to zone.
    QString writtenIn(const char *zone, const QString &original, const Metadata &edited)
    {
        zonedphotos::MachineZone machine(zone);
        const QString copy = dir.filePath(QStringLiteral("written %1.jpg").arg(++copies));
        EXPECT_TRUE(QFile::copy(original, copy));
        const Metadata own = Metadata::fromFile(copy);
        EXPECT_TRUE(MetadataOperation().setMetadata(copy, metadataDictionary(edited, &own), false));
        return copy;
    }

    QTemporaryDir dir;
    int copies = 0;
};

} // namespace

TEST_F(ZonedDates, EveryDateKeepsItsOwnOffsetThroughEachRuleOnAMachineInAnyZone)
{
    const QString original = zonedphotos::makeZoned(dir, QStringLiteral("zoned.jpg"));
    ASSERT_FALSE(original.isEmpty());

    Metadata edited;
    const auto edit = [&edited](MetadataField field, DateRule which, const auto &setup) {
        edited.setEdited(field, true);
        edited.setDateTime(which, rule(setup));
    };
    const auto anHourMore = [](DateTime &r) {
        r.isIDOriginalTime = true;
        r.hourIDOriginalTime = 1;
    };
    const auto aDayMore = [](DateTime &r) {
        r.isIDOriginalDate = true;
        r.dayIDOriginalDate = 1;
    };
    edit(MetadataField::originalDate, DateRule::originalDate, anHourMore);
    edit(MetadataField::creationDate, DateRule::createDate, aDayMore);
    edit(MetadataField::modifyDate, DateRule::modifyDate, [](DateTime &r) { r.isEmptyValue = true; });
    edit(MetadataField::createDateXMP, DateRule::createDateXMP, anHourMore);
    edit(MetadataField::modifyDateXMP, DateRule::modifyDateXMP, aDayMore);
    edit(MetadataField::createDatePhotoshopXMP, DateRule::createDatePhotoshopXMP, [](DateTime &r) {
        r.isSelectDate = true;
        r.selectDate = at(2010, 1, 2, 3, 4, 5);
    });
    const QString utc = writtenIn("UTC", original, edited);
    const QString tokyo = writtenIn("Asia/Tokyo", original, edited);

    // The new wall clocks with the offsets the photo gave them: its own, or
    // for a copy of an Exif date without one, the Exif's; none stays none.
    // The Exif version rises to that of the offset tags the Exif holds.
    const QString raisedVersion = QStringLiteral("EXIF:ExifIFD:ExifVersion");
    const QJsonObject changes {
        { raisedVersion, QStringLiteral("0231") },
        { QStringLiteral("EXIF:ExifIFD:DateTimeOriginal"), QStringLiteral("2008:03:15 10:52:01") },
        { QStringLiteral("XMP:XMP-exif:DateTimeOriginal"), QStringLiteral("2008:03:15 10:52:01-04:00") },
        { QStringLiteral("EXIF:ExifIFD:CreateDate"), QStringLiteral("2008:07:08 23:20:59") },
        { QStringLiteral("XMP:XMP-exif:DateTimeDigitized"), QStringLiteral("2008:07:08 23:20:59-07:00") },
        { QStringLiteral("IPTC:DateCreated"), QStringLiteral("2008:07:08") },
        { QStringLiteral("IPTC:TimeCreated"), QStringLiteral("23:20:59-07:00") },
        { QStringLiteral("IPTC:DigitalCreationDate"), QStringLiteral("2008:07:08") },
        { QStringLiteral("IPTC:DigitalCreationTime"), QStringLiteral("23:20:59-07:00") },
        { QStringLiteral("EXIF:IFD0:ModifyDate"), QJsonValue::Null },
        { QStringLiteral("XMP:XMP-tiff:DateTime"), QJsonValue::Null },
        { QStringLiteral("XMP:XMP-xmp:CreateDate"), QStringLiteral("2008:07:08 00:20:59-07:00") },
        { QStringLiteral("XMP:XMP-xmp:ModifyDate"), QStringLiteral("2008:07:10 08:00:00") },
        { QStringLiteral("XMP:XMP-photoshop:DateCreated"), QStringLiteral("2010:01:02 03:04:05-04:00") },
    };
    const auto read = secondreader::readAll({ original, utc, tokyo });
    EXPECT_EQ(zonedphotos::differences(read[original], read[utc], changes), QStringList()) << "in UTC";
    EXPECT_EQ(zonedphotos::differences(read[original], read[tokyo], changes), QStringList()) << "in Tokyo";
    EXPECT_EQ(zonedphotos::withoutVolatile(read[utc].tags), zonedphotos::withoutVolatile(read[tokyo].tags));

    // Offsets that do not read: a write that does not change their dates
    // leaves them as they are, though it writes the XMP and the IPTC anew.
    const QString bad = zonedphotos::makeBadlyZoned(dir, QStringLiteral("badly zoned.jpg"));
    ASSERT_FALSE(bad.isEmpty());
    Metadata originalOnly;
    originalOnly.setOriginalDateEdited(true);
    originalOnly.setDateTimeOriginalDate(edited.dateTimeOriginalDate());
    originalOnly.setCity(QStringLiteral("Furnace Creek"));
    originalOnly.setCityEdited(true);
    const QString badWritten = writtenIn("Asia/Tokyo", bad, originalOnly);
    const auto badRead = secondreader::readAll({ bad, badWritten });
    ASSERT_EQ(badRead[bad].value(QStringLiteral("XMP:XMP-photoshop:DateCreated")),
        QStringLiteral("2008:03:15 09:52:01+25:00"));
    EXPECT_EQ(
        zonedphotos::differences(badRead[bad], badRead[badWritten],
            { { QStringLiteral("EXIF:ExifIFD:DateTimeOriginal"), QStringLiteral("2008:03:15 10:52:01") },
                { QStringLiteral("XMP:XMP-exif:DateTimeOriginal"),
                    QStringLiteral("2008:03:15 10:52:01-04:00") },
                { QStringLiteral("IPTC:City"), QStringLiteral("Furnace Creek") },
                { raisedVersion, QStringLiteral("0231") } }),
        QStringList());
}
