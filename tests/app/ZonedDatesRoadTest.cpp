// SPDX-License-Identifier: GPL-3.0-or-later
// A user changes the dates of two photos whose dates carry the zone they
// were taken in, through the date popover: an hour more, a day more across
// midnight, a chosen date and an emptied date; once on a machine set to UTC
// and once on one set to Tokyo. The form shows a zoned date as its wall
// clock, beside its Exif twin; exiftool reads every date back as asked with
// the offset it came with, nothing else changed, and the photos written on
// the two machines alike. Where an offset does not read, a date left alone
// stays as it is, and a new value without an offset to keep takes the
// machine's, as before. XMP dates a photo manager keeps in UTC, or in
// another zone than the Exif's and the machine's, move by the rule in their
// own zone: each names the moment one hour (or a day) later, as its Exif
// twin does.

#include "UserRoadFixture.h"

#include "batch/ResultViewController.h"
#include "editor/DateTimeViewController.h"
#include "editor/MetadataEditorViewController.h"
#include "engine/DateTexts.h"
#include "support/AlertScript.h"
#include "support/SecondReader.h"
#include "support/ZonedPhotos.h"

#include <QDateTimeEdit>
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
const QString keptInUtc = QStringLiteral("kept in UTC.jpg");

QDateTime wallClock(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

// The new wall clocks, with the offsets the photo gave them: its own, or
// for the XMP copy of an Exif date without one, the Exif's.
const QJsonObject asAsked {
    // An hour more.
    { QStringLiteral("EXIF:ExifIFD:DateTimeOriginal"), QStringLiteral("2008:03:15 10:52:01") },
    { QStringLiteral("XMP:XMP-exif:DateTimeOriginal"), QStringLiteral("2008:03:15 10:52:01-04:00") },
    // A day more, and the IPTC date and times that follow it.
    { QStringLiteral("EXIF:ExifIFD:CreateDate"), QStringLiteral("2008:07:08 23:20:59") },
    { QStringLiteral("XMP:XMP-exif:DateTimeDigitized"), QStringLiteral("2008:07:08 23:20:59-07:00") },
    { QStringLiteral("IPTC:DateCreated"), QStringLiteral("2008:07:08") },
    { QStringLiteral("IPTC:TimeCreated"), QStringLiteral("23:20:59-07:00") },
    { QStringLiteral("IPTC:DigitalCreationDate"), QStringLiteral("2008:07:08") },
    { QStringLiteral("IPTC:DigitalCreationTime"), QStringLiteral("23:20:59-07:00") },
    // Emptied, with its copy.
    { QStringLiteral("EXIF:IFD0:ModifyDate"), QJsonValue::Null },
    { QStringLiteral("XMP:XMP-tiff:DateTime"), QJsonValue::Null },
    // An hour more, past midnight.
    { QStringLiteral("XMP:XMP-xmp:CreateDate"), QStringLiteral("2008:07:08 00:20:59-07:00") },
    // A chosen date.
    { QStringLiteral("XMP:XMP-photoshop:DateCreated"), QStringLiteral("2010:01:02 03:04:05-04:00") },
    // The Exif version rises to that of the offset tags it holds.
    { QStringLiteral("EXIF:ExifIFD:ExifVersion"), QStringLiteral("0231") },
};

// The same changes on the photo whose XMP dates stand in UTC and in Tokyo's
// zone: each XMP and IPTC date the moment asked for, written in its own zone.
const QJsonObject asAskedInOwnZones {
    { QStringLiteral("EXIF:ExifIFD:DateTimeOriginal"), QStringLiteral("2013:01:30 16:30:52") },
    { QStringLiteral("XMP:XMP-exif:DateTimeOriginal"), QStringLiteral("2013:01:30 20:30:52Z") },
    { QStringLiteral("EXIF:ExifIFD:CreateDate"), QStringLiteral("2013:01:31 15:30:52") },
    { QStringLiteral("XMP:XMP-exif:DateTimeDigitized"), QStringLiteral("2013:02:01 04:30:52+09:00") },
    { QStringLiteral("IPTC:DateCreated"), QStringLiteral("2013:01:31") },
    { QStringLiteral("IPTC:TimeCreated"), QStringLiteral("19:30:52+00:00") },
    { QStringLiteral("IPTC:DigitalCreationDate"), QStringLiteral("2013:01:31") },
    { QStringLiteral("IPTC:DigitalCreationTime"), QStringLiteral("15:30:52-04:00") },
    { QStringLiteral("EXIF:IFD0:ModifyDate"), QJsonValue::Null },
    { QStringLiteral("XMP:XMP-tiff:DateTime"), QJsonValue::Null },
    { QStringLiteral("XMP:XMP-xmp:CreateDate"), QStringLiteral("2013:01:31 05:30:52+09:00") },
    { QStringLiteral("XMP:XMP-photoshop:DateCreated"), QStringLiteral("2010:01:02 03:04:05Z") },
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
        ASSERT_FALSE(zonedphotos::makeKeptInUtc(made, keptInUtc).isEmpty());
    }

    // Opens the popover for a date field of the form; its controller.
    static DateTimeViewController *popover(MetadataEditorViewController *form, MetadataField field)
    {
        form->dateButton(field)->click();
        EXPECT_TRUE(form->datePopOver().isShown());
        return form->sharedDateTime();
    }

    static void step(QRadioButton *mode, QLineEdit *amount)
    {
        mode->click();
        amount->selectAll();
        QTest::keyClicks(amount, QStringLiteral("1"));
    }

    // The user's road on a machine set to zone: the three photos added from
    // a folder, their dates changed in place. Their paths.
    QStringList editOn(const char *zone, QTemporaryDir &folder)
    {
        zonedphotos::MachineZone machine(zone);
        QStringList paths;
        for (const QString &name : { zoned, badlyZoned, keptInUtc }) {
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
        MetadataEditorViewController *form = HomeViewController::shared()->editingForm();

        // A zoned date shows its own wall clock, as its Exif twin does.
        markOnly({ zoned });
        const QString taken = displayText(wallClock(2008, 7, 7, 23, 20, 59));
        EXPECT_EQ(form->textField(MetadataField::createDateXMP)->text(), taken) << zone;
        EXPECT_EQ(form->textField(MetadataField::creationDate)->text(), taken) << zone;

        markOnly({ zoned, badlyZoned, keptInUtc });
        DateTimeViewController *dates = popover(form, MetadataField::originalDate);
        step(dates->btnIDOriginalTime, dates->txtFieldHourIDOriginalTime);
        dates = popover(form, MetadataField::creationDate);
        step(dates->btnIDOriginalDate, dates->txtFieldDayIDOriginalDate);
        popover(form, MetadataField::modifyDate)->btnEmptyValue->click();
        dates = popover(form, MetadataField::createDateXMP);
        step(dates->btnIDOriginalTime, dates->txtFieldHourIDOriginalTime);
        dates = popover(form, MetadataField::createDatePhotoshopXMP);
        dates->btnSelectDate->click();
        dates->selectDatePicker->setDateTime(wallClock(2010, 1, 2, 3, 4, 5));
        form->datePopOver().close();

        alerts.answer(Yes).answer(No);
        startInPlace();
        auto *result = qobject_cast<ResultViewController *>(ViewController::current()->shownPage());
        EXPECT_TRUE(result && result->lblValuePhotosEdited->text() == QStringLiteral("3"))
            << "every photo edited";
        EXPECT_EQ(alerts.remaining(), 0);
        return paths;
    }

    QTemporaryDir made;
    bool launched = false;
};

} // namespace

TEST_F(ZonedDatesRoadTest, EveryDateComesBackAsAskedWithItsOwnOffsetOnAMachineInAnyZone)
{
    QTemporaryDir inUtc;
    QTemporaryDir inTokyo;
    const QStringList utc = editOn("UTC", inUtc);
    const QStringList tokyo = editOn("Asia/Tokyo", inTokyo);
    const auto read = secondreader::readAll({ made.filePath(zoned), made.filePath(badlyZoned),
        made.filePath(keptInUtc), utc[0], utc[1], utc[2], tokyo[0], tokyo[1], tokyo[2] });
    const secondreader::Reading &was = read[made.filePath(zoned)];
    EXPECT_EQ(zonedphotos::differences(was, read[utc[0]], asAsked), QStringList()) << "in UTC";
    EXPECT_EQ(zonedphotos::differences(was, read[tokyo[0]], asAsked), QStringList()) << "in Tokyo";
    EXPECT_EQ(zonedphotos::differences(read[utc[0]], read[tokyo[0]], {}), QStringList()) << "alike";

    const secondreader::Reading &inOwnZones = read[made.filePath(keptInUtc)];
    EXPECT_EQ(zonedphotos::differences(inOwnZones, read[utc[2]], asAskedInOwnZones), QStringList())
        << "in UTC";
    EXPECT_EQ(zonedphotos::differences(inOwnZones, read[tokyo[2]], asAskedInOwnZones), QStringList())
        << "in Tokyo";

    // Offsets that do not read: the modify date left alone stays as it was;
    // the copy of the digitized date has no offset to keep, and the IPTC
    // times and the date chosen for a date that does not read take the
    // machine's.
    const secondreader::Reading &badWas = read[made.filePath(badlyZoned)];
    ASSERT_EQ(
        badWas.value(QStringLiteral("XMP:XMP-xmp:ModifyDate")), QStringLiteral("2008:07:09 08:00:00+25:00"));
    QJsonObject badAsAsked = asAsked;
    badAsAsked[QStringLiteral("XMP:XMP-exif:DateTimeDigitized")] = QStringLiteral("2008:07:08 23:20:59");
    for (const auto &[copy, offset] : { std::pair { utc[1], "+00:00" }, std::pair { tokyo[1], "+09:00" } }) {
        for (const char *time : { "IPTC:TimeCreated", "IPTC:DigitalCreationTime" })
            badAsAsked[QLatin1String(time)] = QStringLiteral("23:20:59") + QLatin1String(offset);
        badAsAsked[QStringLiteral("XMP:XMP-photoshop:DateCreated")]
            = QStringLiteral("2010:01:02 03:04:05") + QLatin1String(offset);
        EXPECT_EQ(zonedphotos::differences(badWas, read[copy], badAsAsked), QStringList()) << offset;
    }
}
