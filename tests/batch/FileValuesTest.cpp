// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchTestSupport.h"

#include "batch/FileValues.h"
#include "engine/Metadata.h"
#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "support/TestEnvironment.h"

#include <QTemporaryDir>

namespace {

const QString originalKey = QStringLiteral("Exif.Photo.DateTimeOriginal");
const QString digitizedKey = QStringLiteral("Exif.Photo.DateTimeDigitized");
const QString iptcDateKeys[] = { QStringLiteral("Iptc.Application2.DigitizationDate"),
    QStringLiteral("Iptc.Application2.DigitizationTime"), QStringLiteral("Iptc.Application2.DateCreated"),
    QStringLiteral("Iptc.Application2.TimeCreated") };

class FileValues : public BatchTest
{
};

TEST_F(FileValues, NothingEditedWritesNothing)
{
    Metadata edited;
    edited.setArtist(QStringLiteral("Ada"));
    edited.setOriginalDate(at(2020, 1, 1));
    EXPECT_TRUE(metadataDictionary(edited, nullptr).isEmpty());
}

// Texts, whole and real numbers go in as they are, each only when edited;
// an edited field the user emptied gives a null entry, which removes it.
TEST_F(FileValues, EditedValuesOfEveryKindGoInUnchanged)
{
    Metadata edited;
    QVariantMap expected;
    for (const MetadataField field : allMetadataFields()) {
        const int n = int(field);
        const bool isEdited = n % 3 != 0;
        const bool hasValue = n % 5 != 0;
        edited.setEdited(field, isEdited);
        if (!hasValue) {
            if (isEdited && fieldKind(field) != FieldKind::Date)
                expected.insert(fieldKey(field), QVariant());
            continue;
        }
        QVariant entry;
        switch (fieldKind(field)) {
        case FieldKind::Text:
            entry
                = n == 4 ? QString() : QStringLiteral("text %1 Zürich").arg(n); // a set empty text is written
            edited.set<FieldKind::Text>(field, entry.toString());
            break;
        case FieldKind::Integer:
            entry = QVariant::fromValue<qint64>(-n * 1000);
            edited.set<FieldKind::Integer>(field, -n * 1000);
            break;
        case FieldKind::Real:
            entry = n + 0.25;
            edited.set<FieldKind::Real>(field, n + 0.25);
            break;
        case FieldKind::Date:
            edited.setEdited(field, false); // dates are their own cases
            continue;
        }
        if (isEdited)
            expected.insert(fieldKey(field), entry);
    }
    const QVariantMap values = metadataDictionary(edited, nullptr);
    EXPECT_EQ(values, expected);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        EXPECT_EQ(it->typeId(), expected.value(it.key()).typeId()) << it.key().toStdString();
    EXPECT_TRUE(values.contains(QStringLiteral("Exif.Photo.UserComment")));
    EXPECT_EQ(values.value(QStringLiteral("Exif.Photo.UserComment")), QString());
}

struct RuleCase
{
    const char *name;
    std::function<void(DateTime &)> setup;
    // Expected text for a file dated 2021-03-04 05:06:07, and for a file
    // without that date; "-" means no entry.
    const char *withDate;
    const char *withoutDate;
};

TEST_F(FileValues, EveryDateRuleAppliesToTheFilesOwnDate)
{
    const std::vector<RuleCase> cases = {
        { "no mode", [](DateTime &) {}, "2021:03:04 05:06:07", "-" },
        { "keep", [](DateTime &r) { r.isKeepOriginal = true; }, "2021:03:04 05:06:07", "-" },
        { "empty", [](DateTime &r) { r.isEmptyValue = true; }, "", "" },
        { "empty wins over keep",
            [](DateTime &r) {
                r.isKeepOriginal = true;
                r.isEmptyValue = true;
            },
            "", "" },
        { "select",
            [](DateTime &r) {
                r.isSelectDate = true;
                r.selectDate = at(1999, 12, 31, 23, 59, 58);
            },
            "1999:12:31 23:59:58", "1999:12:31 23:59:58" },
        { "select without a date", [](DateTime &r) { r.isSelectDate = true; }, "2021:03:04 05:06:07", "-" },
        { "update day and time",
            [](DateTime &r) {
                r.isUpdateDate = true;
                r.dayUpdateDate = 20;
                r.isKeepOriginalMonthUpdateDate = true;
                r.isKeepOriginalYearUpdateDate = true;
                r.timeUpdateDate = at(2000, 1, 1, 18, 30, 0);
            },
            "2021:03:20 18:30:00", "-" },
        { "increment date",
            [](DateTime &r) {
                r.isIDOriginalDate = true;
                r.dayIDOriginalDate = 1;
                r.monthIDOriginalDate = 1;
                r.yearIDOriginalDate = 1;
            },
            "2022:04:05 05:06:07", "-" },
        { "decrement date",
            [](DateTime &r) {
                r.isIDOriginalDate = true;
                r.dayIDOriginalDate = -5;
            },
            "2021:02:27 05:06:07", "-" },
        { "increment time",
            [](DateTime &r) {
                r.isIDOriginalTime = true;
                r.hourIDOriginalTime = 2;
                r.minuteIDOriginalTime = 10;
                r.secondIDOriginalTime = 30;
            },
            "2021:03:04 07:16:37", "-" },
        { "decrement time",
            [](DateTime &r) {
                r.isIDOriginalTime = true;
                r.hourIDOriginalTime = -2;
                r.secondIDOriginalTime = -7;
            },
            "2021:03:04 03:06:00", "-" },
    };
    Metadata withDate;
    withDate.setOriginalDate(at(2021, 3, 4, 5, 6, 7));
    const Metadata withoutDate;
    for (const RuleCase &c : cases) {
        Metadata edited;
        edited.setOriginalDateEdited(true);
        edited.setDateTimeOriginalDate(rule(c.setup));
        const auto check = [&](const Metadata *file, const char *expected, const char *which) {
            const QVariantMap values = metadataDictionary(edited, file);
            if (QLatin1String(expected) == QLatin1String("-")) {
                EXPECT_TRUE(values.isEmpty()) << c.name << ", " << which;
            } else {
                EXPECT_EQ(values.size(), 1) << c.name << ", " << which;
                EXPECT_EQ(values.value(originalKey), QString::fromLatin1(expected))
                    << c.name << ", " << which;
            }
        };
        check(&withDate, c.withDate, "file with the date");
        check(&withoutDate, c.withoutDate, "file without the date");
        check(nullptr, c.withoutDate, "file whose record is not read yet");
    }
}

TEST_F(FileValues, DigitizedDateAlsoFillsTheIptcDateAndTime)
{
    Metadata file;
    file.setCreationDate(at(2021, 3, 4, 5, 6, 7));
    file.setOriginalDate(at(1990, 1, 1)); // the IPTC datasets do not follow this one
    Metadata edited;
    edited.setCreationDateEdited(true);
    edited.setOriginalDateEdited(true);
    edited.setDateTimeCreateDate(rule([](DateTime &r) { r.isKeepOriginal = true; }));

    QVariantMap values = metadataDictionary(edited, &file);
    EXPECT_EQ(values.value(digitizedKey), QStringLiteral("2021:03:04 05:06:07"));
    EXPECT_EQ(values.value(iptcDateKeys[0]), QStringLiteral("2021-03-04"));
    EXPECT_EQ(values.value(iptcDateKeys[1]), QStringLiteral("05:06:07+01:00"));
    EXPECT_EQ(values.value(iptcDateKeys[2]), QStringLiteral("2021-03-04"));
    EXPECT_EQ(values.value(iptcDateKeys[3]), QStringLiteral("05:06:07+01:00"));
    EXPECT_EQ(values.value(originalKey), QStringLiteral("1990:01:01 00:00:00"));
    EXPECT_EQ(values.size(), 6);

    // A time keeps its own offset, else takes the one the Exif records for
    // the digitized date; only then the user's.
    file.setDateOffset(metadataTag(MetadataField::creationDate), -6 * 3600);
    file.setDateOffset(MetadataTag::timeCreated, -7 * 3600);
    values = metadataDictionary(edited, &file);
    EXPECT_EQ(values.value(iptcDateKeys[1]), QStringLiteral("05:06:07-06:00"));
    EXPECT_EQ(values.value(iptcDateKeys[3]), QStringLiteral("05:06:07-07:00"));
    EXPECT_EQ(values.value(digitizedKey), QStringLiteral("2021:03:04 05:06:07")) << "Exif has no offset";

    edited.dateTimeCreateDate()->isEmptyValue = true;
    edited.dateTimeCreateDate()->isKeepOriginal = false;
    values = metadataDictionary(edited, &file);
    for (const QString &key : iptcDateKeys)
        EXPECT_EQ(values.value(key, QStringLiteral("absent")), QString()) << key.toStdString();
    EXPECT_EQ(values.value(digitizedKey, QStringLiteral("absent")), QString());

    // Kept on a file without the date: neither the Exif date nor the IPTC ones.
    edited.dateTimeCreateDate()->isEmptyValue = false;
    edited.dateTimeCreateDate()->isKeepOriginal = true;
    values = metadataDictionary(edited, nullptr);
    EXPECT_TRUE(values.isEmpty());
}

// Dates in files are their wall clocks, Gregorian with ASCII digits,
// whatever the user's locale and calendar; an XMP date keeps its offset,
// or has none, and only one the file did not have takes the user's.
TEST_F(FileValues, DatesAreWrittenInThePosixFormWhateverTheLocale)
{
    Metadata file;
    file.setModifyDate(at(2021, 3, 4, 5, 6, 7));
    file.setCreateDateXMP(at(2021, 3, 4, 5, 6, 7));
    file.setDateOffset(metadataTag(MetadataField::createDateXMP), -4 * 3600);
    file.setModifyDateXMP(at(2021, 3, 4, 5, 6, 7));
    Metadata edited;
    edited.setModifyDateEdited(true);
    edited.setCreateDateXMPEdited(true);
    edited.setModifyDateXMPEdited(true);
    edited.setCreateDatePhotoshopXMPEdited(true);
    edited.setDateTimeCreateDatePhotoshopXMP(rule([](DateTime &r) {
        r.isSelectDate = true;
        r.selectDate = at(2021, 7, 4, 5, 6, 7);
    }));
    for (const char *locale : { "th_TH@calendar=buddhist", "ar_EG", "fa_IR", "de_DE" }) {
        platform::DateFormat::setUserLocale(QString::fromLatin1(locale));
        const QVariantMap values = metadataDictionary(edited, &file);
        EXPECT_EQ(values.value(QStringLiteral("Exif.Image.DateTime")), QStringLiteral("2021:03:04 05:06:07"))
            << locale;
        EXPECT_EQ(
            values.value(QStringLiteral("Xmp.xmp.CreateDate")), QStringLiteral("2021-03-04T05:06:07-04:00"))
            << locale;
        EXPECT_EQ(values.value(QStringLiteral("Xmp.xmp.ModifyDate")), QStringLiteral("2021-03-04T05:06:07"))
            << locale;
        EXPECT_EQ(values.value(QStringLiteral("Xmp.photoshop.DateCreated")),
            QStringLiteral("2021-07-04T05:06:07+02:00"))
            << locale << ": Berlin's summer offset";
    }
    // No Julian days before 1582, and year 1 keeps its four digits.
    file.setModifyDate(at(1, 1, 1));
    file.setCreateDateXMP(at(1500, 6, 1, 12));
    const QVariantMap old = metadataDictionary(edited, &file);
    EXPECT_EQ(old.value(QStringLiteral("Exif.Image.DateTime")), QStringLiteral("0001:01:01 00:00:00"));
    EXPECT_TRUE(old.value(QStringLiteral("Xmp.xmp.CreateDate"))
                    .toString()
                    .startsWith(QStringLiteral("1500-06-01T12:00:00")));
}

TEST_F(FileValues, ModificationDateFollowsOnlyTheEditedModifyDateRule)
{
    Metadata file;
    file.setModifyDate(at(2021, 3, 4, 15, 6, 7));
    file.setCreationDate(at(2010, 1, 1));
    Metadata edited;
    edited.setDateTimeModifyDate(rule([](DateTime &r) {
        r.isIDOriginalTime = true;
        r.hourIDOriginalTime = -6;
    }));
    EXPECT_EQ(newModificationDate(edited, &file, false, false), std::nullopt) << "not edited";
    EXPECT_EQ(newModificationDate(edited, &file, true, false), std::nullopt) << "not edited, others emptied";

    edited.setModifyDateEdited(true);
    EXPECT_EQ(newModificationDate(edited, &file, false, false), at(2021, 3, 4, 9, 6, 7));
    EXPECT_EQ(newModificationDate(edited, &file, true, false), at(2021, 3, 4, 9, 6, 7));
    EXPECT_EQ(newModificationDate(edited, &file, false, true), std::nullopt) << "cleared";
    EXPECT_EQ(newModificationDate(edited, nullptr, false, false), std::nullopt) << "no date to step";

    edited.dateTimeModifyDate()->isEmptyValue = true;
    EXPECT_EQ(newModificationDate(edited, &file, false, false), std::nullopt) << "emptied";

    // The creation date's rule has no say in the modification date.
    Metadata creationOnly;
    creationOnly.setCreationDateEdited(true);
    creationOnly.setDateTimeCreateDate(rule([](DateTime &r) {
        r.isSelectDate = true;
        r.selectDate = at(2000, 1, 1);
    }));
    EXPECT_EQ(newModificationDate(creationOnly, &file, false, false), std::nullopt);
}

// The values of one file, written through the bridge into copies of real
// images and read back.
TEST_F(FileValues, WrittenThroughTheBridgeAndReadBack)
{
    REQUIRE_TEST_DATA();
    Metadata edited;
    edited.setArtist(QStringLiteral("Ada Lovelace"));
    edited.setArtistEdited(true);
    edited.setCity(QStringLiteral("Zürich"));
    edited.setCityEdited(true);
    edited.setISO(800);
    edited.setISOEdited(true);
    edited.setOrientation(6);
    edited.setOrientationEdited(true);
    edited.setFNumber(5.6);
    edited.setFNumberEdited(true);
    edited.setCopyright(QStringLiteral("not edited"));
    edited.setOriginalDateEdited(true);
    edited.setDateTimeOriginalDate(rule([](DateTime &r) {
        r.isIDOriginalDate = true;
        r.yearIDOriginalDate = -1;
    }));
    edited.setCreationDateEdited(true);
    edited.setDateTimeCreateDate(rule([](DateTime &r) {
        r.isSelectDate = true;
        r.selectDate = at(2021, 3, 4, 5, 6, 7);
    }));
    edited.setCreateDateXMPEdited(true);
    edited.setDateTimeCreateDateXMP(rule([](DateTime &r) {
        r.isSelectDate = true;
        r.selectDate = at(2022, 11, 12, 13, 14, 15);
    }));

    // Each time keeps the offset its file had (UTC as it was written, "Z"
    // or "+00:00"); without one, the user's (Berlin): the XMP create date,
    // the IPTC time created and the time digitized.
    struct Offsets
    {
        const char *name;
        const char *createDate;
        const char *timeCreated;
        const char *digitizationTime;
    };
    const Offsets offsets[] = {
        { "Reagan.jp2", "+01:00", "+00:00", "-04:00" },
        { "Reagan.tiff", "-04:00", "+00:00", "-04:00" },
        { "ReaganSmallPng.png", "Z", "-06:29", "-04:00" },
        { "exiv2-empty.jpg", "+01:00", "+01:00", "+01:00" },
        { "Stonehenge.exv", "+01:00", "+01:00", "+01:00" },
    };
    const MetadataOperation bridge(engine::check::refusal);
    for (const Offsets &offset : offsets) {
        const char *name = offset.name;
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const QString path = testsupport::copyTestFile(QStringLiteral("images/") + QLatin1String(name), dir);
        ASSERT_FALSE(path.isEmpty());
        const Metadata before = Metadata::fromFile(path);

        ASSERT_TRUE(bridge.setMetadata(path, metadataDictionary(edited, &before), false));
        const Metadata after = Metadata::fromFile(path);
        EXPECT_EQ(after.artist(), QStringLiteral("Ada Lovelace"));
        EXPECT_EQ(after.city(), QStringLiteral("Zürich"));
        EXPECT_EQ(after.iso(), 800);
        EXPECT_EQ(after.orientation(), 6);
        ASSERT_TRUE(after.fNumber());
        EXPECT_NEAR(*after.fNumber(), 5.6, 1e-6);
        EXPECT_EQ(after.copyright(), before.copyright());
        if (before.originalDate())
            EXPECT_EQ(after.originalDate(), before.originalDate()->addYears(-1));
        else
            EXPECT_EQ(after.originalDate(), std::nullopt);
        EXPECT_EQ(after.creationDate(), at(2021, 3, 4, 5, 6, 7));
        EXPECT_EQ(after.createDateXMP(), at(2022, 11, 12, 13, 14, 15));

        const QVariantMap raw = bridge.getMetadata(path).value_or(QVariantMap());
        EXPECT_EQ(raw.value(QStringLiteral("Xmp.xmp.CreateDate")),
            QStringLiteral("2022-11-12T13:14:15") + QLatin1String(offset.createDate));
        EXPECT_EQ(raw.value(QStringLiteral("Iptc.Application2.DateCreated")), QStringLiteral("2021-03-04"));
        EXPECT_EQ(raw.value(QStringLiteral("Iptc.Application2.TimeCreated")),
            QStringLiteral("05:06:07") + QLatin1String(offset.timeCreated));
        EXPECT_EQ(raw.value(QStringLiteral("Iptc.Application2.DigitizationTime")),
            QStringLiteral("05:06:07") + QLatin1String(offset.digitizationTime));
    }
}

} // namespace
