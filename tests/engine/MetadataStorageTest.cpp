// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DateTexts.h"
#include "engine/Metadata.h"

#include "support/PinnedDates.h"

#include <latch>
#include <memory>
#include <thread>

namespace {

class MetadataStorage : public PinnedDates
{
protected:
    static Metadata read(std::initializer_list<std::pair<const char *, QVariant>> list)
    {
        return Metadata::fromReading(entries(list));
    }

    // A value of field's kind that differs with round.
    static Metadata::Value valueFor(MetadataField field, int round)
    {
        const int n = int(field) + 100 * round;
        switch (fieldKind(field)) {
        case FieldKind::Text:
            return QStringLiteral("text %1").arg(n);
        case FieldKind::Integer:
            return qint64(n);
        case FieldKind::Real:
            return n + 0.5;
        case FieldKind::Date:
            break;
        }
        return at(2000, 1, 1).addSecs(n);
    }
};

} // namespace

TEST_F(MetadataStorage, ValuesSetAndClearedInAnyOrderLeaveTheOthersAlone)
{
    Metadata metadata;
    std::array<Metadata::Value, metadataFieldCount> expected;
    // A fixed walk over the fields that sets, replaces and clears values in
    // no particular order, across the whole field range.
    unsigned state = 12345;
    for (int step = 0; step < 3000; ++step) {
        state = state * 1103515245u + 12345u;
        const auto field = MetadataField((state >> 8) % unsigned(metadataFieldCount));
        const bool clear = (state >> 20) % 3 == 0;
        const Metadata::Value value = clear ? Metadata::Value() : valueFor(field, step);
        metadata.setValue(field, value);
        expected[std::size_t(field)] = value;
        if (step % 100 != 99)
            continue;
        for (const MetadataField f : allMetadataFields()) {
            ASSERT_EQ(metadata.value(f), expected[std::size_t(f)])
                << "field " << int(f) << " after step " << step;
            ASSERT_EQ(metadata.hasValue(f), expected[std::size_t(f)].index() != 0);
        }
    }

    // Both ends of the range, each alone.
    Metadata ends;
    ends.setDigitalZoomRatio(2.0);
    ends.setArtist(QStringLiteral("first"));
    ends.setValue(MetadataField(63), valueFor(MetadataField(63), 0));
    ends.setValue(MetadataField(64), valueFor(MetadataField(64), 0));
    ends.setValue(MetadataField(63), Metadata::Value());
    EXPECT_EQ(ends.artist(), QStringLiteral("first"));
    EXPECT_FALSE(ends.hasValue(MetadataField(63)));
    EXPECT_EQ(ends.value(MetadataField(64)), valueFor(MetadataField(64), 0));
    EXPECT_EQ(ends.digitalZoomRatio(), 2.0);
}

TEST_F(MetadataStorage, TextsReadTogetherStayIndependent)
{
    auto metadata = std::make_unique<Metadata>(read({
        { "Exif.Image.Artist", QStringLiteral("Ansel") },
        { "Iptc.Application2.Byline", QStringLiteral("Ansel") },
        { "Exif.Image.Copyright", QStringLiteral("\u00A9 Ansel") },
        { "Iptc.Application2.Copyright", QStringLiteral("\u00A9 Ansel") },
        { "Exif.Image.Make", QStringLiteral("Canon") },
        { "Iptc.Application2.City", QString() },
        { "Iptc.Application2.CountryName", QStringLiteral("Chile") },
    }));
    EXPECT_EQ(metadata->city(), QString()) << "an empty text is still present";

    metadata->setByLine(QStringLiteral("Imogen"));
    EXPECT_EQ(metadata->artist(), QStringLiteral("Ansel"))
        << "a text repeated under another key is its own value";
    EXPECT_EQ(metadata->byLine(), QStringLiteral("Imogen"));

    QString copyright = *metadata->copyright();
    copyright.append(QStringLiteral(" 1942"));
    EXPECT_EQ(metadata->copyright(), QStringLiteral("\u00A9 Ansel"));
    EXPECT_EQ(metadata->copyrightNotice(), QStringLiteral("\u00A9 Ansel"));

    // Texts outlive their record and change like any other.
    QString make = *metadata->make();
    QString country = *metadata->countryPrimaryLocationName();
    metadata.reset();
    EXPECT_EQ(make.utf16()[make.size()], 0) << "null-terminated";
    make.append(QStringLiteral(" EOS"));
    EXPECT_EQ(make, QStringLiteral("Canon EOS"));
    EXPECT_EQ(country, QStringLiteral("Chile"));
    make.clear();
    country.prepend(QStringLiteral("Rep\u00FAblica de "));
    EXPECT_EQ(country, QStringLiteral("Rep\u00FAblica de Chile")) << "the last holder of the texts";
}

TEST_F(MetadataStorage, ARuleMadeLateIsTheRuleOfTheReadDate)
{
    const QDateTime original = at(2008, 5, 8, 9, 54, 28);
    Metadata metadata = read({
        { "Exif.Photo.DateTimeOriginal", QStringLiteral("2008:05:08 09:54:28") },
        { "Xmp.xmp.CreateDate", QStringLiteral("2008-05-08T09:54:28") },
    });
    // A date that was absent when the record was read gets no rule of its own.
    metadata.setModifyDate(at(2011, 1, 1));
    // Changing a read date leaves its rule with the date it was made from.
    metadata.setOriginalDate(at(2010, 2, 3));
    metadata.setCreateDateXMP(std::nullopt);

    const auto &rule = metadata.dateTimeOriginalDate();
    EXPECT_EQ(rule->originalDate, original);
    EXPECT_EQ(rule->textFieldEditorString, displayText(original));
    EXPECT_EQ(metadata.dateTimeCreateDateXMP()->originalDate, original);
    EXPECT_FALSE(metadata.dateTimeModifyDate()->originalDate);
    EXPECT_TRUE(metadata.dateTimeModifyDate()->textFieldEditorString.isEmpty());

    metadata.refreshDateTimes();
    EXPECT_EQ(metadata.dateTimeOriginalDate()->originalDate, at(2010, 2, 3));
    EXPECT_EQ(metadata.dateTimeModifyDate()->originalDate, at(2011, 1, 1));
    EXPECT_EQ(metadata.dateTimeCreateDateXMP()->originalDate, original) << "an absent date keeps its rule";
}

TEST_F(MetadataStorage, RecordsReadButNotAskedShareRulesWithTheirCopies)
{
    const Metadata metadata = read({ { "Exif.Image.DateTime", QStringLiteral("2008:05:08 09:54:28") } });
    const QVariantMap before = metadata.dictionary();

    Metadata copy = metadata;
    Metadata assigned;
    assigned = metadata;
    const Metadata moved = std::move(copy);
    for (int i = 0; i < dateRuleCount; ++i) {
        const auto &rule = metadata.dateTime(DateRule(i));
        EXPECT_EQ(moved.dateTime(DateRule(i)), rule) << i;
        EXPECT_EQ(assigned.dateTime(DateRule(i)), rule) << i;
    }
    EXPECT_EQ(metadata.dateTimeModifyDate()->originalDate, at(2008, 5, 8, 9, 54, 28));
    EXPECT_EQ(metadata.dictionary(), before) << "the stored form does not depend on when rules are made";
}

TEST_F(MetadataStorage, ThreadsAskingFirstGetOneSetOfRules)
{
    const Metadata metadata
        = read({ { "Exif.Photo.DateTimeOriginal", QStringLiteral("2008:05:08 09:54:28") } });
    constexpr int threadCount = 8;
    std::array<std::array<const DateTime *, dateRuleCount>, threadCount> seen {};
    std::latch start(threadCount);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int i = 0; i < dateRuleCount; ++i)
                seen[std::size_t(t)][std::size_t(i)] = metadata.dateTime(DateRule(i)).get();
        });
    }
    for (auto &thread : threads)
        thread.join();
    for (int t = 0; t < threadCount; ++t) {
        for (int i = 0; i < dateRuleCount; ++i)
            EXPECT_EQ(seen[std::size_t(t)][std::size_t(i)], metadata.dateTime(DateRule(i)).get())
                << t << " " << i;
    }
}
