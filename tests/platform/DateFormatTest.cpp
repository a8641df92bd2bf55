// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DateFormat.h"
#include "platform/GlobalQueue.h"

#include <gtest/gtest.h>

#include <atomic>

using platform::DateFormat;

namespace {

const QString kFilePattern = QStringLiteral("yyyy:MM:dd HH:mm:ss");

class DateFormatTest : public testing::Test
{
protected:
    void SetUp() override
    {
        DateFormat::setTimeZone(QStringLiteral("Europe/Berlin"));
        DateFormat::setUserLocale(QStringLiteral("en_US"));
    }
    void TearDown() override
    {
        DateFormat::setTimeZone(QString());
        DateFormat::setUserLocale(QString());
    }
    // 2019-07-14 09:30:05 as a wall clock.
    static QDateTime sample() { return QDateTime(QDate(2019, 7, 14), QTime(9, 30, 5), Qt::UTC); }
    // The moment that is 09:30:05 in Berlin (summer time, UTC+2).
    static QDateTime sampleInBerlin() { return QDateTime::fromMSecsSinceEpoch(1563089405000LL); }
};

} // namespace

TEST_F(DateFormatTest, FileTextsStayGregorianWithAsciiDigitsInAnyLocale)
{
    for (const char *locale : { "en_US", "th_TH", "ar_EG", "ja_JP@calendar=japanese", "fa_IR" }) {
        DateFormat::setUserLocale(QString::fromLatin1(locale));
        EXPECT_EQ(DateFormat::format(sample(), kFilePattern, DateFormat::Kind::File),
            QStringLiteral("2019:07:14 09:30:05"))
            << locale;
        const auto back
            = DateFormat::parse(QStringLiteral("2019:07:14 09:30:05"), kFilePattern, DateFormat::Kind::File);
        ASSERT_TRUE(back.has_value()) << locale;
        EXPECT_EQ(*back, sample()) << locale;
    }
}

TEST_F(DateFormatTest, UserTextsFollowTheUserLocale)
{
    DateFormat::setUserLocale(QStringLiteral("th_TH"));
    // The Buddhist calendar counts 543 years more.
    EXPECT_EQ(
        DateFormat::format(sample(), QStringLiteral("yyyy"), DateFormat::Kind::User), QStringLiteral("2562"));
    DateFormat::setUserLocale(QStringLiteral("en_US"));
    EXPECT_EQ(DateFormat::format(sample(), QStringLiteral("EEEE d MMMM yyyy hh:mm:ss a")),
        QStringLiteral("Sunday 14 July 2019 09:30:05 AM"));
}

TEST_F(DateFormatTest, ParseMustConsumeTheWholeText)
{
    const auto kind = DateFormat::Kind::File;
    EXPECT_FALSE(DateFormat::parse(QStringLiteral("2019:07:14 09:30:05 trailing"), kFilePattern, kind));
    EXPECT_FALSE(DateFormat::parse(QStringLiteral("2019:07:14"), kFilePattern, kind));
    EXPECT_FALSE(DateFormat::parse(QString(), kFilePattern, kind));
    EXPECT_FALSE(DateFormat::parse(QStringLiteral("2019-07-14 09:30:05"), kFilePattern, kind));
    EXPECT_FALSE(DateFormat::parse(QStringLiteral("2019:02:30 09:30:05"), kFilePattern, kind))
        << "no lenient roll-over";
}

TEST_F(DateFormatTest, TwoDigitYearsPivotAroundNow)
{
    const auto recent
        = DateFormat::parse(QStringLiteral("14.07.19"), QStringLiteral("dd.MM.yy"), DateFormat::Kind::File);
    ASSERT_TRUE(recent);
    EXPECT_EQ(recent->date().year(), 2019);
    const auto old
        = DateFormat::parse(QStringLiteral("14.07.70"), QStringLiteral("dd.MM.yy"), DateFormat::Kind::File);
    ASSERT_TRUE(old);
    EXPECT_GE(old->date().year(), 1970);
    EXPECT_LE(old->date().year(), 2070);
}

TEST_F(DateFormatTest, WallClocksKeepTheirTimeAndTheirOwnOffsets)
{
    const auto kind = DateFormat::Kind::File;
    DateFormat::setTimeZone(QStringLiteral("America/New_York"));
    EXPECT_EQ(DateFormat::format(sample(), kFilePattern, kind), QStringLiteral("2019:07:14 09:30:05"))
        << "no zone shifts a wall clock";
    EXPECT_EQ(DateFormat::parse(QStringLiteral("2019:07:14 09:30:05"), kFilePattern, kind), sample());

    // Offsets: the user's at that wall clock, also on the spring night.
    DateFormat::setTimeZone(QStringLiteral("Europe/Berlin"));
    const QString xmp = QStringLiteral("yyyy-MM-dd'T'HH:mm:ssxxx");
    EXPECT_EQ(DateFormat::format(sample(), xmp, kind), QStringLiteral("2019-07-14T09:30:05+02:00"));
    const QDateTime skipped(QDate(2023, 3, 26), QTime(2, 30), Qt::UTC);
    EXPECT_EQ(DateFormat::format(skipped, xmp, kind), QStringLiteral("2023-03-26T02:30:00+01:00"));
    EXPECT_EQ(DateFormat::parse(QStringLiteral("2023:03:26 02:30:00"), kFilePattern, kind), skipped);
    // A text with its own offset is the wall clock it shows, beside that
    // offset, and is written back so; it does not parse beyond 23:59.
    const auto read = DateFormat::read(QStringLiteral("2019-07-14T09:30:05-04:00"), xmp, kind);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->date, sample());
    EXPECT_EQ(read->offsetSeconds, -4 * 3600);
    EXPECT_EQ(DateFormat::format(read->date, xmp, kind, read->offsetSeconds),
        QStringLiteral("2019-07-14T09:30:05-04:00"));
    EXPECT_EQ(DateFormat::read(QStringLiteral("2019:07:14 09:30:05"), kFilePattern, kind)->offsetSeconds,
        std::nullopt);
    EXPECT_FALSE(DateFormat::read(QStringLiteral("2019-07-14T09:30:05+25:00"), xmp, kind));
    EXPECT_FALSE(DateFormat::read(QStringLiteral("2019-07-14T09:30:05+1:00"), xmp, kind));

    // Proleptic Gregorian both ways, before 1582 too.
    const QDateTime old(QDate(1500, 6, 1), QTime(0, 0), Qt::UTC);
    EXPECT_EQ(DateFormat::parse(QStringLiteral("1500:06:01 00:00:00"), kFilePattern, kind), old);
    EXPECT_EQ(DateFormat::format(QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC), kFilePattern, kind),
        QStringLiteral("0001:01:01 00:00:00"));
    EXPECT_EQ(DateFormat::format(old, QStringLiteral("d MMMM yyyy")), QStringLiteral("1 June 1500"));
}

TEST_F(DateFormatTest, WorkersGetTheirOwnFormatters)
{
    std::atomic<int> wrong { 0 };
    for (int i = 0; i < 16; ++i) {
        platform::GlobalQueue::run([&] {
            for (int j = 0; j < 200; ++j) {
                const QDateTime date = sample().addSecs(j);
                const QString text = DateFormat::format(date, kFilePattern, DateFormat::Kind::File);
                if (DateFormat::parse(text, kFilePattern, DateFormat::Kind::File) != date)
                    ++wrong;
            }
        });
    }
    platform::GlobalQueue::waitForDone();
    EXPECT_EQ(wrong, 0);
}

TEST_F(DateFormatTest, TheMediumDateFollowsTheLocaleAndZone)
{
    EXPECT_EQ(DateFormat::mediumDate(sampleInBerlin()), QStringLiteral("Jul 14, 2019"));
    DateFormat::setUserLocale(QStringLiteral("de_DE"));
    EXPECT_EQ(DateFormat::mediumDate(sampleInBerlin()), QStringLiteral("14.07.2019"));
    // Just before midnight in UTC is already the next day in Berlin.
    EXPECT_EQ(DateFormat::mediumDate(QDateTime(QDate(2019, 7, 14), QTime(23, 30), Qt::UTC)),
        QStringLiteral("15.07.2019"));
    EXPECT_TRUE(DateFormat::mediumDate(QDateTime()).isEmpty());
}
