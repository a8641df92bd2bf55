// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchTestSupport.h"

#include "batch/NewFileName.h"
#include "batch/UniqueNames.h"
#include "engine/FileInfo.h"
#include "engine/Metadata.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class NewFileName : public BatchTest
{
public:
    // 8 December 2026 07:05:09 on the user's clock: the fixed "now" of
    // these tests.
    static QDateTime now() { return at(2026, 12, 8, 7, 5, 9); }

    static Rename editing()
    {
        Rename rule;
        rule.isKeepOriginalFileName = false;
        rule.isEditOriginalFileName = true;
        rule.isAddCurrentDate = false;
        return rule;
    }

    // The new name of fileName, before it is made unique.
    static QString nameFor(
        const QString &fileName, const Rename &rule, const NameSources &sources = {}, qint64 counterStep = 0)
    {
        const SplitName name = splitFileName(fileName);
        return joinFileName(newFileStem(name.stem, rule, sources, counterStep, now()), name.extension);
    }
};

TEST_F(NewFileName, TwoDigits)
{
    EXPECT_EQ(twoDigits(7), QStringLiteral("07"));
    EXPECT_EQ(twoDigits(0), QStringLiteral("00"));
    EXPECT_EQ(twoDigits(12), QStringLiteral("12"));
    EXPECT_EQ(twoDigits(2026), QStringLiteral("26"));
    EXPECT_EQ(twoDigits(100), QStringLiteral("00"));
}

TEST_F(NewFileName, EveryDatePatternGivesWhatItsLabelShows)
{
    const char *expected[] = {
        "08122026",
        "08122026_0705",
        "08122026_07-05",
        "08122026_070509",
        "08122026_07-05-09",
        "08-12-2026",
        "08-12-2026_0705",
        "08-12-2026_07-05",
        "08-12-2026_070509",
        "08-12-2026_07-05-09",
        "12-08-2026",
        "12-08-2026_0705",
        "12-08-2026_07-05",
        "12-08-2026_070509",
        "12-08-2026_07-05-09",
        "2026-12-08",
        "2026-12-08_0705",
        "2026-12-08_07-05",
        "2026-12-08_070509",
        "2026-12-08_07-05-09",
    };
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(dateString(DateFormat(i), now()), QLatin1String(expected[i])) << i;
        EXPECT_EQ(rawValue(DateFormat(i)).count(QLatin1Char('Y')), 4) << "the label's year has four digits";
    }
    // The wall clock as it is, in the Gregorian calendar whatever the locale
    // or zone; an old year keeps its four digits.
    platform::DateFormat::setUserLocale(QStringLiteral("th_TH@calendar=buddhist"));
    platform::DateFormat::setTimeZone(QStringLiteral("Asia/Tokyo"));
    EXPECT_EQ(dateString(DateFormat::twenty, now()), QStringLiteral("2026-12-08_07-05-09"));
    EXPECT_EQ(dateString(DateFormat::sixteen, at(812, 3, 4)), QStringLiteral("0812-03-04"));
}

TEST_F(NewFileName, KeepingTheOriginalNameIgnoresEverythingElse)
{
    Rename rule = editing();
    rule.isKeepOriginalFileName = true; // edit on too: keep wins
    rule.isReplaceFilename = true;
    rule.replaceFilename = QStringLiteral("other");
    rule.isAddText = true;
    rule.prefixAddText = QStringLiteral("Trip");
    EXPECT_EQ(nameFor(QStringLiteral("DSC1.jpg"), rule), QStringLiteral("DSC1.jpg"));
    rule.isKeepOriginalFileName = false;
    rule.isEditOriginalFileName = false; // both off: unchanged as well
    EXPECT_EQ(nameFor(QStringLiteral("DSC1.jpg"), rule), QStringLiteral("DSC1.jpg"));
}

TEST_F(NewFileName, ReplaceThenFindAndReplace)
{
    Rename rule = editing();
    rule.isReplaceText = true;
    rule.findReplaceText = QStringLiteral("IMG");
    EXPECT_EQ(nameFor(QStringLiteral("IMG_0001.jpg"), rule), QStringLiteral("_0001.jpg"));
    rule.replaceWithReplaceText = QStringLiteral("Pic");
    EXPECT_EQ(nameFor(QStringLiteral("IMG_IMG.jpg"), rule), QStringLiteral("Pic_Pic.jpg"));
    EXPECT_EQ(nameFor(QStringLiteral("img_1.jpg"), rule), QStringLiteral("img_1.jpg")) << "case-sensitive";
    // Find and replace works on the replaced name.
    rule.isReplaceFilename = true;
    rule.replaceFilename = QStringLiteral("IMG holiday");
    EXPECT_EQ(nameFor(QStringLiteral("DSC.jpg"), rule), QStringLiteral("Pic holiday.jpg"));
    // An empty text to find finds nothing.
    rule.findReplaceText = QString();
    EXPECT_EQ(nameFor(QStringLiteral("DSC.jpg"), rule), QStringLiteral("IMG holiday.jpg"));
}

TEST_F(NewFileName, PartsStandInTheirOrder)
{
    Rename rule = editing();
    rule.isAddText = true;
    rule.prefixAddText = QStringLiteral("Trip");
    rule.suffixAddText = QStringLiteral("raw");
    rule.isAddIndex = true;
    rule.prefixAddIndex = 3;
    rule.isAddCounter = true;
    rule.prefixAddCounter = 5;
    rule.minNumberOfDigitsAddCounter = 3;
    rule.isAddDateTime = true;
    rule.isAddCurrentDate = true;
    EXPECT_EQ(nameFor(QStringLiteral("DSC1.jpg"), rule), QStringLiteral("Trip_3_005_08122026_DSC1_raw.jpg"));

    // Suffix parts: text, index, counter, date; place and size before them.
    rule.prefixAddText.reset();
    rule.prefixAddIndex.reset();
    rule.suffixAddIndex = 9;
    rule.prefixAddCounter.reset();
    rule.suffixAddCounter = 1;
    rule.asDateTime = DateAs::suffix;
    rule.isAddExifLocation = true;
    rule.isCity = true;
    rule.isAppendWidthHeight = true;
    NameSources sources;
    sources.city = QStringLiteral("Lyon");
    sources.width = QStringLiteral("4000");
    sources.height = QStringLiteral("3000");
    EXPECT_EQ(nameFor(QStringLiteral("DSC1.jpg"), rule, sources),
        QStringLiteral("DSC1_Lyon_4000x3000_raw_9_001_08122026.jpg"));
}

TEST_F(NewFileName, CounterPaddingAndSteps)
{
    EXPECT_EQ(counterText(1234, 3), QStringLiteral("1234"));
    EXPECT_EQ(counterText(5, 0), QStringLiteral("5"));
    EXPECT_EQ(counterText(5, 7), QStringLiteral("0000005"));
    EXPECT_EQ(counterText(-5, 3), QStringLiteral("-005"));
    EXPECT_EQ(counterText(5, 1'000'000'000'000), QStringLiteral("0000000005")) << "held to ten digits";
    EXPECT_EQ(counterText(5, -4), QStringLiteral("5"));

    Rename rule = editing();
    rule.isAddCounter = true;
    rule.prefixAddCounter = 98;
    rule.suffixAddCounter = 1;
    rule.minNumberOfDigitsAddCounter = 2;
    EXPECT_EQ(nameFor(QStringLiteral("a.jpg"), rule, {}, 0), QStringLiteral("98_a_01.jpg"));
    EXPECT_EQ(nameFor(QStringLiteral("a.jpg"), rule, {}, 1), QStringLiteral("99_a_02.jpg"));
    EXPECT_EQ(nameFor(QStringLiteral("a.jpg"), rule, {}, 2), QStringLiteral("100_a_03.jpg"));
    rule.prefixAddCounter = std::numeric_limits<qint64>::max();
    EXPECT_EQ(nameFor(QStringLiteral("a.jpg"), rule, {}, 5), QStringLiteral("9223372036854775807_a_06.jpg"))
        << "no overflow";
}

TEST_F(NewFileName, DateFromTheClockOrTheMetadata)
{
    Rename rule = editing();
    rule.isAddDateTime = true;
    rule.isAddExifDate = true;
    // Metadata date chosen but unset, current date off: no part, no separator.
    EXPECT_EQ(nameFor(QStringLiteral("a.jpg"), rule), QStringLiteral("a.jpg"));
    // The current date stands in for an unset metadata date.
    rule.isAddCurrentDate = true;
    EXPECT_EQ(nameFor(QStringLiteral("a.jpg"), rule), QStringLiteral("08122026_a.jpg"));

    // A set metadata date wins over the current one; each type picks its date.
    NameSources sources;
    sources.originalDate = at(2001, 2, 3);
    sources.creationDate = at(2002, 3, 4);
    sources.modifyDate = at(2003, 4, 5);
    const std::pair<ExifDateType, const char *> types[] = {
        { ExifDateType::original, "03022001_a.jpg" },
        { ExifDateType::creation, "04032002_a.jpg" },
        { ExifDateType::modify, "05042003_a.jpg" },
    };
    for (const auto &[type, expected] : types) {
        rule.exifDateType = type;
        EXPECT_EQ(nameFor(QStringLiteral("a.jpg"), rule, sources), QLatin1String(expected));
    }
    // The date group off: no date at all.
    rule.isAddDateTime = false;
    EXPECT_EQ(nameFor(QStringLiteral("a.jpg"), rule, sources), QStringLiteral("a.jpg"));
}

TEST_F(NewFileName, PlaceNamesAndSize)
{
    Rename rule = editing();
    rule.isAddText = true;
    rule.suffixAddText = QStringLiteral("x");
    rule.isAddExifLocation = true;
    rule.isCity = true;
    rule.isCountry = true;
    rule.isState = true; // on, but the record has no state
    NameSources sources;
    sources.city = QStringLiteral("Lyon");
    sources.country = QStringLiteral("France");
    sources.subLocation = QStringLiteral("Vieux Lyon"); // present, but its flag is off
    EXPECT_EQ(nameFor(QStringLiteral("photo.jpg"), rule, sources), QStringLiteral("photo_Lyon_France_x.jpg"));

    rule.isPlace = true;
    sources.subLocation = QString(); // present and empty: a lone "_"
    EXPECT_EQ(
        nameFor(QStringLiteral("photo.jpg"), rule, sources), QStringLiteral("photo__Lyon_France_x.jpg"));

    rule.isAddExifLocation = false;
    rule.isAppendWidthHeight = true;
    sources.width = QStringLiteral("4000");
    EXPECT_EQ(nameFor(QStringLiteral("photo.jpg"), rule, sources), QStringLiteral("photo_x.jpg"))
        << "no height";
    sources.height = QStringLiteral("3000");
    EXPECT_EQ(nameFor(QStringLiteral("photo.jpg"), rule, sources), QStringLiteral("photo_4000x3000_x.jpg"));
}

TEST_F(NewFileName, EachFileIsNamedFromItsOwnValuesOrTheOnesSetForAll)
{
    FileInfo file;
    file.width = QStringLiteral("4000");
    file.height = QStringLiteral("3000");
    auto own = std::make_shared<Metadata>();
    own->setOriginalDate(at(2004, 6, 21, 23, 37, 53));
    own->setCity(QStringLiteral("Lyon"));
    own->setCountryPrimaryLocationName(QStringLiteral("France"));
    file.metadata = own;

    // The form's record shows another file's values; only edited ones count.
    Metadata edited;
    edited.setOriginalDate(at(1999, 1, 1));
    edited.setCity(QStringLiteral("Rome"));
    edited.setCountryPrimaryLocationName(QStringLiteral("Italy"));
    edited.setCountryPrimaryLocationNameEdited(true);
    NameSources sources = NameSources::of(file, &edited);
    EXPECT_EQ(sources.originalDate, at(2004, 6, 21, 23, 37, 53));
    EXPECT_EQ(sources.city, QStringLiteral("Lyon"));
    EXPECT_EQ(sources.country, QStringLiteral("Italy"));
    EXPECT_EQ(sources.width, QStringLiteral("4000"));
    EXPECT_EQ(sources.height, QStringLiteral("3000"));

    // An edited date is the file's own as its rule changes it; an emptied
    // place is none.
    edited.setOriginalDateEdited(true);
    edited.setDateTimeOriginalDate(rule([](DateTime &r) {
        r.isIDOriginalTime = true;
        r.hourIDOriginalTime = 1;
    }));
    edited.setCity(std::nullopt);
    edited.setCityEdited(true);
    sources = NameSources::of(file, &edited);
    EXPECT_EQ(sources.originalDate, at(2004, 6, 22, 0, 37, 53));
    EXPECT_FALSE(sources.city);

    // A clean writes nothing: the file's own values.
    EXPECT_EQ(NameSources::of(file, nullptr).country, QStringLiteral("France"));
    // Details not read yet: the pixel size alone.
    file.metadata.reset();
    sources = NameSources::of(file, &edited);
    EXPECT_FALSE(sources.originalDate);
    EXPECT_EQ(sources.country, QStringLiteral("Italy"));
    EXPECT_EQ(sources.width, QStringLiteral("4000"));
}

TEST_F(NewFileName, HostilePartsCannotLeaveTheFolderOrBreakTheName)
{
    Rename rule = editing();
    rule.isReplaceFilename = true;
    const std::pair<QString, QString> cases[] = {
        { QStringLiteral("../x"), QStringLiteral("_._x.jpg") },
        { QStringLiteral(".hidden"), QStringLiteral("_hidden.jpg") }, // a leading dot would hide the copy
        { QStringLiteral("A/B"), QStringLiteral("A_B.jpg") },
        { QStringLiteral("/etc/passwd"), QStringLiteral("_etc_passwd.jpg") },
        { QStringLiteral("a\nb\tc\x01"
                         "d\x7f"),
            QStringLiteral("a_b_c_d_.jpg") },
        { QString::fromUtf16(u"nul\0byte", 8), QStringLiteral("nul_byte.jpg") },
        { QString::fromUtf16(u"photo\u202Egpj.exe"), QStringLiteral("photo_gpj.exe.jpg") },
        { QString::fromUtf16(u"line\u2028break"), QStringLiteral("line_break.jpg") },
        { QString(QChar(0xD800)) + QStringLiteral("lone"), QStringLiteral("_lone.jpg") },
        { QString::fromUtf16(u"Z\u00FCrich \U0001F600"), QString::fromUtf16(u"Z\u00FCrich \U0001F600.jpg") },
        { QString(), QStringLiteral("IMG_1.jpg") }, // empty falls back to the original name
        { QStringLiteral("."), QStringLiteral("IMG_1.jpg") },
    };
    for (const auto &[replacement, expected] : cases) {
        rule.replaceFilename = replacement;
        EXPECT_EQ(nameFor(QStringLiteral("IMG_1.jpg"), rule), expected) << replacement.toStdString();
    }
    // Without an extension, "." and ".." would name folders.
    rule.replaceFilename = QStringLiteral("..");
    EXPECT_EQ(nameFor(QStringLiteral("RAW1"), rule), QStringLiteral("RAW1"));

    // Every kind of inserted part is made safe.
    Rename all = editing();
    all.isReplaceText = true;
    all.findReplaceText = QStringLiteral("IMG");
    all.replaceWithReplaceText = QStringLiteral("../up");
    all.isAddText = true;
    all.prefixAddText = QStringLiteral("a/b");
    all.suffixAddText = QStringLiteral("c\rd");
    all.isAddExifLocation = true;
    all.isCity = true;
    all.isAppendWidthHeight = true;
    NameSources sources;
    sources.city = QStringLiteral("../../etc");
    sources.width = QStringLiteral("1/");
    sources.height = QStringLiteral("\n2");
    EXPECT_EQ(nameFor(QStringLiteral("IMG_1.jpg"), all, sources),
        QStringLiteral("a_b_.._up_1_.._.._etc_1_x_2_c_d.jpg"));
}

TEST_F(NewFileName, LongNamesAreShortenedOnACharacterBoundary)
{
    const QString stem = QString::fromUtf16(u"\u00E9").repeated(150); // 300 bytes of UTF-8
    QString name = fittedFileName(stem, 0, QStringLiteral("jpg"));
    EXPECT_LE(name.toUtf8().size(), fileNameByteLimit);
    EXPECT_TRUE(name.endsWith(QStringLiteral(".jpg")));
    EXPECT_EQ(QString::fromUtf8(name.toUtf8()), name) << "no character cut in half";
    EXPECT_EQ(name, stem.left(125) + QStringLiteral(".jpg")); // 250 + 4 bytes

    name = fittedFileName(stem, 12, QStringLiteral("jpg"));
    EXPECT_TRUE(name.endsWith(QStringLiteral(" (12).jpg")));
    EXPECT_LE(name.toUtf8().size(), fileNameByteLimit);

    // A character of several code points is kept whole or left out whole.
    const QString family = QString::fromUtf16(u"\U0001F468\u200D\U0001F469\u200D\U0001F467"); // 18 bytes
    const QString mixed = QStringLiteral("a").repeated(240) + family;
    name = fittedFileName(mixed, 0, QStringLiteral("jpg"));
    EXPECT_EQ(name, QStringLiteral("a").repeated(240) + QStringLiteral(".jpg"));

    // An absurdly long extension is shortened with the name.
    name = fittedFileName(QStringLiteral("x"), 3, QStringLiteral("e").repeated(260));
    EXPECT_LE(name.toUtf8().size(), fileNameByteLimit);
    EXPECT_TRUE(name.startsWith(QStringLiteral("x.eee")));
    EXPECT_TRUE(name.endsWith(QStringLiteral(" (3)")));

    EXPECT_EQ(fittedFileName(QStringLiteral("short"), 0, QString()), QStringLiteral("short"));
}

TEST_F(NewFileName, UniqueNameTakesTheFirstFreeNumber)
{
    QTemporaryDir dir;
    const auto touch = [&](const QString &name) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };
    const QUrl proposed = QUrl::fromLocalFile(dir.filePath(QStringLiteral("photo.jpg")));
    EXPECT_EQ(uniqueFileURL(proposed), proposed);
    touch(QStringLiteral("photo.jpg"));
    touch(QStringLiteral("photo (1).jpg"));
    EXPECT_EQ(uniqueFileURL(proposed).toLocalFile(), dir.filePath(QStringLiteral("photo (2).jpg")));

    // Folders and dangling links take names too; numbers build on the base name.
    QDir(dir.path()).mkdir(QStringLiteral("photo (2).jpg"));
    QFile::link(dir.filePath(QStringLiteral("nowhere")), dir.filePath(QStringLiteral("photo (3).jpg")));
    touch(QStringLiteral("photo (1) (1).jpg"));
    EXPECT_EQ(uniqueFileURL(proposed).toLocalFile(), dir.filePath(QStringLiteral("photo (4).jpg")));
}

} // namespace
