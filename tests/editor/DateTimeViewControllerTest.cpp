// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormStandIn.h"

#include "common/Globals.h"
#include "common/Localization.h"
#include "editor/DateTimeViewController.h"
#include "editor/Stepper.h"
#include "engine/DateTexts.h"
#include "engine/FileInfo.h"
#include "platform/Calendar.h"
#include "platform/DateFormat.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// A wall clock, as the engine holds a photo's dates: the pickers show it
// as it is, whatever the user's zone.
QDateTime wall(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

class DateTimeViewControllerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { loadLocalizationDictionary(); }
    void SetUp() override
    {
        platform::DateFormat::setTimeZone(QStringLiteral("Europe/Berlin"));
        platform::DateFormat::setUserLocale(QStringLiteral("en_US"));
        screen.textFieldEditor = form.txtFieldOriginalDate;
        screen.metadataEditorVC = &form;
    }
    void TearDown() override
    {
        displayedFiles().clear();
        platform::DateFormat::setTimeZone(QString());
        platform::DateFormat::setUserLocale(QString());
    }

    // Selects what the field shows and types text over it, key by key.
    static void type(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    static void markFiles(int count)
    {
        displayedFiles().clear();
        for (int i = 0; i < count + 1; ++i) {
            auto file = std::make_shared<FileInfo>();
            file->isMark = i < count;
            displayedFiles().append(file);
        }
    }
    // Shows a rule for a file dated 14 July 2019, 09:30:05 in Berlin.
    std::shared_ptr<DateTime> showDatedRule()
    {
        auto rule = std::make_shared<DateTime>(original);
        screen.showDateTime(rule);
        return rule;
    }
    QList<QRadioButton *> modeButtons() const
    {
        return { screen.btnKeepOriginal, screen.btnEmptyValue, screen.btnSelectDate, screen.btnUpdateDate,
            screen.btnIDOriginalDate, screen.btnIDOriginalTime };
    }
    int fieldChanges() const { return int(form.calls.count(form.txtFieldOriginalDate)); }

    const QDateTime original = wall(2019, 7, 14, 9, 30, 5);
    FormStandIn form;
    DateTimeViewController screen;
};

TEST_F(DateTimeViewControllerTest, ANewRuleChoosesNothingAndLeavesTheFieldAlone)
{
    form.txtFieldOriginalDate->setText(QStringLiteral("what the form showed"));
    auto rule = std::make_shared<DateTime>();
    screen.showDateTime(rule);

    EXPECT_EQ(screen.dateTime, rule);
    for (QRadioButton *button : modeButtons())
        EXPECT_FALSE(button->isChecked());
    EXPECT_FALSE(screen.selectDatePicker->isEnabled());
    EXPECT_FALSE(screen.txtFieldDayUpdateDate->isEnabled());
    EXPECT_FALSE(screen.stepperDayIDOriginalDate->isEnabled());
    EXPECT_FALSE(screen.btnKeepOriginalSecondOriginalTime->isEnabled());
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("what the form showed"));
    EXPECT_TRUE(rule->textFieldEditorString.isEmpty());
    EXPECT_EQ(fieldChanges(), 0);
}

TEST_F(DateTimeViewControllerTest, EachModeButtonSetsExactlyItsOwnFlag)
{
    auto rule = showDatedRule();
    const QList<bool DateTime::*> flags
        = { &DateTime::isKeepOriginal, &DateTime::isEmptyValue, &DateTime::isSelectDate,
              &DateTime::isUpdateDate, &DateTime::isIDOriginalDate, &DateTime::isIDOriginalTime };
    // Backwards, so each click has another mode to clear.
    for (int i = 5; i >= 0; --i) {
        modeButtons()[i]->click();
        for (int j = 0; j < 6; ++j) {
            EXPECT_EQ((*rule).*flags[j], i == j) << "mode " << i << ", flag " << j;
            EXPECT_EQ(modeButtons()[j]->isChecked(), i == j);
        }
    }
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Keep Original"));
    EXPECT_EQ(rule->textFieldEditorString, QStringLiteral("Keep Original"));

    screen.btnEmptyValue->click();
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Empty Value"));
    EXPECT_FALSE(rule->newDate(original).has_value());
    EXPECT_GE(fieldChanges(), 7) << "the form re-evaluates its field after every change";

    // Clicking the mode that is on keeps it on.
    screen.btnEmptyValue->click();
    EXPECT_TRUE(rule->isEmptyValue);
    EXPECT_TRUE(screen.btnEmptyValue->isChecked());
}

TEST_F(DateTimeViewControllerTest, UpdateSummaryNamesOnlyThePartsNotKept)
{
    auto rule = showDatedRule();
    screen.btnUpdateDate->click();
    // Unset parts show the original's, and so does the summary.
    EXPECT_EQ(screen.txtFieldDayUpdateDate->text(), QStringLiteral("14"));
    EXPECT_EQ(screen.txtFieldMonthUpdateDate->text(), QStringLiteral("7"));
    EXPECT_EQ(screen.txtFieldYearUpdateDate->text(), QStringLiteral("2019"));
    EXPECT_EQ(form.txtFieldOriginalDate->text(),
        QStringLiteral("Update:  Day: 14  Month: 7  Year: 2019  Time: 09:30:05 AM"));

    screen.btnKeepOriginalMonthUpdateDate->click();
    screen.btnKeepOriginalTimeUpdateDate->click();
    type(screen.txtFieldDayUpdateDate, QStringLiteral("5"));
    type(screen.txtFieldYearUpdateDate, QStringLiteral("2020"));
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Update:  Day: 5  Year: 2020"));
    EXPECT_FALSE(screen.txtFieldMonthUpdateDate->isEnabled()) << "a kept part cannot be typed";
    EXPECT_FALSE(screen.timeUpdateDatePicker->isEnabled());
    EXPECT_TRUE(screen.txtFieldDayUpdateDate->isEnabled());
    EXPECT_EQ(rule->newDate(original), wall(2020, 7, 5, 9, 30, 5));

    screen.btnKeepOriginalDayUpdateDate->click();
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Update:  Year: 2020"));
    screen.btnKeepOriginalYearUpdateDate->click();
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Keep Original"));
    EXPECT_TRUE(screen.btnUpdateDate->isChecked()) << "the mode stays chosen";
    EXPECT_TRUE(rule->isUpdateDate);
}

TEST_F(DateTimeViewControllerTest, TypedUpdatePartsAreHeldWithinTheirRange)
{
    auto rule = showDatedRule();
    screen.btnUpdateDate->click();
    type(screen.txtFieldDayUpdateDate, QStringLiteral("45"));
    EXPECT_EQ(screen.txtFieldDayUpdateDate->text(), QStringLiteral("31"));
    EXPECT_EQ(rule->dayUpdateDate, 31);
    type(screen.txtFieldDayUpdateDate, QStringLiteral("0"));
    EXPECT_EQ(screen.txtFieldDayUpdateDate->text(), QStringLiteral("1"));
    EXPECT_EQ(rule->dayUpdateDate, 1);
    type(screen.txtFieldMonthUpdateDate, QStringLiteral("13"));
    EXPECT_EQ(rule->monthUpdateDate, 12);

    const qint64 thisYear = platform::Calendar::parts(QDateTime::currentDateTimeUtc())->year;
    type(screen.txtFieldYearUpdateDate, QString::number(thisYear + 5));
    EXPECT_EQ(rule->yearUpdateDate, thisYear);
    EXPECT_EQ(screen.txtFieldYearUpdateDate->text(), QString::number(thisYear));
    EXPECT_TRUE(form.txtFieldOriginalDate->text().contains(QStringLiteral("  Year: %1").arg(thisYear)));
}

TEST_F(DateTimeViewControllerTest, ShiftSummariesAndTheirEffect)
{
    auto rule = showDatedRule();
    screen.btnIDOriginalDate->click();
    screen.btnKeepOriginalDayIDOriginalDate->click();
    screen.btnKeepOriginalYearIDOriginalDate->click();
    type(screen.txtFieldMonthIDOriginalDate, QStringLiteral("3"));
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Inc/Dec:  Month: 3"));
    EXPECT_EQ(rule->newDate(original), wall(2019, 10, 14, 9, 30, 5));
    EXPECT_FALSE(screen.stepperDayIDOriginalDate->isEnabled());
    EXPECT_TRUE(screen.stepperMonthIDOriginalDate->isEnabled());

    screen.btnIDOriginalTime->click();
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Inc/Dec:  Hour: 0  Minute: 0  Second: 0"));
    EXPECT_EQ(screen.txtFieldHourIDOriginalTime->text(), QStringLiteral("0"));
    type(screen.txtFieldHourIDOriginalTime, QStringLiteral("-2"));
    EXPECT_EQ(rule->newDate(original), wall(2019, 7, 14, 7, 30, 5));
    type(screen.txtFieldMinuteIDOriginalTime, QStringLiteral("30"));
    screen.btnKeepOriginalSecondOriginalTime->click();
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Inc/Dec:  Hour: -2  Minute: 30"));
    EXPECT_TRUE(rule->isKeepOriginalSecondIDOriginalTime);

    // The date shift's values wait for the mode to come back.
    screen.btnIDOriginalDate->click();
    EXPECT_EQ(screen.txtFieldMonthIDOriginalDate->text(), QStringLiteral("3"));
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Inc/Dec:  Month: 3"));
}

TEST_F(DateTimeViewControllerTest, ALoneMinusIsKeptWhileTheAmountIsTyped)
{
    auto rule = showDatedRule();
    screen.btnIDOriginalDate->click();
    QLineEdit *day = screen.txtFieldDayIDOriginalDate;
    type(day, QStringLiteral("-"));
    EXPECT_EQ(rule->dayIDOriginalDate, 0);
    EXPECT_EQ(rule->dayIDOriginalDateString, QStringLiteral("-"));
    EXPECT_EQ(day->text(), QStringLiteral("-"));
    QTest::keyClick(day, Qt::Key_5);
    EXPECT_EQ(rule->dayIDOriginalDate, -5);
    EXPECT_EQ(day->text(), QStringLiteral("-5"));
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Inc/Dec:  Day: -5  Month: 0  Year: 0"));

    type(day, QStringLiteral("-45"));
    EXPECT_EQ(rule->dayIDOriginalDate, -30);
    EXPECT_EQ(rule->dayIDOriginalDateString, QStringLiteral("-45")) << "the raw text is what was typed";
    EXPECT_EQ(day->text(), QStringLiteral("-30"));
    EXPECT_EQ(screen.stepperDayIDOriginalDate->value(), -30);

    type(day, QStringLiteral("x"));
    EXPECT_EQ(rule->dayIDOriginalDate, 0);
    EXPECT_EQ(day->text(), QStringLiteral("0"));
}

TEST_F(DateTimeViewControllerTest, ASteppedAmountIsStoredAndShown)
{
    auto rule = showDatedRule();
    screen.btnIDOriginalTime->click();
    for (int i = 0; i < 7; ++i)
        screen.stepperMinuteIDOriginalTime->upButton()->click();
    EXPECT_EQ(rule->minuteIDOriginalTime, 7);
    EXPECT_TRUE(rule->minuteIDOriginalTimeString.isEmpty()) << "stepping leaves the typed text";
    EXPECT_EQ(screen.txtFieldMinuteIDOriginalTime->text(), QStringLiteral("7"));
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Inc/Dec:  Hour: 0  Minute: 7  Second: 0"));

    screen.stepperSecondIDOriginalTime->stepBy(-100);
    EXPECT_EQ(rule->secondIDOriginalTime, -59) << "the stepper stops at its range";

    // Typed text follows into the stepper.
    type(screen.txtFieldHourIDOriginalTime, QStringLiteral("5"));
    EXPECT_EQ(screen.stepperHourIDOriginalTime->value(), 5);
}

TEST_F(DateTimeViewControllerTest, DateChangesNeedAnOriginalDateWhenOneFileIsMarked)
{
    const QList<QRadioButton *> changing
        = { screen.btnUpdateDate, screen.btnIDOriginalDate, screen.btnIDOriginalTime };
    const auto enabledCount = [&] {
        return std::count_if(
            changing.begin(), changing.end(), [](QRadioButton *b) { return b->isEnabled(); });
    };

    markFiles(1);
    auto undated = std::make_shared<DateTime>();
    screen.showDateTime(undated);
    EXPECT_EQ(enabledCount(), 0);
    EXPECT_TRUE(screen.btnKeepOriginal->isEnabled());
    EXPECT_TRUE(screen.btnEmptyValue->isEnabled());
    EXPECT_TRUE(screen.btnSelectDate->isEnabled());

    // A rule already changing parts still shows its mode and group.
    undated->isUpdateDate = true;
    screen.showDateTime(undated);
    EXPECT_TRUE(screen.btnUpdateDate->isChecked());
    EXPECT_FALSE(screen.btnUpdateDate->isEnabled());
    EXPECT_TRUE(screen.txtFieldDayUpdateDate->isEnabled());

    screen.showDateTime(std::make_shared<DateTime>(original));
    EXPECT_EQ(enabledCount(), 3);

    markFiles(2);
    screen.showDateTime(std::make_shared<DateTime>());
    EXPECT_EQ(enabledCount(), 3);
    markFiles(0);
    screen.showDateTime(std::make_shared<DateTime>());
    EXPECT_EQ(enabledCount(), 3);

    markFiles(1);
    screen.isPreset = true;
    screen.showDateTime(std::make_shared<DateTime>());
    EXPECT_EQ(enabledCount(), 3);
}

TEST_F(DateTimeViewControllerTest, SelectingADateTakesThePickersWallClock)
{
    auto rule = showDatedRule();
    screen.btnSelectDate->click();
    EXPECT_EQ(rule->selectDate, original) << "the picker starts at the original date";
    EXPECT_EQ(form.txtFieldOriginalDate->text(), displayText(original));

    screen.selectDatePicker->setDateTime(QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7), Qt::UTC));
    EXPECT_EQ(rule->selectDate, wall(2021, 3, 4, 5, 6, 7));
    EXPECT_EQ(form.txtFieldOriginalDate->text(), displayText(wall(2021, 3, 4, 5, 6, 7)));
    EXPECT_EQ(rule->newDate(original), wall(2021, 3, 4, 5, 6, 7));

    // Without a chosen date the summary falls back on the original date,
    // then on the moment the rule was made.
    DateTime unchosen(original);
    unchosen.isSelectDate = true;
    EXPECT_EQ(screen.summary(unchosen), displayText(original));
    DateTime undated;
    undated.isSelectDate = true;
    EXPECT_EQ(screen.summary(undated), displayText(undated.tempDate()));
}

TEST_F(DateTimeViewControllerTest, TheTimePickerSetsOnlyTheTimeOfDay)
{
    auto rule = showDatedRule();
    screen.btnUpdateDate->click();
    screen.btnKeepOriginalDayUpdateDate->click();
    screen.btnKeepOriginalMonthUpdateDate->click();
    screen.btnKeepOriginalYearUpdateDate->click();
    screen.timeUpdateDatePicker->setTime(QTime(18, 45, 0));
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Update:  Time: 06:45:00 PM"));
    EXPECT_EQ(rule->newDate(wall(2001, 2, 3, 4, 5, 6)), wall(2001, 2, 3, 18, 45, 0));
}

TEST_F(DateTimeViewControllerTest, TheFormIsToldOnlyWhenItsFieldIsSet)
{
    screen.textFieldEditor = nullptr;
    auto rule = showDatedRule();
    screen.btnKeepOriginal->click();
    EXPECT_EQ(rule->textFieldEditorString, QStringLiteral("Keep Original"));
    EXPECT_TRUE(form.calls.isEmpty());

    // The form fills its date fields through the same hand-back.
    screen.textFieldEditor = form.txtFieldOriginalDate;
    screen.metadataEditorVC = nullptr;
    auto other = std::make_shared<DateTime>(original);
    other->isEmptyValue = true;
    screen.updateEditorField(other);
    EXPECT_EQ(form.txtFieldOriginalDate->text(), QStringLiteral("Empty Value"));
    EXPECT_EQ(other->textFieldEditorString, QStringLiteral("Empty Value"));
    EXPECT_TRUE(form.calls.isEmpty());
    EXPECT_EQ(screen.dateTime, rule) << "the hand-back does not change the rule shown";
}

TEST_F(DateTimeViewControllerTest, TitlesComeFromTheTextDictionary)
{
    EXPECT_FALSE(screen.lblDateTimeConfiguration->text().isEmpty());
    EXPECT_EQ(screen.btnKeepOriginalHourIDOriginalTime->text(), screen.btnKeepOriginal->text());
    EXPECT_EQ(screen.lblDayIDOriginalDate->text(), screen.lblDayUpdateDate->text());
    EXPECT_EQ(screen.stepperYearIDOriginalDate->maximum(), 100);
    EXPECT_EQ(screen.stepperHourIDOriginalTime->minimum(), -23);
}

} // namespace
