// SPDX-License-Identifier: GPL-3.0-or-later
// A user gives every date field of two photos an hour more through the
// date popover, once on a machine set to UTC and once on one set to Tokyo,
// for photos whose dates carry the zone they were taken in. The form shows
// a zoned date as its wall clock, beside its Exif twin; exiftool reads every
// date of the written photos an hour later with the offset it came with,
// and the photos written on the two machines alike. Where an offset does
// not read, the date stays as it is, and an IPTC time without an offset to
// keep takes the machine's, as before.

#include "UserRoadFixture.h"

#include "batch/ResultViewController.h"
#include "editor/DateTimeViewController.h"
#include "editor/MetadataEditorViewController.h"
#include "engine/DateTexts.h"
#include "support/AlertScript.h"
#include "support/SecondReader.h"
#include "support/ZonedPhotos.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using shelltest::UserRoadFixture;

namespace {

constexpr int Yes = platform::Alert::FirstButton;
constexpr int No = platform::Alert::FirstButton + 1;

const QString zoned = QStringLiteral("zoned.jpg");
const QString badlyZoned = QStringLiteral("badly zoned.jpg");

// Each date an hour later, with the offset the photo gave it: its own, or
// for the XMP copy of an Exif date without one, the Exif's.
const QJsonObject anHourLater {
    { QStringLiteral("EXIF:ExifIFD:DateTimeOriginal"), QStringLiteral("2008:03:15 10:52:01") },
    { QStringLiteral("XMP:XMP-exif:DateTimeOriginal"), QStringLiteral("2008:03:15 10:52:01-04:00") },
    { QStringLiteral("EXIF:ExifIFD:CreateDate"), QStringLiteral("2008:07:08 00:20:59") },
    { QStringLiteral("XMP:XMP-exif:DateTimeDigitized"), QStringLiteral("2008:07:08 00:20:59-07:00") },
    { QStringLiteral("IPTC:DateCreated"), QStringLiteral("2008:07:08") },
    { QStringLiteral("IPTC:TimeCreated"), QStringLiteral("00:20:59-07:00") },
    { QStringLiteral("IPTC:DigitalCreationDate"), QStringLiteral("2008:07:08") },
    { QStringLiteral("IPTC:DigitalCreationTime"), QStringLiteral("00:20:59-07:00") },
    { QStringLiteral("EXIF:IFD0:ModifyDate"), QStringLiteral("2009:01:01 00:30:00") },
    { QStringLiteral("XMP:XMP-tiff:DateTime"), QStringLiteral("2009:01:01 00:30:00+05:30") },
    { QStringLiteral("XMP:XMP-xmp:CreateDate"), QStringLiteral("2008:07:08 00:20:59-07:00") },
    { QStringLiteral("XMP:XMP-xmp:ModifyDate"), QStringLiteral("2008:07:09 09:00:00") },
    { QStringLiteral("XMP:XMP-photoshop:DateCreated"), QStringLiteral("2008:03:15 10:52:01-04:00") },
    // The Exif version rises to that of the offset tags it holds.
    { QStringLiteral("EXIF:ExifIFD:ExifVersion"), QStringLiteral("0231") },
};

class ZonedDatesRoadTest : public UserRoadFixture
{
protected:
    void SetUp() override
    {
        UserRoadFixture::SetUp();
        REQUIRE_TEST_DATA();
        ASSERT_TRUE(secondreader::hasExiftool()) << "exiftool is installed by scripts/install-deps";
        ASSERT_FALSE(zonedphotos::makeZoned(made, zoned).isEmpty());
        ASSERT_FALSE(zonedphotos::makeBadlyZoned(made, badlyZoned).isEmpty());
    }

    // The user's road on a machine set to zone: the two photos added from a
    // folder, every date an hour later, changed in place. Their paths.
    QStringList editOn(const char *zone, QTemporaryDir &folder)
    {
        zonedphotos::MachineZone machine(zone);
        QStringList paths;
        for (const QString &name : { zoned, badlyZoned }) {
            paths << folder.filePath(name);
            EXPECT_TRUE(QFile::copy(made.filePath(name), paths.last()));
        }
        testsupport::AlertScript alerts;
        if (launched)
            relaunch();
        else
            launch();
        launched = true;
        chooseOnDashboard(folder.path());
        HomeViewController *home = HomeViewController::shared();
        MetadataEditorViewController *form = home->editingForm();

        // A zoned date shows its own wall clock, as its Exif twin does.
        markOnly({ zoned });
        const QString taken = displayText(QDateTime(QDate(2008, 7, 7), QTime(23, 20, 59), Qt::UTC));
        EXPECT_EQ(form->textField(MetadataField::createDateXMP)->text(), taken) << zone;
        EXPECT_EQ(form->textField(MetadataField::creationDate)->text(), taken) << zone;

        markOnly({ zoned, badlyZoned });
        DateTimeViewController *dates = form->sharedDateTime();
        for (const MetadataField field : { MetadataField::originalDate, MetadataField::creationDate,
                 MetadataField::modifyDate, MetadataField::createDateXMP, MetadataField::modifyDateXMP,
                 MetadataField::createDatePhotoshopXMP }) {
            form->dateButton(field)->click();
            EXPECT_TRUE(form->datePopOver().isShown());
            dates->btnIDOriginalTime->click();
            dates->txtFieldHourIDOriginalTime->selectAll();
            QTest::keyClicks(dates->txtFieldHourIDOriginalTime, QStringLiteral("1"));
            form->datePopOver().close();
        }
        alerts.answer(Yes).answer(No);
        startInPlace();
        auto *result = qobject_cast<ResultViewController *>(ViewController::current()->shownPage());
        EXPECT_TRUE(result && result->lblValuePhotosEdited->text() == QStringLiteral("2"))
            << "both photos edited";
        EXPECT_EQ(alerts.remaining(), 0);
        return paths;
    }

    QTemporaryDir made;
    bool launched = false;
};

} // namespace

TEST_F(ZonedDatesRoadTest, AnHourMoreOnEveryDateGivesEachItsOwnOffsetOnAMachineInAnyZone)
{
    QTemporaryDir inUtc;
    QTemporaryDir inTokyo;
    const QStringList utc = editOn("UTC", inUtc);
    const QStringList tokyo = editOn("Asia/Tokyo", inTokyo);
    const auto read = secondreader::readAll(
        { made.filePath(zoned), made.filePath(badlyZoned), utc[0], utc[1], tokyo[0], tokyo[1] });
    const secondreader::Reading &was = read[made.filePath(zoned)];
    EXPECT_EQ(zonedphotos::differences(was, read[utc[0]], anHourLater), QStringList()) << "in UTC";
    EXPECT_EQ(zonedphotos::differences(was, read[tokyo[0]], anHourLater), QStringList()) << "in Tokyo";
    EXPECT_EQ(
        zonedphotos::withoutVolatile(read[utc[0]].tags), zonedphotos::withoutVolatile(read[tokyo[0]].tags));

    // Offsets that do not read: the Photoshop date stays as it was, the
    // copy of the digitized date has none to keep, and the IPTC times take
    // the machine's.
    const secondreader::Reading &badWas = read[made.filePath(badlyZoned)];
    QJsonObject badChanges = anHourLater;
    badChanges.remove(QStringLiteral("XMP:XMP-photoshop:DateCreated"));
    badChanges[QStringLiteral("XMP:XMP-exif:DateTimeDigitized")] = QStringLiteral("2008:07:08 00:20:59");
    for (const auto &[copy, offset] : { std::pair { utc[1], "+00:00" }, std::pair { tokyo[1], "+09:00" } }) {
        for (const char *time : { "IPTC:TimeCreated", "IPTC:DigitalCreationTime" })
            badChanges[QLatin1String(time)] = QStringLiteral("00:20:59") + QLatin1String(offset);
        EXPECT_EQ(zonedphotos::differences(badWas, read[copy], badChanges), QStringList()) << offset;
    }
}
