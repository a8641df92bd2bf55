// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/FieldComparison.h"

#include "common/Globals.h"
#include "editor/MarkedValues.h"
#include "engine/FileInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(FieldComparison, ValuesAgreeOnlyWhenEveryFileHoldsTheFirstFilesValue)
{
    // The first file is the reference; its values are set before each look.
    const auto reference = fileWith([](Metadata &) {});
    Metadata &values = *reference->metadata;
    auto shared = [&](FileInfoList others, MetadataField field) {
        others.prepend(reference);
        MarkedValues combination;
        combination.update(others);
        EXPECT_EQ(combination.reference(), reference->metadata);
        return combination.isShared(field);
    };
    EXPECT_TRUE(shared({}, MetadataField::artist)) << "one file agrees with itself";
    EXPECT_TRUE(shared({ notReadYet() }, MetadataField::artist)) << "a file not read yet holds no value";

    values.setArtist(QStringLiteral("Ann"));
    EXPECT_FALSE(shared({ notReadYet() }, MetadataField::artist));
    values.setArtist(std::nullopt);
    const auto empty = fileWith([](Metadata &m) { m.setArtist(QString()); });
    EXPECT_FALSE(shared({ empty }, MetadataField::artist)) << "empty text is a value";
    values.setArtist(QStringLiteral("Ann"));
    const auto upper = fileWith([](Metadata &m) { m.setArtist(QStringLiteral("ANN")); });
    const auto blank = fileWith([](Metadata &m) { m.setArtist(QStringLiteral("Ann ")); });
    EXPECT_FALSE(shared({ upper }, MetadataField::artist));
    EXPECT_FALSE(shared({ blank }, MetadataField::artist));
    values.setArtist(QStringLiteral("Ren\u00e9"));
    const auto decomposed = fileWith([](Metadata &m) { m.setArtist(QStringLiteral("Rene\u0301")); });
    EXPECT_TRUE(shared({ decomposed }, MetadataField::artist));

    const QDateTime moment(QDate(2020, 1, 1), QTime(10, 0));
    values.setOriginalDate(moment);
    const auto later = fileWith([&](Metadata &m) { m.setOriginalDate(moment.addMSecs(1)); });
    const auto same = fileWith([&](Metadata &m) { m.setOriginalDate(moment.toUTC()); });
    EXPECT_FALSE(shared({ later }, MetadataField::originalDate));
    EXPECT_TRUE(shared({ same }, MetadataField::originalDate)) << "the same instant";

    values.setFNumber(std::nan(""));
    EXPECT_FALSE(shared({}, MetadataField::fNumber)) << "a NaN differs even from itself";
    values.setFNumber(0.0);
    const auto negativeZero = fileWith([](Metadata &m) { m.setFNumber(-0.0); });
    EXPECT_TRUE(shared({ negativeZero }, MetadataField::fNumber));

    values.setISO(200);
    const auto iso200 = fileWith([](Metadata &m) { m.setISO(200); });
    const auto iso400 = fileWith([](Metadata &m) { m.setISO(400); });
    EXPECT_TRUE(shared({ iso200, iso200 }, MetadataField::iso));
    EXPECT_FALSE(shared({ iso200, iso400 }, MetadataField::iso));
    EXPECT_FALSE(shared({ iso400, iso200 }, MetadataField::iso));
}

// Kept from refill to refill while values arrive and marks change, the
// combination answers as combining every marked file at once would: the
// first file's values, and for each field whether every file holds them.
TEST(FieldComparison, ACombinationKeptWhileValuesArriveEqualsOneMadeAnew)
{
    const QDateTime moment(QDate(2021, 6, 1), QTime(9, 0), Qt::UTC);
    // Values of file n: some every file shares, some a few files share,
    // texts written two ways, a NaN, and fields only some files hold.
    auto valuesOf = [&](int n) {
        auto m = std::make_shared<Metadata>();
        m->setArtist(QStringLiteral("Ann"));
        m->setMake(n % 5 ? QStringLiteral("Nikon") : QStringLiteral("Canon"));
        m->setCity(n % 2 ? QStringLiteral("S\u00e3o Paulo") : QStringLiteral("Sa\u0303o Paulo"));
        m->setISO(n % 11 ? 200 : 400);
        if (n == 17)
            m->setFNumber(std::nan(""));
        // Alone in holding a value: the first of the early ones, one marked
        // later, one read later.
        if (n == 2)
            m->setCredit(QStringLiteral("two"));
        if (n == 3)
            m->setSource(QStringLiteral("three"));
        if (n == 23)
            m->setHeadline(QStringLiteral("twenty-three"));
        if (n % 3 == 0)
            m->setCopyright(QStringLiteral("Ann"));
        m->setOriginalDate(n % 7 ? moment : moment.addSecs(1));
        return m;
    };
    FileInfoList shown;
    std::vector<std::shared_ptr<Metadata>> arriving;
    for (int n = 0; n < 40; ++n) {
        shown << notReadYet();
        shown.last()->isMark = n % 4 != 3;
        arriving.push_back(valuesOf(n));
    }

    MarkedValues kept;
    auto expectSameAsAnew = [&](const char *step) {
        const FileInfoList marked = markedFiles(shown);
        kept.update(marked);
        const std::shared_ptr<Metadata> first = marked.isEmpty() ? nullptr : marked.first()->metadata;
        ASSERT_EQ(kept.reference(), first) << step;
        if (!first)
            return;
        static const Metadata::Value absent;
        for (const MetadataField field : allMetadataFields()) {
            const bool everyFileHoldsIt = std::all_of(marked.cbegin(), marked.cend(), [&](const auto &file) {
                return sameValue(file->metadata ? file->metadata->value(field) : absent, first->value(field));
            });
            EXPECT_EQ(kept.isShared(field), everyFileHoldsIt) << step << ": " << fieldInfo(field).name;
        }
    };
    const FileInfoList loaded = shown;
    auto arrive = [&](int n) { loaded[n]->metadata = arriving[std::size_t(n)]; };

    expectSameAsAnew("nothing read");
    for (int n : { 5, 9, 12, 2, 17, 30 })
        arrive(n);
    expectSameAsAnew("some values before the first file's");
    arrive(0);
    expectSameAsAnew("the first file's values");
    for (int n = 1; n < 20; ++n)
        arrive(n);
    expectSameAsAnew("half read");
    shown[3]->isMark = true;
    shown[23]->isMark = true;
    expectSameAsAnew("two files marked, one still waiting");
    shown[12]->isMark = false;
    expectSameAsAnew("a file unmarked");
    for (int n = 20; n < 35; ++n)
        arrive(n);
    expectSameAsAnew("more values");
    shown.move(0, 30);
    expectSameAsAnew("another first file");
    shown.removeAt(4);
    expectSameAsAnew("a file removed");
    for (int n = 35; n < 40; ++n)
        arrive(n);
    expectSameAsAnew("the last values");
    shown[8]->metadata = valuesOf(0);
    expectSameAsAnew("values read again");
    for (const auto &file : shown)
        file->isMark = true;
    expectSameAsAnew("everything marked");
    kept.update({});
    EXPECT_FALSE(kept.reference());
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
