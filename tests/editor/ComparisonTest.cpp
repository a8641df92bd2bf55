// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/FieldComparison.h"

#include "engine/FileInfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

std::shared_ptr<FileInfo> fileWith(const std::function<void(Metadata &)> &fill, bool marked = true)
{
    auto file = std::make_shared<FileInfo>();
    fill(*file->metadata);
    file->isMark = marked;
    return file;
}

std::shared_ptr<FileInfo> notReadYet()
{
    auto file = std::make_shared<FileInfo>();
    file->metadata.reset();
    return file;
}

} // namespace

TEST(FieldComparison, MarkedFilesKeepListOrder)
{
    const auto a = fileWith([](Metadata &) {});
    const auto b = fileWith([](Metadata &) {}, false);
    const auto c = fileWith([](Metadata &) {});
    EXPECT_EQ(markedFiles({ a, b, c }), (FileInfoList { a, c }));
    EXPECT_TRUE(markedFiles({ b }).isEmpty());
}

TEST(FieldComparison, ValuesAgreeOnlyWhenEveryFileHoldsTheReferencesValue)
{
    Metadata reference;
    EXPECT_TRUE(allFilesHaveSameValue({}, reference, MetadataField::artist)) << "an empty list agrees";
    EXPECT_TRUE(allFilesHaveSameValue({ notReadYet() }, reference, MetadataField::artist))
        << "a file not read yet holds no value";

    reference.setArtist(QStringLiteral("Ann"));
    EXPECT_FALSE(allFilesHaveSameValue({ notReadYet() }, reference, MetadataField::artist));
    const auto empty = fileWith([](Metadata &m) { m.setArtist(QString()); });
    EXPECT_FALSE(allFilesHaveSameValue({ empty }, Metadata(), MetadataField::artist))
        << "empty text is a value";
    const auto upper = fileWith([](Metadata &m) { m.setArtist(QStringLiteral("ANN")); });
    const auto blank = fileWith([](Metadata &m) { m.setArtist(QStringLiteral("Ann ")); });
    EXPECT_FALSE(allFilesHaveSameValue({ upper }, reference, MetadataField::artist));
    EXPECT_FALSE(allFilesHaveSameValue({ blank }, reference, MetadataField::artist));
    reference.setArtist(QStringLiteral("Ren\u00e9"));
    const auto decomposed = fileWith([](Metadata &m) { m.setArtist(QStringLiteral("Rene\u0301")); });
    EXPECT_TRUE(allFilesHaveSameValue({ decomposed }, reference, MetadataField::artist));

    const QDateTime moment(QDate(2020, 1, 1), QTime(10, 0));
    reference.setOriginalDate(moment);
    const auto later = fileWith([&](Metadata &m) { m.setOriginalDate(moment.addMSecs(1)); });
    const auto same = fileWith([&](Metadata &m) { m.setOriginalDate(moment.toUTC()); });
    EXPECT_FALSE(allFilesHaveSameValue({ later }, reference, MetadataField::originalDate));
    EXPECT_TRUE(allFilesHaveSameValue({ same }, reference, MetadataField::originalDate))
        << "the same instant";

    reference.setFNumber(std::nan(""));
    const auto selfNan = fileWith([](Metadata &m) { m.setFNumber(std::nan("")); });
    EXPECT_FALSE(allFilesHaveSameValue({ selfNan }, reference, MetadataField::fNumber));
    reference.setFNumber(0.0);
    const auto negativeZero = fileWith([](Metadata &m) { m.setFNumber(-0.0); });
    EXPECT_TRUE(allFilesHaveSameValue({ negativeZero }, reference, MetadataField::fNumber));

    reference.setISO(200);
    const auto iso200 = fileWith([](Metadata &m) { m.setISO(200); });
    const auto iso400 = fileWith([](Metadata &m) { m.setISO(400); });
    EXPECT_TRUE(allFilesHaveSameValue({ iso200, iso200 }, reference, MetadataField::iso));
    EXPECT_FALSE(allFilesHaveSameValue({ iso200, iso400 }, reference, MetadataField::iso));
    EXPECT_FALSE(allFilesHaveSameValue({ iso400, iso200 }, reference, MetadataField::iso));
}

TEST(FieldComparison, CountriesAreFoundByTheirExactCode)
{
    const QList<CountryLocale> locales { { QString(), QStringLiteral("Leave Blank") },
        { QStringLiteral("FR"), QStringLiteral("France") },
        { QStringLiteral("FR"), QStringLiteral("France again") } };
    EXPECT_EQ(countryEntriesWithCode(locales, QStringLiteral("FR")).size(), 2);
    EXPECT_EQ(
        countryEntriesWithCode(locales, QStringLiteral("FR")).first().countryName, QStringLiteral("France"));
    EXPECT_TRUE(countryEntriesWithCode(locales, QStringLiteral("fr")).isEmpty());
    EXPECT_EQ(countryEntriesWithCode(locales, QString()).first().countryName, QStringLiteral("Leave Blank"));
}
