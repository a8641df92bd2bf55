// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditorFixture.h"

#include "controls/CustomTextView.h"

using namespace editortest;

TEST_F(EditorTest, AReadOnlyFormRefusesTypingAndIgnoresItsActions)
{
    Metadata values;
    values.setArtist(QStringLiteral("Ann"));
    addFile(values);
    form.showMetadataOfMarkedFiles();

    form.setEditable(false);
    EXPECT_FALSE(form.isEditableUI());
    QTest::keyClicks(field(MetadataField::artist), QStringLiteral("x"));
    EXPECT_EQ(field(MetadataField::artist)->text(), QStringLiteral("Ann"));
    EXPECT_TRUE(form.textView(MetadataField::keywords)->isReadOnly());
    EXPECT_FALSE(popUp(MetadataField::flash)->isEnabled());
    EXPECT_FALSE(form.dateButton(MetadataField::originalDate)->isEnabled()) << "no popover to offer";
    form.showDatePopover(form.dateButton(MetadataField::originalDate), MetadataField::originalDate);
    EXPECT_FALSE(form.datePopOver().isShown()) << "and a press arriving anyway opens nothing";

    // Actions arriving anyway change nothing.
    field(MetadataField::gpsLatitude)->setText(QStringLiteral("5"));
    choose(MetadataField::gpsLatitudeRef, QStringLiteral("South"));
    EXPECT_EQ(field(MetadataField::gpsLatitude)->text(), QStringLiteral("5"));
    choose(MetadataField::flash, 3);
    EXPECT_FALSE(isMarked(MetadataField::flash));
    EXPECT_FALSE(isMarked(MetadataField::gpsLatitudeRef));
    EXPECT_FALSE(record().isEdited());

    form.setEditable(true);
    EXPECT_TRUE(popUp(MetadataField::flash)->isEnabled());
    EXPECT_TRUE(form.btnEditLocationWithMap()->isEnabled());
    EXPECT_FALSE(field(MetadataField::artist)->isReadOnly());
    EXPECT_TRUE(field(MetadataField::originalDate)->isReadOnly()) << "a date field never takes typing";
    EXPECT_EQ(field(MetadataField::artist)->text(), QStringLiteral("Ann"));
}

TEST_F(EditorTest, ResettingForgetsMarksFlagsAndDateRules)
{
    Metadata values;
    values.setOriginalDate(at(2015, 6, 7, 8, 9, 10));
    const auto file = addFile(values);
    form.showMetadataOfMarkedFiles();
    type(MetadataField::artist, QStringLiteral("Zed"));
    const auto rule = record().dateTimeOriginalDate();
    rule->isIDOriginalDate = true;
    rule->dayIDOriginalDate = 3;
    record().setOriginalDateEdited(true);

    form.resetEditedMarks();
    EXPECT_FALSE(record().isEdited());
    for (const MetadataField f : allMetadataFields())
        EXPECT_FALSE(isMarked(f)) << fieldInfo(f).name;
    const auto fresh = record().dateTimeOriginalDate();
    EXPECT_NE(fresh, rule);
    EXPECT_FALSE(fresh->isAnyOptionSelected());
    EXPECT_EQ(fresh->originalDate, at(2015, 6, 7, 8, 9, 10));
    EXPECT_FALSE(record().dateTimeCreateDate()->originalDate.has_value());
    EXPECT_EQ(field(MetadataField::artist)->text(), QStringLiteral("Zed")) << "the caller reloads the values";

    // The owner's reset: marks first, then the marked files again.
    type(MetadataField::artist, QStringLiteral("Zed2"));
    form.resetEditedMarks();
    form.showMetadataOfMarkedFiles();
    EXPECT_EQ(form.fileInfo(), file);
    EXPECT_TRUE(field(MetadataField::artist)->text().isEmpty());

    form.setFileInfo(nullptr);
    form.box(MetadataField::city)->setBorderColor(FieldBox::editedColor());
    form.resetEditedMarks();
    EXPECT_FALSE(isMarked(MetadataField::city));
}

TEST_F(EditorTest, ShowingWithResetClearsTheShownRecordsEditsFirst)
{
    Metadata values;
    values.setArtist(QStringLiteral("Ann"));
    addFile(values);
    form.showMetadataOfMarkedFiles();
    type(MetadataField::artist, QStringLiteral("Bob"));
    type(MetadataField::city, QStringLiteral("Rome"));

    Metadata &shown = record();
    form.showMetadata(shown, false, false);
    EXPECT_EQ(field(MetadataField::artist)->text(), QStringLiteral("Bob")) << "edited fields are skipped";
    EXPECT_TRUE(isMarked(MetadataField::artist));

    form.showMetadata(shown, false, true);
    EXPECT_EQ(field(MetadataField::artist)->text(), QStringLiteral("Ann"));
    EXPECT_TRUE(field(MetadataField::city)->text().isEmpty());
    EXPECT_FALSE(isMarked(MetadataField::artist));
    EXPECT_FALSE(shown.isEdited());
}

TEST_F(EditorTest, CopyingDateTimesSharesThePresetsRulesWithTheRecord)
{
    Metadata preset;
    auto keep = std::make_shared<DateTime>();
    keep->isKeepOriginal = true;
    preset.setDateTimeOriginalDate(keep);
    form.setPreset(true);
    form.showMetadata(preset, true, true);
    EXPECT_EQ(record().dateTimeOriginalDate(), keep);
    for (int i = 0; i < dateRuleCount; ++i)
        EXPECT_EQ(record().dateTime(DateRule(i)), preset.dateTime(DateRule(i)));
    type(MetadataField::artist, QStringLiteral("x"));
    EXPECT_FALSE(isMarked(MetadataField::artist)) << "a preset form marks nothing";
}
