// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DateTime.h"

#include "platform/Archive.h"
#include "platform/Calendar.h"
#include "support/PinnedDates.h"

#include <QDateTime>

#include <limits>

namespace {

class DateTimeRule : public PinnedDates
{
protected:
    static std::optional<QDateTime> apply(const DateTime &rule, const QDateTime &original)
    {
        return rule.newDate(original);
    }
};

} // namespace

TEST_F(DateTimeRule, WithoutModeTheOriginalComesBack)
{
    const DateTime rule;
    EXPECT_EQ(apply(rule, at(2023, 5, 1, 12)), at(2023, 5, 1, 12));
    EXPECT_EQ(rule.newDate(std::nullopt), std::nullopt);
    EXPECT_FALSE(rule.isAnyOptionSelected());
}

TEST_F(DateTimeRule, ModesAreTestedInOrder)
{
    DateTime rule;
    rule.isEmptyValue = true;
    EXPECT_EQ(apply(rule, at(2023, 5, 1)), std::nullopt);
    EXPECT_TRUE(rule.isAnyOptionSelected());

    rule.isKeepOriginal = true; // keep is tested before empty
    EXPECT_EQ(apply(rule, at(2023, 5, 1)), at(2023, 5, 1));
    EXPECT_EQ(rule.newDate(std::nullopt), std::nullopt);

    DateTime both;
    both.isSelectDate = true;
    both.isIDOriginalDate = true;
    both.dayIDOriginalDate = 1;
    EXPECT_EQ(apply(both, at(2023, 5, 1)), at(2023, 5, 1))
        << "select without a date passes the original through";
    both.selectDate = at(2000, 1, 1);
    EXPECT_EQ(apply(both, at(2023, 5, 1)), at(2000, 1, 1));
    EXPECT_EQ(both.newDate(std::nullopt), at(2000, 1, 1)) << "a file without the date gets the chosen one";
}

TEST_F(DateTimeRule, UpdateReplacesPartsLeniently)
{
    DateTime rule;
    rule.isUpdateDate = true;
    EXPECT_EQ(rule.newDate(std::nullopt), std::nullopt);

    rule.dayUpdateDate = 31;
    rule.monthUpdateDate = 2;
    rule.isKeepOriginalYearUpdateDate = true;
    rule.yearUpdateDate = 1999; // held back by the keep flag
    EXPECT_EQ(apply(rule, at(2023, 7, 14, 9, 30, 5)), at(2023, 3, 3, 9, 30, 5))
        << "31 February rolls into March";

    rule.dayUpdateDate = 29;
    EXPECT_EQ(apply(rule, at(2024, 7, 14, 9, 30, 5)), at(2024, 2, 29, 9, 30, 5)) << "leap year";
    EXPECT_EQ(apply(rule, at(2023, 7, 14, 9, 30, 5)), at(2023, 3, 1, 9, 30, 5));

    rule.timeUpdateDate = at(1990, 1, 1, 22, 15, 40);
    EXPECT_EQ(apply(rule, at(2023, 7, 14, 9, 30, 5)), at(2023, 3, 1, 22, 15, 40))
        << "time of day from the chosen time";
    rule.isKeepOriginalTimeUpdateDate = true;
    EXPECT_EQ(apply(rule, at(2023, 7, 14, 9, 30, 5)), at(2023, 3, 1, 9, 30, 5));
}

TEST_F(DateTimeRule, UpdateKeepingEverythingDropsTheFractionOfASecond)
{
    DateTime rule;
    rule.isUpdateDate = true;
    rule.isKeepOriginalDayUpdateDate = rule.isKeepOriginalMonthUpdateDate = rule.isKeepOriginalYearUpdateDate
        = true;
    rule.isKeepOriginalTimeUpdateDate = true;
    EXPECT_EQ(apply(rule, at(2023, 7, 14, 9, 30, 5, 750)), at(2023, 7, 14, 9, 30, 5));
}

TEST_F(DateTimeRule, UpdateWithZerosAndNoTimeSourceKeepsTheOriginal)
{
    DateTime rule;
    rule.isUpdateDate = true;
    rule.dayUpdateDate = rule.monthUpdateDate = rule.yearUpdateDate = 0;
    const QDateTime original = at(2023, 7, 14, 9, 30, 5, 750);
    EXPECT_EQ(apply(rule, original), original) << "unchanged, fraction included";

    rule.timeUpdateDate = at(2020, 1, 1, 8);
    const auto composed = apply(rule, original);
    ASSERT_TRUE(composed) << "the zeros go into the lenient composition";
    EXPECT_LT(*composed, at(1, 1, 1));
}

TEST_F(DateTimeRule, StepDateFollowsTheCalendar)
{
    DateTime rule;
    rule.isIDOriginalDate = true;
    EXPECT_EQ(rule.newDate(std::nullopt), std::nullopt);

    rule.monthIDOriginalDate = 1;
    EXPECT_EQ(apply(rule, at(2023, 1, 31, 8, 15, 20)), at(2023, 2, 28, 8, 15, 20))
        << "a day the target month lacks is its last day";
    EXPECT_EQ(apply(rule, at(2024, 1, 31, 8)), at(2024, 2, 29, 8));
    rule.monthIDOriginalDate.reset();

    rule.yearIDOriginalDate = 1;
    EXPECT_EQ(apply(rule, at(2024, 2, 29, 8)), at(2025, 2, 28, 8));
    rule.yearIDOriginalDate.reset();

    rule.dayIDOriginalDate = -1;
    EXPECT_EQ(apply(rule, at(2024, 3, 1, 8)), at(2024, 2, 29, 8));
    rule.dayIDOriginalDate = 5;
    EXPECT_EQ(apply(rule, at(2023, 12, 30, 23, 59, 59)), at(2024, 1, 4, 23, 59, 59))
        << "days carry into the year";

    rule.dayIDOriginalDate = 1;
    rule.monthIDOriginalDate = 1;
    EXPECT_EQ(apply(rule, at(2023, 1, 30, 8)), at(2023, 2, 28, 8))
        << "a day step, then a month step from 31 January";
}

TEST_F(DateTimeRule, StepDateKeepsTheWallClockAcrossSummerTime)
{
    DateTime rule;
    rule.isIDOriginalDate = true;
    rule.dayIDOriginalDate = 1;
    EXPECT_EQ(apply(rule, at(2023, 3, 25, 10)), at(2023, 3, 26, 10));
}

TEST_F(DateTimeRule, StepsThatDoNothing)
{
    DateTime rule;
    rule.isIDOriginalDate = true;
    rule.dayIDOriginalDate = 0;
    rule.monthIDOriginalDate = 3;
    rule.isKeepOriginalMonthIDOriginalDate = true;
    rule.yearIDOriginalDate = std::numeric_limits<qint64>::max(); // the calendar cannot take it
    EXPECT_EQ(apply(rule, at(2023, 5, 6, 7, 8, 9)), at(2023, 5, 6, 7, 8, 9));

    DateTime time;
    time.isIDOriginalTime = true;
    time.hourIDOriginalTime = 0;
    time.minuteIDOriginalTime = 10;
    time.isKeepOriginalMinuteIDOriginalTime = true;
    EXPECT_EQ(apply(time, at(2023, 5, 6, 7, 8, 9)), at(2023, 5, 6, 7, 8, 9));
}

TEST_F(DateTimeRule, StepTimeCarriesIntoTheLargerUnits)
{
    DateTime rule;
    rule.isIDOriginalTime = true;
    EXPECT_EQ(rule.newDate(std::nullopt), std::nullopt);

    rule.minuteIDOriginalTime = 30;
    EXPECT_EQ(apply(rule, at(2023, 5, 6, 10, 45)), at(2023, 5, 6, 11, 15));
    rule.minuteIDOriginalTime.reset();

    rule.secondIDOriginalTime = 20;
    EXPECT_EQ(apply(rule, at(2023, 5, 6, 10, 0, 50)), at(2023, 5, 6, 10, 1, 10));
    rule.secondIDOriginalTime.reset();

    rule.hourIDOriginalTime = 1;
    EXPECT_EQ(apply(rule, at(2004, 6, 21, 23, 37, 53)), at(2004, 6, 22, 0, 37, 53)) << "into the next day";
    EXPECT_EQ(apply(rule, at(2023, 12, 31, 23, 0)), at(2024, 1, 1, 0, 0));
    rule.hourIDOriginalTime = -1;
    EXPECT_EQ(apply(rule, at(2023, 5, 6, 0, 30)), at(2023, 5, 5, 23, 30));

    rule.hourIDOriginalTime = 2;
    rule.minuteIDOriginalTime = 50;
    rule.secondIDOriginalTime = 15;
    EXPECT_EQ(apply(rule, at(2023, 5, 6, 10, 20, 50)), at(2023, 5, 6, 13, 11, 5));
}

// Zone-less times are wall clocks: the machine's zone (Berlin here) and its
// summer time take no part, and old dates keep the Gregorian calendar.
TEST_F(DateTimeRule, StepsIgnoreSummerTimeAndTheJulianSwitch)
{
    DateTime hour;
    hour.isIDOriginalTime = true;
    hour.hourIDOriginalTime = 1;
    EXPECT_EQ(apply(hour, at(2023, 3, 26, 1, 30)), at(2023, 3, 26, 2, 30)) << "the spring-forward night";
    EXPECT_EQ(apply(hour, at(2023, 3, 26, 2, 30)), at(2023, 3, 26, 3, 30));
    EXPECT_EQ(apply(hour, at(2023, 10, 29, 2, 30)), at(2023, 10, 29, 3, 30)) << "the fall-back night";

    DateTime day;
    day.isIDOriginalDate = true;
    day.dayIDOriginalDate = 1;
    EXPECT_EQ(apply(day, at(1582, 10, 4, 12)), at(1582, 10, 5, 12)) << "no ten days skipped";
    EXPECT_EQ(apply(day, at(1500, 2, 28)), at(1500, 3, 1)) << "1500 is no leap year";
}

TEST_F(DateTimeRule, MadeForADate)
{
    const QDateTime before = platform::Calendar::now();
    const DateTime blank;
    EXPECT_TRUE(blank.textFieldEditorString.isEmpty());
    EXPECT_FALSE(blank.originalDate);
    EXPECT_GE(blank.originalDateOrNow(), before) << "the user's wall clock";
    EXPECT_LE(blank.originalDateOrNow(), platform::Calendar::now());

    DateTime rule(at(2019, 7, 14, 9, 30, 5));
    EXPECT_EQ(rule.textFieldEditorString, QStringLiteral(u"Sunday \u060C 14 July 2019 09:30:05 AM"));
    EXPECT_EQ(rule.originalDateOrNow(), at(2019, 7, 14, 9, 30, 5));
    rule.isIDOriginalDate = true;
    rule.dayIDOriginalDate = 2;
    EXPECT_EQ(rule.newDateFromOriginal(), at(2019, 7, 16, 9, 30, 5));
    EXPECT_EQ(rule.newDateFromOriginal(), rule.newDate(rule.originalDate));
}

// The dictionary form.

namespace {

DateTime everyFieldSet()
{
    DateTime rule(PinnedDates::at(2019, 7, 14, 9, 30, 5, 120));
    rule.textFieldEditorString = QStringLiteral("summary");
    rule.isKeepOriginal = rule.isSelectDate = rule.isIDOriginalTime = true;
    rule.selectDate = PinnedDates::at(2001, 2, 3, 4, 5, 6);
    rule.dayUpdateDate = 1;
    rule.monthUpdateDate = 2;
    rule.yearUpdateDate = -3;
    rule.timeUpdateDate = PinnedDates::at(2002, 1, 1, 13, 14, 15);
    rule.isKeepOriginalMonthUpdateDate = rule.isKeepOriginalTimeUpdateDate = true;
    rule.dayIDOriginalDate = 4;
    rule.dayIDOriginalDateString = QStringLiteral("4");
    rule.monthIDOriginalDate = 5;
    rule.monthIDOriginalDateString = QStringLiteral("+5");
    rule.yearIDOriginalDate = 6;
    rule.yearIDOriginalDateString = QStringLiteral("06");
    rule.isKeepOriginalYearIDOriginalDate = true;
    rule.hourIDOriginalTime = 7;
    rule.hourIDOriginalTimeString = QStringLiteral("7");
    rule.minuteIDOriginalTime = -8;
    rule.minuteIDOriginalTimeString = QStringLiteral("-8");
    rule.secondIDOriginalTime = 9;
    rule.secondIDOriginalTimeString = QStringLiteral("9");
    rule.isKeepOriginalSecondIDOriginalTime = true;
    return rule;
}

} // namespace

TEST_F(DateTimeRule, DictionaryWritesOptionalsOnlyWhenSet)
{
    const QVariantMap blank = DateTime().dictionary();
    EXPECT_EQ(blank.size(), 23) << "7 texts and 16 Booleans";
    EXPECT_EQ(blank.value(QStringLiteral("isKeepOriginal")).typeId(), QMetaType::Bool);
    EXPECT_FALSE(blank.contains(QStringLiteral("originalDate")));

    const QVariantMap full = everyFieldSet().dictionary();
    EXPECT_EQ(full.size(), 35);
    EXPECT_EQ(full.value(QStringLiteral("yearUpdateDate")).typeId(), QMetaType::LongLong);
    EXPECT_EQ(full.value(QStringLiteral("selectDate")).typeId(), QMetaType::QDateTime);
    EXPECT_FALSE(full.contains(QStringLiteral("tempDate")));
}

TEST_F(DateTimeRule, DictionaryRoundTripThroughTheArchiveIsExact)
{
    const DateTime original = everyFieldSet();
    const auto decoded = platform::Archive::decode(platform::Archive::encode(original.dictionary()));
    ASSERT_TRUE(decoded);
    DateTime copy = DateTime::fromDictionary(decoded->toMap());
    EXPECT_EQ(copy.dictionary(), original.dictionary());
    EXPECT_EQ(copy.originalDate, at(2019, 7, 14, 9, 30, 5, 120));
    EXPECT_EQ(copy.textFieldEditorString, QStringLiteral("summary")) << "taken as stored, not recomputed";
    EXPECT_EQ(copy.minuteIDOriginalTime, -8);

    copy.isKeepOriginal = false;
    copy.dayIDOriginalDate = 40;
    EXPECT_TRUE(original.isKeepOriginal) << "the copy shares nothing";
    EXPECT_EQ(original.dayIDOriginalDate, 4);
}

TEST_F(DateTimeRule, DictionaryReadingSkipsMissingAndMistypedEntries)
{
    const DateTime empty = DateTime::fromDictionary({});
    EXPECT_FALSE(empty.isAnyOptionSelected());
    EXPECT_FALSE(empty.originalDate);
    EXPECT_TRUE(empty.textFieldEditorString.isEmpty());
    EXPECT_EQ(empty.newDate(at(2020, 1, 2)), at(2020, 1, 2));

    const DateTime mistyped = DateTime::fromDictionary({
        { QStringLiteral("isKeepOriginal"), QStringLiteral("true") },
        { QStringLiteral("dayIDOriginalDate"), QStringLiteral("12") },
        { QStringLiteral("originalDate"), 1563089405 },
        { QStringLiteral("textFieldEditorString"), 5 },
        { QStringLiteral("IsEmptyValue"), true }, // keys match exactly
        { QStringLiteral("somethingElse"), true },
        { QStringLiteral("monthIDOriginalDateString"), QStringLiteral("3") },
        { QStringLiteral("isSelectDate"), 1 }, // any number is a Boolean
        { QStringLiteral("hourIDOriginalTime"), 2.0 },
    });
    EXPECT_FALSE(mistyped.isKeepOriginal);
    EXPECT_FALSE(mistyped.dayIDOriginalDate);
    EXPECT_FALSE(mistyped.originalDate);
    EXPECT_TRUE(mistyped.textFieldEditorString.isEmpty());
    EXPECT_FALSE(mistyped.isEmptyValue);
    EXPECT_EQ(mistyped.monthIDOriginalDateString, QStringLiteral("3")) << "kept without its amount";
    EXPECT_FALSE(mistyped.monthIDOriginalDate);
    EXPECT_TRUE(mistyped.isSelectDate);
    EXPECT_EQ(mistyped.hourIDOriginalTime, 2);
}
