// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Metadata.h"
#include "engine/MetadataTag.h"

#include "support/PinnedDates.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

class MetadataRecord : public PinnedDates
{
};

} // namespace

TEST(MetadataTables, FieldsTagsAndRulesAgree)
{
    ASSERT_EQ(metadataFieldCount, 75);
    ASSERT_EQ(metadataTagCount, 79);

    QSet<QString> keys;
    for (int t = 0; t < metadataTagCount; ++t)
        keys.insert(key(MetadataTag(t)));
    EXPECT_EQ(keys.size(), metadataTagCount) << "every tag has its own key";

    for (const MetadataField field : allMetadataFields()) {
        const int n = int(field);
        const MetadataTag tag = metadataTag(field);
        EXPECT_EQ(int(tag), n < 37 ? n : n + 4) << n;
        EXPECT_EQ(fieldOfTag(tag), field) << n;
        EXPECT_EQ(key(tag), fieldKey(field)) << n;
        const auto &info = fieldInfo(field);
        QString name = QString::fromLatin1(info.name.data(), qsizetype(info.name.size()));
        const QString flag = QString::fromLatin1(info.editedFlag.data(), qsizetype(info.editedFlag.size()));
        EXPECT_EQ(flag.mid(2, flag.size() - 8).compare(name, Qt::CaseInsensitive), 0)
            << "flag names its own field: " << n;
    }
    for (int t = 37; t <= 40; ++t)
        EXPECT_FALSE(fieldOfTag(MetadataTag(t))) << "the IPTC date and time tags have no field";

    EXPECT_EQ(key(MetadataTag::digitizationDate), QLatin1String("Iptc.Application2.DigitizationDate"));
    EXPECT_EQ(key(MetadataTag::timeCreated), QLatin1String("Iptc.Application2.TimeCreated"));
    EXPECT_EQ(key(MetadataTag(49)), QLatin1String("Iptc.Application2.SuppCategory"));
    EXPECT_EQ(fieldOfTag(MetadataTag(49)), MetadataField::supplementalCategories);
    EXPECT_EQ(key(MetadataTag::last), QLatin1String("Exif.Photo.DigitalZoomRatio"));
    EXPECT_EQ(fieldKey(MetadataField::copyright), QLatin1String("Exif.Image.Copyright"));
    EXPECT_EQ(fieldKey(MetadataField::copyrightNotice), QLatin1String("Iptc.Application2.Copyright"));
    EXPECT_EQ(fieldInfo(MetadataField::iso).editedFlag, "isISOEdited");
    EXPECT_EQ(fieldInfo(MetadataField::gpsAltitudeRef).editedFlag, "isGPSAltitudeRefEdited");
    EXPECT_EQ(fieldKind(MetadataField::exposureTime), FieldKind::Real);
    EXPECT_EQ(fieldKind(MetadataField::gpsAltitudeRef), FieldKind::Integer);

    // The six rules follow the six date values, in field order.
    int previous = -1;
    for (const auto &rule : dateRules) {
        EXPECT_EQ(fieldKind(rule.field), FieldKind::Date);
        EXPECT_GT(int(rule.field), previous);
        previous = int(rule.field);
    }
}

TEST_F(MetadataRecord, BlankRecord)
{
    const Metadata metadata;
    for (const MetadataField field : allMetadataFields()) {
        EXPECT_FALSE(metadata.hasValue(field)) << int(field);
        EXPECT_FALSE(metadata.isEdited(field)) << int(field);
    }
    EXPECT_FALSE(metadata.isEdited());
    QSet<const DateTime *> rules;
    for (int i = 0; i < dateRuleCount; ++i) {
        const auto &rule = metadata.dateTime(DateRule(i));
        ASSERT_TRUE(rule);
        EXPECT_FALSE(rule->originalDate);
        rules.insert(rule.get());
    }
    EXPECT_EQ(rules.size(), 6) << "six distinct rules";
}

TEST_F(MetadataRecord, NamedAccessorsReachTheirFields)
{
    Metadata metadata;
    metadata.setArtist(QStringLiteral("Ansel"));
    metadata.setISO(400);
    metadata.setExposureTime(1.0 / 250);
    metadata.setModifyDate(at(2020, 1, 2, 3, 4, 5));
    metadata.setDigitalZoomRatio(1.5);
    metadata.setSerialNumberXMP(QStringLiteral(""));
    EXPECT_EQ(metadata.text(MetadataField::artist), QStringLiteral("Ansel"));
    EXPECT_EQ(metadata.integer(MetadataField::iso), 400);
    EXPECT_DOUBLE_EQ(*metadata.real(MetadataField::exposureTime), 0.004);
    EXPECT_EQ(metadata.date(MetadataField::modifyDate), at(2020, 1, 2, 3, 4, 5));
    EXPECT_EQ(metadata.real(MetadataField::digitalZoomRatio), 1.5);
    EXPECT_EQ(metadata.serialNumberXMP(), QString()) << "an empty text is a value";
    EXPECT_FALSE(metadata.serialNumber());
    EXPECT_FALSE(metadata.isEdited()) << "setting values marks nothing";

    metadata.setArtist(std::nullopt);
    EXPECT_FALSE(metadata.hasValue(MetadataField::artist));
    metadata.setModifyDate(QDateTime());
    EXPECT_FALSE(metadata.modifyDate()) << "an invalid date is no date";

    metadata.setGPSLatitudeEdited(true);
    EXPECT_TRUE(metadata.isEdited(MetadataField::gpsLatitude));
    EXPECT_FALSE(metadata.isGPSLatitudeRefEdited());
}

TEST_F(MetadataRecord, EditedFlags)
{
    Metadata metadata;
    metadata.setDigitalZoomRatioEdited(true);
    EXPECT_TRUE(metadata.isEdited()) << "the last flag counts";
    metadata.resetEditedFlags();
    metadata.setArtistEdited(true);
    EXPECT_TRUE(metadata.isEdited()) << "the first flag counts";

    Metadata other;
    other.setKeywordsEdited(true);
    other.setISOEdited(true);
    metadata.copyEditedFlags(nullptr);
    EXPECT_TRUE(metadata.isArtistEdited());
    metadata.copyEditedFlags(&other);
    EXPECT_FALSE(metadata.isArtistEdited()) << "a flag the source has clear is cleared";
    EXPECT_TRUE(metadata.isKeywordsEdited());
    EXPECT_TRUE(metadata.isISOEdited());
    EXPECT_EQ(metadata.editedFlags(), other.editedFlags());

    metadata.setCity(QStringLiteral("Oslo"));
    const auto rule = metadata.dateTimeModifyDate();
    metadata.resetEditedFlags();
    EXPECT_FALSE(metadata.isEdited());
    EXPECT_EQ(metadata.city(), QStringLiteral("Oslo"));
    EXPECT_EQ(metadata.dateTimeModifyDate(), rule);
}

TEST_F(MetadataRecord, RefreshDateTimesRebuildsOnlyPresentDates)
{
    Metadata metadata;
    std::array<std::shared_ptr<DateTime>, 6> before;
    for (int i = 0; i < dateRuleCount; ++i)
        before[std::size_t(i)] = metadata.dateTime(DateRule(i));
    metadata.refreshDateTimes();
    for (int i = 0; i < dateRuleCount; ++i)
        EXPECT_EQ(metadata.dateTime(DateRule(i)), before[std::size_t(i)]);

    metadata.dateTimeModifyDateXMP()->isEmptyValue = true;
    metadata.dateTimeOriginalDate()->isEmptyValue = true;
    metadata.setModifyDateXMP(at(2021, 6, 7, 8, 9, 10));
    metadata.refreshDateTimes();
    const auto &fresh = metadata.dateTimeModifyDateXMP();
    EXPECT_NE(fresh, before[std::size_t(DateRule::modifyDateXMP)]);
    EXPECT_FALSE(fresh->isAnyOptionSelected()) << "the chosen change is lost";
    EXPECT_EQ(fresh->originalDate, at(2021, 6, 7, 8, 9, 10));
    EXPECT_EQ(metadata.dateTimeOriginalDate(), before[std::size_t(DateRule::originalDate)]);
    EXPECT_TRUE(metadata.dateTimeOriginalDate()->isEmptyValue);
}

TEST_F(MetadataRecord, CopiesShareTheirRules)
{
    Metadata metadata;
    Metadata copy = metadata;
    copy.dateTimeCreateDate()->isKeepOriginal = true;
    EXPECT_TRUE(metadata.dateTimeCreateDate()->isKeepOriginal);
    copy.setDateTimeCreateDate(nullptr);
    ASSERT_TRUE(copy.dateTimeCreateDate()) << "a rule is never absent";
    EXPECT_FALSE(copy.dateTimeCreateDate()->isKeepOriginal);
}
