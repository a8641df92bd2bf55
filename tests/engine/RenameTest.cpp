// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Rename.h"

#include <gtest/gtest.h>

namespace {

Rename everyFieldSet()
{
    Rename r;
    r.isKeepOriginalFileName = false;
    r.isEditOriginalFileName = true;
    r.isReplaceFilename = true;
    r.isReplaceText = true;
    r.isAddText = true;
    r.isAddIndex = true;
    r.isAddCounter = true;
    r.isAddDateTime = true;
    r.isAddExifLocation = true;
    r.isAppendWidthHeight = true;
    r.replaceFilename = QStringLiteral("Holiday");
    r.findReplaceText = QStringLiteral("IMG");
    r.replaceWithReplaceText = QStringLiteral("Été");
    r.prefixAddText = QStringLiteral("a, b");
    r.suffixAddText = QStringLiteral("z");
    r.prefixAddIndex = -3;
    r.suffixAddIndex = 4;
    r.prefixAddCounter = 5;
    r.suffixAddCounter = 6000000000;
    r.minNumberOfDigitsAddCounter = 7;
    r.asDateTime = DateAs::suffix;
    r.dateFormat = DateFormat::seven;
    r.isAddCurrentDate = false;
    r.isAddExifDate = true;
    r.exifDateType = ExifDateType::modify;
    r.isPlace = true;
    r.isCity = true;
    r.isState = true;
    r.isCountry = true;
    return r;
}

} // namespace

TEST(Rename, DefaultRuleKeepsTheOriginalName)
{
    const Rename r;
    EXPECT_TRUE(r.isKeepOriginalFileName);
    EXPECT_TRUE(r.isAddCurrentDate);
    EXPECT_FALSE(r.isEditOriginalFileName || r.isAddExifDate || r.isCountry);
    EXPECT_FALSE(r.replaceFilename || r.prefixAddIndex || r.suffixAddCounter);
    EXPECT_EQ(r.minNumberOfDigitsAddCounter, 0);
    EXPECT_EQ(r.asDateTime, DateAs::prefix);
    EXPECT_EQ(r.dateFormat, DateFormat::one);
    EXPECT_EQ(r.exifDateType, ExifDateType::original);
    EXPECT_EQ(Rename::fromDictionary({}), r);
}

TEST(Rename, DictionaryHoldsOnlyWhatIsSetAndRoundTrips)
{
    const QVariantMap plain = Rename().dictionary();
    EXPECT_EQ(plain.size(), 20);
    EXPECT_EQ(plain.value(QStringLiteral("isKeepOriginalFileName")).typeId(), QMetaType::Bool);
    EXPECT_EQ(plain.value(QStringLiteral("minNumberOfDigitsAddCounter")).toLongLong(), 0);
    EXPECT_EQ(plain.value(QStringLiteral("asDateTime")), QStringLiteral("Prefix"));
    EXPECT_EQ(plain.value(QStringLiteral("dateFormat")), QStringLiteral("DDMMYYYY"));
    EXPECT_EQ(plain.value(QStringLiteral("exifDateType")), QStringLiteral("Original Date/Time"));
    EXPECT_EQ(Rename::fromDictionary(plain), Rename());

    const Rename full = everyFieldSet();
    const QVariantMap d = full.dictionary();
    EXPECT_EQ(d.size(), 29);
    EXPECT_EQ(d.value(QStringLiteral("dateFormat")), QStringLiteral("DD-MM-YYYY-HHMM"));
    EXPECT_EQ(d.value(QStringLiteral("suffixAddCounter")).toLongLong(), 6000000000);
    EXPECT_EQ(Rename::fromDictionary(d), full);

    // A present empty text stays present.
    Rename empty;
    empty.prefixAddText = QString();
    const QVariantMap e = empty.dictionary();
    ASSERT_TRUE(e.contains(QStringLiteral("prefixAddText")));
    EXPECT_EQ(e.value(QStringLiteral("prefixAddText")), QString());
    EXPECT_EQ(Rename::fromDictionary(e).prefixAddText, std::optional<QString>(QString()));
}

TEST(Rename, StoredCounterDigitsAreHeldToASaneRange)
{
    QVariantMap d = Rename().dictionary();
    const std::pair<QVariant, qint64> cases[] = {
        { QVariant::fromValue<qint64>(7), 7 },
        { QVariant::fromValue<qint64>(10), 10 },
        { QVariant::fromValue<qint64>(4'000'000'000'000), 10 },
        { QVariant::fromValue<qint64>(-3), 0 },
    };
    for (const auto &[stored, expected] : cases) {
        d[QStringLiteral("minNumberOfDigitsAddCounter")] = stored;
        EXPECT_EQ(Rename::fromDictionary(d).minNumberOfDigitsAddCounter, expected) << stored.toLongLong();
    }
}

TEST(Rename, MistypedOrUnknownEntriesFallBackFieldByField)
{
    QVariantMap d = everyFieldSet().dictionary();
    d[QStringLiteral("isKeepOriginalFileName")] = QStringLiteral("no");
    d[QStringLiteral("isAddExifDate")] = QStringLiteral("yes");
    d[QStringLiteral("prefixAddIndex")] = QStringLiteral("12");
    d[QStringLiteral("replaceFilename")] = 42;
    d[QStringLiteral("asDateTime")] = QStringLiteral("suffix");
    d[QStringLiteral("exifDateType")] = QStringLiteral("Creation Date");
    d[QStringLiteral("minNumberOfDigitsAddCounter")] = QVariantList {};
    d[QStringLiteral("somethingElse")] = true;
    const Rename r = Rename::fromDictionary(d);
    EXPECT_TRUE(r.isKeepOriginalFileName);
    EXPECT_FALSE(r.isAddExifDate);
    EXPECT_FALSE(r.prefixAddIndex.has_value());
    EXPECT_FALSE(r.replaceFilename.has_value());
    EXPECT_EQ(r.asDateTime, DateAs::prefix);
    EXPECT_EQ(r.exifDateType, ExifDateType::creation);
    EXPECT_EQ(r.minNumberOfDigitsAddCounter, 0);
    // The others keep their stored values.
    EXPECT_TRUE(r.isCountry);
    EXPECT_EQ(r.suffixAddIndex, std::optional<qint64>(4));
    EXPECT_EQ(r.findReplaceText, std::optional<QString>(QStringLiteral("IMG")));

    // Numbers of any kind count for the Booleans and numbers.
    d[QStringLiteral("isCity")] = 0;
    d[QStringLiteral("isPlace")] = 0.0;
    d[QStringLiteral("prefixAddCounter")] = true;
    const Rename n = Rename::fromDictionary(d);
    EXPECT_FALSE(n.isCity);
    EXPECT_FALSE(n.isPlace);
    EXPECT_EQ(n.prefixAddCounter, std::optional<qint64>(1));
}

TEST(Rename, EnumerationTextsAreExact)
{
    EXPECT_EQ(dateFormatFromRaw(QStringLiteral("DD-MM-YYYY-HHMM")), DateFormat::seven);
    EXPECT_FALSE(dateFormatFromRaw(QStringLiteral("DD-MM-YYYY_HHMM")).has_value());
    EXPECT_FALSE(dateFormatFromRaw(QStringLiteral("yyyy-mm-dd")).has_value());
    EXPECT_EQ(Rename::fromDictionary({ { QStringLiteral("dateFormat"), QStringLiteral("DD-MM-YYYY_HHMM") } })
                  .dateFormat,
        DateFormat::one);
    EXPECT_FALSE(dateAsFromRaw(QStringLiteral("suffix")).has_value());
    EXPECT_EQ(dateAsFromRaw(QStringLiteral("Suffix")), DateAs::suffix);

    // Every case has its own text, and the text leads back to the case.
    QStringList seen;
    for (int i = 0; i <= int(DateFormat::twenty); ++i) {
        const QString text = rawValue(DateFormat(i));
        EXPECT_FALSE(seen.contains(text));
        seen << text;
        EXPECT_EQ(dateFormatFromRaw(text), DateFormat(i));
    }
    EXPECT_EQ(seen.first(), QStringLiteral("DDMMYYYY"));
    EXPECT_EQ(seen.last(), QStringLiteral("YYYY-MM-DD_HH-MM-SS"));
    for (const ExifDateType t : { ExifDateType::original, ExifDateType::creation, ExifDateType::modify })
        EXPECT_EQ(exifDateTypeFromRaw(rawValue(t)), t);
}
