// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditorFixture.h"

#include "controls/CustomTextView.h"
#include "engine/DateTexts.h"
#include "engine/ValueNames.h"

using namespace editortest;

namespace {

class TrackingTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        Metadata values;
        values.setArtist(QStringLiteral("Alice"));
        values.setISO(100);
        values.setWhiteBalance(0);
        values.setFNumber(2.8);
        values.setFlash(16);
        values.setCountryPrimaryLocationCode(QStringLiteral("DE"));
        values.setModifyDate(at(2022, 8, 9, 10, 11, 12));
        file = addFile(values);
        form.showMetadataOfMarkedFiles();
    }

    // Mark and flag agree after every examination.
    void expectEdited(MetadataField f, bool edited)
    {
        EXPECT_EQ(isMarked(f), edited) << fieldInfo(f).name;
        EXPECT_EQ(isEdited(f), edited) << fieldInfo(f).name;
    }

    std::shared_ptr<FileInfo> file;
};

} // namespace

TEST_F(TrackingTest, ATextIsEditedExactlyWhileItDiffersFromTheFile)
{
    type(MetadataField::artist, QStringLiteral("Alice "));
    expectEdited(MetadataField::artist, true);
    EXPECT_TRUE(file->metadata->isArtistEdited()) << "the flag lands on the file itself";
    QTest::keyClick(field(MetadataField::artist), Qt::Key_Backspace);
    expectEdited(MetadataField::artist, false);
    type(MetadataField::artist, QStringLiteral("alice"));
    expectEdited(MetadataField::artist, true);
    // Canonically equivalent texts agree: "e" with a combining acute accent.
    record().setArtist(QStringLiteral("Ren\u00e9"));
    field(MetadataField::artist)->setText(QStringLiteral("Rene\u0301"));
    form.fieldChanged(field(MetadataField::artist));
    expectEdited(MetadataField::artist, false);

    // An absent value: any text differs, the empty text agrees.
    type(MetadataField::city, QStringLiteral("P"));
    expectEdited(MetadataField::city, true);
    QTest::keyClick(field(MetadataField::city), Qt::Key_Backspace);
    expectEdited(MetadataField::city, false);

    CustomTextView *comment = form.textView(MetadataField::userComment);
    comment->setFocus();
    QTest::keyClicks(comment, QStringLiteral("hello"));
    expectEdited(MetadataField::userComment, true);
    comment->clear();
    expectEdited(MetadataField::userComment, false);
}

TEST_F(TrackingTest, NumbersCompareByValue)
{
    type(MetadataField::iso, QStringLiteral("0100"));
    expectEdited(MetadataField::iso, false);
    type(MetadataField::iso, QStringLiteral("101"));
    expectEdited(MetadataField::iso, true);
    field(MetadataField::iso)->clear();
    form.fieldChanged(field(MetadataField::iso));
    expectEdited(MetadataField::iso, true); // an emptied field reads 0

    // Emptied over a stored 0 it differs too: the value is to go.
    field(MetadataField::whiteBalance)->setText(QStringLiteral(" "));
    form.fieldChanged(field(MetadataField::whiteBalance));
    expectEdited(MetadataField::whiteBalance, true);
    EXPECT_FALSE(form.editedMetadata().whiteBalance().has_value());
    type(MetadataField::whiteBalance, QStringLiteral("0"));
    expectEdited(MetadataField::whiteBalance, false);

    type(MetadataField::fNumber, QStringLiteral("2.80"));
    expectEdited(MetadataField::fNumber, false);
    type(MetadataField::fNumber, QStringLiteral("2.81"));
    expectEdited(MetadataField::fNumber, true);

    type(MetadataField::saturation, QStringLiteral("0"));
    expectEdited(MetadataField::saturation, true); // even 0 differs from no value
}

TEST_F(TrackingTest, PopUpsCompareByValue)
{
    choose(MetadataField::flash, 0);
    expectEdited(MetadataField::flash, true);
    choose(MetadataField::flash, QStringLiteral("Flash did not fire, compulsory flash mode"));
    expectEdited(MetadataField::flash, false);

    choose(MetadataField::orientation, 2);
    expectEdited(MetadataField::orientation, true);
    choose(MetadataField::orientation, 0);
    expectEdited(MetadataField::orientation, false);

    choose(MetadataField::countryPrimaryLocationCode, QStringLiteral("France"));
    expectEdited(MetadataField::countryPrimaryLocationCode, true);
    choose(MetadataField::countryPrimaryLocationCode, QStringLiteral("Germany"));
    expectEdited(MetadataField::countryPrimaryLocationCode, false);

    // A value no item stands for shows as itself, in an item of its own,
    // and is an edit only once the user picks another item.
    record().setFlash(80);
    record().setCountryPrimaryLocationCode(QStringLiteral("de"));
    form.showFileInfoMetadata();
    const int listed = popUp(MetadataField::flash)->count() - 1;
    EXPECT_EQ(popUp(MetadataField::flash)->currentIndex(), listed);
    EXPECT_EQ(popUp(MetadataField::flash)->currentText(), QStringLiteral("80"));
    EXPECT_EQ(popUp(MetadataField::countryPrimaryLocationCode)->currentText(), QStringLiteral("de"));
    form.refreshAllEditedMarks();
    expectEdited(MetadataField::flash, false);
    expectEdited(MetadataField::countryPrimaryLocationCode, false);
    EXPECT_FALSE(form.editedMetadata().isEdited());
    choose(MetadataField::flash, 0);
    choose(MetadataField::countryPrimaryLocationCode, 0);
    expectEdited(MetadataField::flash, true);
    expectEdited(MetadataField::countryPrimaryLocationCode, true);
    choose(MetadataField::flash, listed);
    expectEdited(MetadataField::flash, false);
    choose(MetadataField::flash, 3);
    EXPECT_EQ(form.editedMetadata().flash(), flashValues().at(3));
    // The next value the list holds takes the item away again.
    record().setFlash(16);
    form.resetEditedMarks();
    form.showFileInfoMetadata();
    EXPECT_EQ(popUp(MetadataField::flash)->count(), listed);
    EXPECT_EQ(popUp(MetadataField::countryPrimaryLocationCode)->currentText(), QStringLiteral("de"));
}

TEST_F(TrackingTest, ADateFieldAgreesOnlyWithTheFilesDateInTheDisplayFormat)
{
    QLineEdit *date = field(MetadataField::modifyDate);
    EXPECT_EQ(date->text(), displayText(at(2022, 8, 9, 10, 11, 12)));
    date->setText(QStringLiteral("Keep Original"));
    form.fieldChanged(date);
    expectEdited(MetadataField::modifyDate, true);
    date->setText(displayText(at(2022, 8, 9, 10, 11, 12)));
    form.fieldChanged(date);
    expectEdited(MetadataField::modifyDate, false);

    field(MetadataField::originalDate)->setText(QStringLiteral("Empty Value"));
    form.fieldChanged(field(MetadataField::originalDate));
    expectEdited(MetadataField::originalDate, true); // any summary differs from no date
    EXPECT_TRUE(date->isReadOnly()) << "dates change through their rule only";
}

TEST_F(TrackingTest, NothingIsTrackedOnAPresetFormOrForForeignControls)
{
    form.setPreset(true);
    type(MetadataField::artist, QStringLiteral("Zed"));
    choose(MetadataField::flash, 0);
    form.refreshAllEditedMarks();
    for (const MetadataField f : allMetadataFields())
        expectEdited(f, false);
    form.setPreset(false);

    const auto flags = record().editedFlags();
    QLineEdit stranger;
    form.fieldChanged(&stranger);
    form.fieldChanged(form.dateButton(MetadataField::originalDate));
    form.fieldChanged(nullptr);
    EXPECT_EQ(record().editedFlags(), flags);

    form.setFileInfo(nullptr);
    form.fieldChanged(field(MetadataField::artist));
    EXPECT_FALSE(isMarked(MetadataField::artist));
}

TEST_F(TrackingTest, GpsReferencesGiveTheirNumberItsSign)
{
    type(MetadataField::gpsLatitude, QStringLiteral("12.5"));
    choose(MetadataField::gpsLatitudeRef, QStringLiteral("South"));
    EXPECT_EQ(field(MetadataField::gpsLatitude)->text(), QStringLiteral("-12.5"));
    choose(MetadataField::gpsLatitudeRef, QStringLiteral("South"));
    EXPECT_EQ(field(MetadataField::gpsLatitude)->text(), QStringLiteral("-12.5"));
    choose(MetadataField::gpsLatitudeRef, QStringLiteral("North"));
    EXPECT_EQ(field(MetadataField::gpsLatitude)->text(), QStringLiteral("12.5"));
    choose(MetadataField::gpsLatitudeRef, 0);
    EXPECT_EQ(field(MetadataField::gpsLatitude)->text(), QStringLiteral("12.5"));
    expectEdited(MetadataField::gpsLatitude, true);
    expectEdited(MetadataField::gpsLatitudeRef, false);

    choose(MetadataField::gpsAltitudeRef, QStringLiteral("Below sea level"));
    EXPECT_EQ(field(MetadataField::gpsAltitude)->text(), QStringLiteral("-"));
    choose(MetadataField::gpsAltitudeRef, QStringLiteral("Above sea level"));
    EXPECT_TRUE(field(MetadataField::gpsAltitude)->text().isEmpty());
    expectEdited(MetadataField::gpsAltitude, false);
    expectEdited(MetadataField::gpsAltitudeRef, true);
}

TEST_F(TrackingTest, APresetOverlaysOnlyItsValuesAndTheRefreshMarksTheDifferences)
{
    type(MetadataField::headline, QStringLiteral("Mine"));
    choose(MetadataField::flash, 1);
    Metadata preset;
    preset.setArtist(QString());
    preset.setISO(0);
    preset.setFlash(16);
    preset.setCountryPrimaryLocationCode(QStringLiteral("XX"));
    preset.setCreateDateXMP(at(2001, 2, 3));
    auto emptying = std::make_shared<DateTime>();
    emptying->isEmptyValue = true;
    preset.setDateTimeModifyDateXMP(emptying);

    form.showPresetMetadata(preset);
    EXPECT_TRUE(field(MetadataField::artist)->text().isEmpty());
    EXPECT_EQ(field(MetadataField::iso)->text(), QStringLiteral("0"));
    EXPECT_EQ(field(MetadataField::headline)->text(), QStringLiteral("Mine")) << "left alone";
    EXPECT_EQ(popUp(MetadataField::countryPrimaryLocationCode)->currentText(), QStringLiteral("XX"));
    EXPECT_EQ(field(MetadataField::createDateXMP)->text(), displayText(at(2001, 2, 3)));
    EXPECT_EQ(record().dateTimeCreateDateXMP(), preset.dateTimeCreateDateXMP()) << "the preset's rule itself";
    EXPECT_EQ(record().dateTimeModifyDateXMP(), emptying);
    EXPECT_NE(record().dateTimeOriginalDate(), preset.dateTimeOriginalDate()) << "no date and no mode: kept";
    EXPECT_FALSE(isMarked(MetadataField::artist)) << "marks wait for the refresh";

    form.refreshAllEditedMarks();
    expectEdited(MetadataField::artist, true);
    expectEdited(MetadataField::iso, true);
    expectEdited(MetadataField::headline, true);
    expectEdited(MetadataField::flash, false); // the preset gave back the file's value
    expectEdited(MetadataField::createDateXMP, true);
    expectEdited(MetadataField::city, false);
}
