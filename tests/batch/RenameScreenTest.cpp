// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchScreensFixture.h"

#include "batch/RenameViewController.h"
#include "common/AppSettings.h"
#include "platform/widgets/Presenter.h"
#include "support/AlertScript.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using Tone = RenameViewController::Tone;

class RenameScreen : public BatchScreens
{
protected:
    void SetUp() override
    {
        BatchScreens::SetUp();
        screen = RenameViewController::shared();
        screen->show();
    }

    QString example() const { return screen->lblExampleValue->text(); }

    static void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        QTest::keyClicks(field, text);
    }
    static void clear(QLineEdit *field)
    {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
    }
    static void choose(QComboBox *popUp, int index)
    {
        popUp->setCurrentIndex(index);
        emit popUp->activated(index);
    }

    QList<QCheckBox *> groupBoxes() const
    {
        return { screen->btnReplaceFilename, screen->btnReplaceText, screen->btnAddText, screen->btnAddIndex,
            screen->btnAddCounter, screen->btnAddDateTime, screen->btnAddExifLocation,
            screen->btnAppendWidthHeight };
    }

    RenameViewController *screen = nullptr;
};

TEST_F(RenameScreen, KeepAndEditArePairsAndEditingOpensTheGroups)
{
    EXPECT_EQ(screen->btnKeepOriginalFilename->text(), text("QX_ID_164"));
    EXPECT_EQ(screen->lblExample->text(), text("QX_ID_166") + QLatin1Char(':'));
    EXPECT_EQ(screen->btnCityAddExifLocation->text(), text("QX_ID_132"));
    EXPECT_EQ(screen->btnSave->text(), text("QX_ID_72"));
    EXPECT_EQ(screen->popUpFormatAddDateTime->count(), 20);
    EXPECT_EQ(screen->popUpFormatAddDateTime->itemText(6), QStringLiteral("DD-MM-YYYY-HHMM"));
    EXPECT_EQ(screen->popUpMinNumberOfDigitAddCounter->itemText(0), QStringLiteral("Auto"));

    EXPECT_TRUE(screen->btnKeepOriginalFilename->isChecked());
    EXPECT_EQ(example(), QStringLiteral("Filename"));
    EXPECT_EQ(RenameViewController::toneOf(screen->lblExample), Tone::tertiary);
    for (QCheckBox *box : groupBoxes())
        EXPECT_FALSE(box->isEnabled());

    screen->btnEditOriginalFilename->click();
    EXPECT_TRUE(screen->rename.isEditOriginalFileName);
    EXPECT_FALSE(screen->rename.isKeepOriginalFileName);
    EXPECT_FALSE(screen->btnKeepOriginalFilename->isChecked());
    EXPECT_EQ(RenameViewController::toneOf(screen->lblExample), Tone::label);
    EXPECT_EQ(RenameViewController::toneOf(screen->lblExampleValue), Tone::secondary);
    for (QCheckBox *box : groupBoxes())
        EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(screen->txtFieldPrefixAddText->isEnabled()) << "a group stays off until its own box is on";

    screen->btnKeepOriginalFilename->click();
    EXPECT_FALSE(screen->rename.isEditOriginalFileName);
    screen->btnKeepOriginalFilename->click();
    EXPECT_FALSE(screen->rename.isKeepOriginalFileName);
    EXPECT_FALSE(screen->rename.isEditOriginalFileName) << "turning keep off leaves edit off";
    for (QCheckBox *box : groupBoxes())
        EXPECT_FALSE(box->isEnabled());
}

TEST_F(RenameScreen, TheExampleFollowsTheRuleWithPlaceholders)
{
    screen->btnEditOriginalFilename->click();
    screen->btnAddDateTime->click();
    choose(screen->popUpAsAddDateTime, 1);
    EXPECT_EQ(example(), QStringLiteral("Filename_{DDMMYYYY}"));

    // The date placeholder shows even when no date source is chosen.
    screen->btnAddCurrentDateTime->click();
    EXPECT_FALSE(screen->rename.isAddCurrentDate);
    EXPECT_FALSE(screen->rename.isAddExifDate);
    EXPECT_EQ(example(), QStringLiteral("Filename_{DDMMYYYY}"));
    EXPECT_FALSE(screen->popUpTypeAddExifDateTime->isEnabled());
    screen->btnAddExifDateTime->click();
    EXPECT_TRUE(screen->popUpTypeAddExifDateTime->isEnabled());
    choose(screen->popUpTypeAddExifDateTime, 2);
    EXPECT_EQ(screen->rename.exifDateType, ExifDateType::modify);
    screen->btnAddCurrentDateTime->click();
    EXPECT_FALSE(screen->rename.isAddExifDate) << "current and photo date are a pair";

    choose(screen->popUpAsAddDateTime, 0);
    choose(screen->popUpFormatAddDateTime, 19);
    screen->btnAddCounter->click();
    type(screen->txtFieldPrefixAddCounter, QStringLiteral("5"));
    choose(screen->popUpMinNumberOfDigitAddCounter, 3);
    screen->btnAddExifLocation->click();
    screen->btnCityAddExifLocation->click();
    screen->btnCountryAddExifLocation->click();
    screen->btnAppendWidthHeight->click();
    screen->btnAddText->click();
    type(screen->txtFieldSuffixAddText, QStringLiteral("raw"));
    EXPECT_EQ(example(),
        QStringLiteral("005_{YYYY-MM-DD_HH-MM-SS}_Filename_{City}_{Country}_{Width}x{Height}_raw"));

    screen->btnReplaceFilename->click();
    type(screen->txtFieldReplaceFilename, QStringLiteral("Trip"));
    screen->btnAddExifLocation->click();
    EXPECT_FALSE(screen->btnCityAddExifLocation->isEnabled());
    EXPECT_EQ(example(), QStringLiteral("005_{YYYY-MM-DD_HH-MM-SS}_Trip_{Width}x{Height}_raw"));
}

TEST_F(RenameScreen, TypedTextsAndNumbersGoIntoTheRule)
{
    screen->btnEditOriginalFilename->click();
    screen->btnAddIndex->click();
    type(screen->txtFieldPrefixAddIndex, QStringLiteral("12"));
    EXPECT_EQ(screen->rename.prefixAddIndex, 12);
    clear(screen->txtFieldPrefixAddIndex);
    EXPECT_EQ(screen->rename.prefixAddIndex, 12) << "an emptied number keeps the rule's";
    EXPECT_EQ(screen->txtFieldPrefixAddIndex->text(), QStringLiteral("12"));
    type(screen->txtFieldPrefixAddIndex, QStringLiteral("x"));
    EXPECT_EQ(screen->txtFieldPrefixAddIndex->text(), QStringLiteral("12")) << "only digits are taken";

    screen->btnAddText->click();
    type(screen->txtFieldPrefixAddText, QStringLiteral("  "));
    EXPECT_EQ(screen->rename.prefixAddText, QStringLiteral("  "));
    EXPECT_EQ(example(), QStringLiteral("  _12_Filename"));

    screen->btnReplaceText->click();
    type(screen->txtFieldFindReplaceText, QStringLiteral("name"));
    EXPECT_EQ(example(), QStringLiteral("  _12_File"));
    type(screen->txtFieldReplaceWithReplaceText, QStringLiteral("/x"));
    EXPECT_EQ(example(), QStringLiteral("  _12_File_x")) << "no part can add a folder level";

    // A group turned off keeps its values for later.
    screen->btnAddIndex->click();
    EXPECT_FALSE(screen->txtFieldPrefixAddIndex->isEnabled());
    EXPECT_EQ(example(), QStringLiteral("  _File_x"));
    EXPECT_EQ(screen->rename.prefixAddIndex, 12);
}

TEST_F(RenameScreen, SaveStoresTheRuleButRefusesABlankReplacementName)
{
    testsupport::AlertScript alerts;
    std::vector<platform::Presenter::Event> events;
    const auto previous = platform::Presenter::setRecorder(
        [&](platform::Presenter::Event event, QWidget *) { events.push_back(event); });

    screen->btnEditOriginalFilename->click();
    screen->btnReplaceFilename->click();
    type(screen->txtFieldReplaceFilename, QStringLiteral("   "));
    alerts.answer(platform::Alert::FirstButton);
    screen->btnSave->click();
    ASSERT_EQ(alerts.shown().size(), 1u);
    EXPECT_EQ(alerts.shown()[0].message, text("QX_ID_196"));
    EXPECT_EQ(alerts.shown()[0].informative, text("QX_ID_197"));
    EXPECT_EQ(loadRenameSettings(), Rename()) << "nothing saved";
    EXPECT_TRUE(events.empty()) << "the window stays";

    type(screen->txtFieldReplaceFilename, QStringLiteral("Trip"));
    screen->btnSave->click();
    EXPECT_EQ(loadRenameSettings(), screen->rename);
    EXPECT_EQ(loadRenameSettings().replaceFilename, QStringLiteral("   Trip"));
    EXPECT_EQ(events, std::vector { platform::Presenter::Event::Dismissed });

    // Opening again shows the stored rule, not unsaved changes.
    screen->btnAddText->click();
    QWidget host;
    RenameViewController::present(&host);
    EXPECT_EQ(screen->rename, loadRenameSettings());
    EXPECT_FALSE(screen->btnAddText->isChecked());
    EXPECT_EQ(screen->txtFieldReplaceFilename->text(), QStringLiteral("   Trip"));
    EXPECT_EQ(events.back(), platform::Presenter::Event::ModalWindow);
    platform::Presenter::setRecorder(previous);
}

} // namespace
