// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/GridOrder.h"

#include "engine/FileInfo.h"
#include "support/QtPrinters.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

std::shared_ptr<FileInfo> file(const QString &name, std::optional<quint64> bytes = std::nullopt,
    std::optional<QDateTime> created = std::nullopt)
{
    auto record = std::make_shared<FileInfo>();
    record->fileName = name;
    record->sizeBytes = bytes;
    record->creationDate = created;
    return record;
}

QStringList order(const FileInfoList &files, const QString &search, SortMethods method, SortOrder direction)
{
    QStringList names;
    for (const auto &record : filterAndSort(gridSnapshot(files), search, method, direction))
        names << record->fileName;
    return names;
}

QDateTime day(int d)
{
    return QDateTime(QDate(2020, 1, d), QTime(12, 0), Qt::UTC);
}

} // namespace

TEST(GridOrderTest, SearchMatchesTheStartOfTheNameInAnyCase)
{
    const FileInfoList files { file("IMG_1.jpg"), file("img_2.JPG"), file("photo_IMG.jpg"), file("Img3.png"),
        file("Ölbild.jpg") };
    EXPECT_EQ(order(files, "IMG", SortMethods::name, SortOrder::ascending),
        QStringList({ "Img3.png", "IMG_1.jpg", "img_2.JPG" }));
    EXPECT_EQ(order(files, "", SortMethods::name, SortOrder::ascending).size(), 5);
    EXPECT_EQ(order(files, "öl", SortMethods::name, SortOrder::ascending), QStringList({ "Ölbild.jpg" }));
    // A decomposed search text finds the composed name.
    EXPECT_EQ(order(files, QString::fromUtf8("O\xCC\x88L"), SortMethods::name, SortOrder::ascending),
        QStringList({ "Ölbild.jpg" }));
    EXPECT_TRUE(order(files, "mg", SortMethods::name, SortOrder::ascending).isEmpty());
}

TEST(GridOrderTest, NamesSortWithoutCaseAndEqualNamesKeepLoadOrder)
{
    const FileInfoList files { file("b.jpg"), file("A.jpg"), file("a.JPG"), file("c.jpg"), file("A.JPG") };
    // a.JPG and A.jpg and A.JPG are one key: they keep their load order both ways.
    EXPECT_EQ(order(files, "", SortMethods::name, SortOrder::ascending),
        QStringList({ "A.jpg", "a.JPG", "A.JPG", "b.jpg", "c.jpg" }));
    EXPECT_EQ(order(files, "", SortMethods::name, SortOrder::descending),
        QStringList({ "c.jpg", "b.jpg", "A.jpg", "a.JPG", "A.JPG" }));
}

TEST(GridOrderTest, NamesCompareByCodePointsAndCanonicalEquivalence)
{
    // U+FF21 (fullwidth A) is below U+1F600 as a code point, though its
    // UTF-16 unit is above the surrogate that starts U+1F600.
    const QString fullwidth = QString(QChar(0xFF41)) + "x.jpg";
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80") + "x.jpg";
    EXPECT_LT(compareByCodePoints(fullwidth, emoji), 0);
    EXPECT_EQ(order({ file(emoji), file(fullwidth) }, "", SortMethods::name, SortOrder::ascending),
        QStringList({ fullwidth, emoji }));

    const QString composed = QString::fromUtf8("\xC3\xA9t\xC3\xA9.jpg");
    const QString decomposed = QString::fromUtf8("e\xCC\x81te\xCC\x81.jpg");
    EXPECT_EQ(order({ file(decomposed), file("f.jpg"), file(composed) }, "", SortMethods::name,
                  SortOrder::ascending),
        QStringList({ "f.jpg", decomposed, composed }))
        << "equivalent names are one key and keep their order";
}

TEST(GridOrderTest, SizeAndDateSortPutUnknownValuesLast)
{
    const FileInfoList bySize { file("a", 300), file("b"), file("c", 100), file("d", 300), file("e") };
    EXPECT_EQ(
        order(bySize, "", SortMethods::size, SortOrder::ascending), QStringList({ "c", "a", "d", "b", "e" }));
    EXPECT_EQ(order(bySize, "", SortMethods::size, SortOrder::descending),
        QStringList({ "a", "d", "c", "b", "e" }));

    const FileInfoList byDate { file("a", {}, day(5)), file("b"), file("c", {}, day(2)),
        file("d", {}, day(9)) };
    EXPECT_EQ(
        order(byDate, "", SortMethods::date, SortOrder::ascending), QStringList({ "c", "a", "d", "b" }));
    EXPECT_EQ(
        order(byDate, "", SortMethods::date, SortOrder::descending), QStringList({ "d", "a", "c", "b" }));
}
