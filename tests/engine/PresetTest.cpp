// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Preset.h"

#include "platform/Settings.h"
#include "support/PinnedDates.h"

using platform::Settings;

namespace {

const QString presetsKey = QStringLiteral("presets");

class Presets : public PinnedDates
{
protected:
    void SetUp() override
    {
        PinnedDates::SetUp();
        Settings::remove(presetsKey);
    }
    void TearDown() override
    {
        Settings::remove(presetsKey);
        PinnedDates::TearDown();
    }
};

} // namespace

TEST_F(Presets, NothingStoredGivesNone)
{
    EXPECT_TRUE(loadPresets().isEmpty());
    savePresets({});
    EXPECT_TRUE(Settings::contains(presetsKey)) << "an empty list is stored, not removed";
    EXPECT_TRUE(loadPresets().isEmpty());
}

TEST_F(Presets, ListRoundTripsInOrder)
{
    Preset south(QStringLiteral("Patagonia"));
    south.metadata()->setGPSLatitude(-50.9423);
    south.metadata()->setGPSLatitudeRef(QStringLiteral("S"));
    south.metadata()->setGPSLongitude(-73.4068);
    south.metadata()->setGPSLongitudeRef(QStringLiteral("W"));
    south.metadata()->setGPSAltitude(-4.5);
    south.metadata()->setGPSAltitudeRef(1);
    south.metadata()->setExposureTime(1.0 / 250);
    south.metadata()->setArtistEdited(true);
    south.metadata()->dateTimeOriginalDate()->isIDOriginalDate = true;
    south.metadata()->dateTimeOriginalDate()->dayIDOriginalDate = 3;

    Preset studio(QStringLiteral("Studio"));
    studio.metadata()->setArtist(QStringLiteral("Ansel"));
    studio.metadata()->setCreateDateXMP(at(2020, 2, 29, 12));
    Preset twin(QStringLiteral("Studio"));

    savePresets({ south, studio, twin });
    const QList<Preset> loaded = loadPresets();
    ASSERT_EQ(loaded.size(), 3) << "names are not keys: both Studio presets stay";
    EXPECT_EQ(loaded[0].name(), QStringLiteral("Patagonia"));
    EXPECT_EQ(loaded[1].name(), QStringLiteral("Studio"));
    EXPECT_EQ(loaded[2].name(), QStringLiteral("Studio"));

    const Metadata &s = *loaded[0].metadata();
    EXPECT_EQ(s.gpsLatitude(), -50.9423);
    EXPECT_EQ(s.gpsLongitude(), -73.4068);
    EXPECT_EQ(s.gpsAltitude(), -4.5);
    EXPECT_DOUBLE_EQ(*s.exposureTime(), 0.004);
    EXPECT_FALSE(s.isEdited());
    EXPECT_TRUE(s.dateTimeOriginalDate()->isIDOriginalDate);
    EXPECT_EQ(s.dateTimeOriginalDate()->dayIDOriginalDate, 3);
    EXPECT_EQ(loaded[1].metadata()->artist(), QStringLiteral("Ansel"));
    EXPECT_EQ(loaded[1].metadata()->createDateXMP(), at(2020, 2, 29, 12));
    EXPECT_FALSE(loaded[2].metadata()->artist());
    // Stored, as presets always stored them, as the point in time that wall
    // clock is for the user (noon in Berlin, 11:00 UTC).
    const QVariantMap stored = Settings::archived(presetsKey)->toList().value(1).toMap();
    EXPECT_EQ(stored.value(QStringLiteral("metadata")).toMap().value(QStringLiteral("Xmp.xmp.CreateDate")),
        QDateTime(QDate(2020, 2, 29), QTime(11, 0), Qt::UTC));
}

TEST_F(Presets, SettingTheRecordSharesIt)
{
    Preset preset;
    EXPECT_TRUE(preset.name().isEmpty());
    auto metadata = std::make_shared<Metadata>();
    preset.setMetadata(metadata);
    metadata->setCity(QStringLiteral("Lima"));
    EXPECT_EQ(preset.metadata()->city(), QStringLiteral("Lima"));
    preset.setMetadata(nullptr);
    ASSERT_TRUE(preset.metadata());
    EXPECT_FALSE(preset.metadata()->city());
}

TEST_F(Presets, StoredShapesThatAreNotAListOfDictionariesGiveNone)
{
    Settings::setArchived(
        presetsKey, QVariantList { QVariantMap { { QStringLiteral("name"), QStringLiteral("ok") } }, 5 });
    EXPECT_TRUE(loadPresets().isEmpty());
    Settings::setArchived(presetsKey, QVariantMap { { QStringLiteral("name"), QStringLiteral("alone") } });
    EXPECT_TRUE(loadPresets().isEmpty());
    Settings::setText(presetsKey, QStringLiteral("not an archive"));
    EXPECT_TRUE(loadPresets().isEmpty());
    Settings::setBytes(presetsKey, QByteArray("\xff\x00garbage", 9));
    EXPECT_TRUE(loadPresets().isEmpty());
}

TEST_F(Presets, MissingAndMistypedEntriesKeepTheirInitialValues)
{
    const QVariantMap oldMetadata {
        { QStringLiteral("Exif.Photo.ExposureTime"),
            qint64(2) }, // whole seconds, as older builds stored them
        { QStringLiteral("Exif.GPSInfo.GPSLatitude"), 12.5 },
        { QStringLiteral("Exif.GPSInfo.GPSLatitudeRef"), QStringLiteral("S") },
    };
    Settings::setArchived(presetsKey,
        QVariantList {
            QVariantMap { { QStringLiteral("metadata"), oldMetadata } },
            QVariantMap {
                { QStringLiteral("name"), 7 }, { QStringLiteral("metadata"), QStringLiteral("x") } },
            QVariantMap {},
        });
    const QList<Preset> loaded = loadPresets();
    ASSERT_EQ(loaded.size(), 3) << "one preset per stored dictionary";
    EXPECT_TRUE(loaded[0].name().isEmpty());
    EXPECT_EQ(loaded[0].metadata()->exposureTime(), 2.0);
    EXPECT_EQ(loaded[0].metadata()->gpsLatitude(), -12.5);
    EXPECT_TRUE(loaded[1].name().isEmpty());
    ASSERT_TRUE(loaded[1].metadata());
    EXPECT_FALSE(loaded[1].metadata()->hasValue(MetadataField::exposureTime));
    EXPECT_TRUE(loaded[2].name().isEmpty());
}
