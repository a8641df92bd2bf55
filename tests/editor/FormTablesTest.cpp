// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditorFixture.h"

#include "controls/CustomTextView.h"
#include "editor/PopUpValues.h"
#include "engine/Countries.h"

#include <QPushButton>
#include <QSet>

using namespace editortest;

// The form's rows, outlets and pop-up lists against the record's field table.
TEST_F(EditorTest, EveryFieldHasItsOwnLabelBoxAndControlOfItsKind)
{
    QSet<QString> names;
    int textFields = 0, textViews = 0, popUps = 0, dateButtons = 0;
    for (const MetadataField f : allMetadataFields()) {
        const FormFieldInfo &row = formField(f);
        ASSERT_EQ(row.field, f);
        for (const FormOutlet outlet : { FormOutlet::Label, FormOutlet::Box, FormOutlet::Control }) {
            const QString name = formOutletName(row, outlet);
            EXPECT_FALSE(names.contains(name)) << qPrintable(name);
            names << name;
            EXPECT_NE(form.findChild<QWidget *>(name), nullptr) << qPrintable(name);
        }
        EXPECT_EQ(form.control(f)->parentWidget(), form.box(f));
        textFields += form.textField(f) ? 1 : 0;
        textViews += form.textView(f) ? 1 : 0;
        popUps += form.popUp(f) ? 1 : 0;
        dateButtons += form.dateButton(f) ? 1 : 0;
        EXPECT_EQ(form.dateButton(f) != nullptr, fieldKind(f) == FieldKind::Date);
    }
    EXPECT_EQ(textFields, 58);
    EXPECT_EQ(textViews, 2);
    EXPECT_EQ(popUps, 15);
    EXPECT_EQ(dateButtons, 6);
    EXPECT_EQ(
        form.findChild<QWidget *>(QStringLiteral("txtFieldArtist")), form.textField(MetadataField::artist));
    EXPECT_EQ(form.findChild<QWidget *>(QStringLiteral("popUpSensitivityType")),
        form.popUp(MetadataField::sensitivityType));
    EXPECT_EQ(form.findChild<QWidget *>(QStringLiteral("txtFieldHostComputer")),
        form.textField(MetadataField::hostName));
    EXPECT_EQ(form.findChild<QWidget *>(QStringLiteral("btnCreateDatePhotoshopXMP")),
        form.dateButton(MetadataField::createDatePhotoshopXMP));
}

TEST_F(EditorTest, PopUpsOfferTheirValueListsWithLeaveBlankFirst)
{
    for (const MetadataField f : allMetadataFields()) {
        QComboBox *box = form.popUp(f);
        if (!box || f == MetadataField::countryPrimaryLocationCode)
            continue;
        const PopUpValues *values = popUpValues(f);
        ASSERT_NE(values, nullptr) << fieldInfo(f).name;
        EXPECT_EQ(box->count(), values->count()) << fieldInfo(f).name;
        EXPECT_EQ(box->itemText(0), QStringLiteral("Leave Blank"));
        // Item i stands for entry i only while no two titles are alike.
        const QStringList titles = values->titles();
        EXPECT_EQ(QSet<QString>(titles.begin(), titles.end()).size(), values->count()) << fieldInfo(f).name;
        EXPECT_EQ(box->itemText(box->count() - 1), values->title(values->entry(values->count() - 1)));
    }
    QComboBox *country = form.popUp(MetadataField::countryPrimaryLocationCode);
    EXPECT_EQ(country->count(), countryList().size() + 1);
    EXPECT_EQ(country->itemText(0), QStringLiteral("Leave Blank"));
    EXPECT_TRUE(form.locales().first().countryCode.isEmpty());
    EXPECT_EQ(form.locales().size(), country->count());
}

TEST_F(EditorTest, LabelsTakeTheirTextsByKey)
{
    EXPECT_EQ(form.label(MetadataField::artist)->text(), localizedString(QStringLiteral("QX_ID_75")) + ':');
    EXPECT_EQ(
        form.label(MetadataField::serialNumberXMP)->text(), form.label(MetadataField::serialNumber)->text());
    EXPECT_EQ(
        form.label(MetadataField::modifyDateXMP)->text(), form.label(MetadataField::modifyDate)->text());
    EXPECT_EQ(form.label(MetadataField::createDatePhotoshopXMP)->text(),
        form.label(MetadataField::createDateXMP)->text());
    EXPECT_EQ(form.heading(FormHeading::ExifDetails)->text(), localizedString(QStringLiteral("QX_ID_74")));
    EXPECT_EQ(
        form.heading(FormHeading::IPTCDetails)->text(), localizedString(QStringLiteral("QX_ID_116")) + ':');
    EXPECT_EQ(
        form.heading(FormHeading::Camera)->text(), localizedString(QStringLiteral("QX_ID_17")).toUpper());
    EXPECT_EQ(form.lblEditLocationWithMap()->text(), localizedString(QStringLiteral("QX_ID_253")));
    for (const MetadataField f : allMetadataFields())
        EXPECT_GT(form.label(f)->text().size(), 1) << fieldInfo(f).name;
}

TEST(EditorForm, BeforeItsViewLoadsTheFormHoldsABlankRecordAndChangesNothing)
{
    MetadataEditorViewController form;
    EXPECT_FALSE(form.isViewLoaded());
    ASSERT_TRUE(form.fileInfo() && form.fileInfo()->metadata);
    EXPECT_FALSE(form.fileInfo()->metadata->isEdited());
    EXPECT_FALSE(form.locales().first().countryCode.isEmpty()) << "no blank entry before the view loads";

    Metadata values;
    values.setArtist(QStringLiteral("Ann"));
    values.setArtistEdited(true);
    form.showMetadata(values, false, true);
    EXPECT_TRUE(values.isArtistEdited()) << "an unloaded form resets nothing";
    form.setEditable(false);
    EXPECT_TRUE(form.isEditableUI());
    EXPECT_FALSE(form.editedMetadata().hasValue(MetadataField::artist));

    form.fileInfo()->metadata->setCityEdited(true);
    const auto rule = form.fileInfo()->metadata->dateTimeOriginalDate();
    form.resetEditedMarks();
    EXPECT_FALSE(form.fileInfo()->metadata->isCityEdited());
    EXPECT_EQ(form.fileInfo()->metadata->dateTimeOriginalDate(), rule) << "rules stay while unloaded";

    MetadataEditorViewController other;
    EXPECT_NE(other.fileInfo(), form.fileInfo());
}
