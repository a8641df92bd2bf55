// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditorFixture.h"

#include "controls/CustomTextView.h"
#include "editor/PresetFields.h"

#include <cmath>

using namespace editortest;

TEST_F(EditorTest, CollectsWhatTheFormHoldsWithTheRecordsFlagsAndRules)
{
    Metadata values;
    values.setArtist(QStringLiteral("Ann"));
    values.setCity(QStringLiteral("Oslo"));
    values.setOriginalDate(at(2020, 1, 1, 8));
    values.setModifyDate(at(2020, 1, 2, 8));
    addFile(values);
    form.showMetadataOfMarkedFiles();

    field(MetadataField::artist)->setText(QStringLiteral("  "));
    form.fieldChanged(field(MetadataField::artist));
    type(MetadataField::city, QStringLiteral("x"));
    QTest::keyClick(field(MetadataField::city), Qt::Key_Backspace);
    field(MetadataField::city)->clear();
    form.fieldChanged(field(MetadataField::city));
    field(MetadataField::iso)->setText(QStringLiteral(" 42 "));
    field(MetadataField::whiteBalance)->setText(QStringLiteral("  "));
    field(MetadataField::fNumber)->setText(QStringLiteral("-"));
    field(MetadataField::focalLength)->setText(QStringLiteral("1.2.3"));
    field(MetadataField::exposureTime)->setText(QStringLiteral("0.004"));
    form.textView(MetadataField::keywords)->setPlainText(QStringLiteral("a,\nb"));
    choose(MetadataField::flash, popUp(MetadataField::flash)->count() - 1);
    choose(MetadataField::gpsLatitudeRef, QStringLiteral("South"));
    field(MetadataField::gpsLatitude)->setText(QStringLiteral("33.5"));
    choose(MetadataField::countryPrimaryLocationCode, QStringLiteral("Norway"));
    record().dateTimeModifyDate()->isEmptyValue = true;

    const Metadata edited = form.editedMetadata();
    EXPECT_EQ(edited.artist(), QStringLiteral("  ")) << "blanks are a text";
    EXPECT_FALSE(edited.city().has_value());
    EXPECT_TRUE(edited.isCityEdited()) << "emptied against the file's value";
    EXPECT_TRUE(edited.isArtistEdited());
    EXPECT_EQ(edited.iso(), 42);
    EXPECT_FALSE(edited.whiteBalance().has_value());
    EXPECT_EQ(edited.fNumber(), 0.0);
    EXPECT_EQ(edited.focalLength(), 1.2);
    EXPECT_EQ(edited.exposureTime(), 0.004) << "fractions of a second are kept";
    EXPECT_EQ(edited.keywords(), QStringLiteral("a,\nb"));
    EXPECT_EQ(edited.flash(), 95);
    EXPECT_EQ(edited.gpsLatitudeRef(), QStringLiteral("S"));
    EXPECT_EQ(edited.gpsLatitude(), 33.5) << "sign and reference as the controls hold them";
    EXPECT_EQ(edited.countryPrimaryLocationCode(), QStringLiteral("NO"));
    EXPECT_FALSE(edited.orientation().has_value());
    EXPECT_EQ(edited.originalDate(), at(2020, 1, 1, 8)) << "a rule without a mode keeps the date";
    EXPECT_FALSE(edited.modifyDate().has_value()) << "a rule that empties the date";
    EXPECT_EQ(edited.editedFlags(), record().editedFlags());
    for (int i = 0; i < dateRuleCount; ++i)
        EXPECT_EQ(edited.dateTime(DateRule(i)), record().dateTime(DateRule(i))) << "the same rule objects";

    // Collecting changes nothing, and each call makes a new record.
    const auto flags = record().editedFlags();
    const Metadata again = form.editedMetadata();
    EXPECT_EQ(record().editedFlags(), flags);
    EXPECT_EQ(again.iso(), edited.iso());
}

TEST_F(EditorTest, CollectingFromSeveralFilesLeavesDifferingFieldsAbsent)
{
    Metadata a;
    a.setMake(QStringLiteral("Nikon"));
    a.setCameraModelName(QStringLiteral("D70"));
    Metadata b = a;
    b.setMake(QStringLiteral("Canon"));
    addFile(a);
    addFile(b);
    form.showMetadataOfMarkedFiles();
    const Metadata edited = form.editedMetadata();
    EXPECT_FALSE(edited.make().has_value()) << "only a placeholder shows";
    EXPECT_FALSE(edited.isEdited());

    form.setFileInfo(nullptr);
    const Metadata orphan = form.editedMetadata();
    EXPECT_FALSE(orphan.isEdited());
    EXPECT_FALSE(orphan.originalDate().has_value());
}

TEST_F(EditorTest, APresetOfTheEditsHoldsTheEditedFieldsOnly)
{
    Metadata values;
    values.setArtist(QStringLiteral("Ann"));
    values.setMake(QStringLiteral("Nikon"));
    values.setCity(QStringLiteral("Oslo"));
    values.setFlash(16);
    values.setISO(200);
    values.setOriginalDate(at(2020, 1, 1, 8));
    values.setModifyDate(at(2020, 1, 2, 8));
    addFile(values);
    form.showMetadataOfMarkedFiles();

    type(MetadataField::artist, QStringLiteral("Bo"));
    field(MetadataField::city)->clear();
    form.fieldChanged(field(MetadataField::city));
    choose(MetadataField::flash, 0);
    field(MetadataField::iso)->clear();
    form.fieldChanged(field(MetadataField::iso));
    record().dateTimeModifyDate()->isEmptyValue = true;
    field(MetadataField::modifyDate)->setText(QStringLiteral("Empty Value"));
    form.fieldChanged(field(MetadataField::modifyDate));

    const Metadata preset = presetOfEdits(form.editedMetadata());
    Metadata::EditedFlags held;
    for (const MetadataField f :
        { MetadataField::artist, MetadataField::city, MetadataField::flash, MetadataField::modifyDate })
        held.set(std::size_t(f));
    EXPECT_EQ(presetFields(preset), held) << "an emptied number has no value to hold";
    EXPECT_EQ(preset.artist(), QStringLiteral("Bo"));
    EXPECT_EQ(preset.city(), QString()) << "emptied as its field shows it";
    EXPECT_EQ(preset.flash(), -1) << "Leave Blank";
    EXPECT_FALSE(preset.make().has_value());
    EXPECT_FALSE(preset.originalDate().has_value());
    EXPECT_TRUE(preset.dateTimeModifyDate()->isEmptyValue);
    EXPECT_NE(preset.dateTimeModifyDate(), record().dateTimeModifyDate()) << "a copy of the rule";

    // Applied to the same file it empties what was emptied and marks only that.
    form.resetEditedMarks();
    form.showFileInfoMetadata();
    form.applyPreset(preset);
    EXPECT_EQ(record().editedFlags(), held);
    const Metadata again = form.editedMetadata();
    EXPECT_FALSE(again.city().has_value());
    EXPECT_FALSE(again.flash().has_value());
}
