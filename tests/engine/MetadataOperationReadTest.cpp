// SPDX-License-Identifier: GPL-3.0-or-later
#include "BridgeTestSupport.h"
#include "support/SecondReader.h"

#include "engine/DateTime.h"
#include "engine/Metadata.h"
#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QRegularExpression>

#include <exiv2/exiv2.hpp>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <thread>

using bridgetest::ConsoleCapture;

namespace {

QStringList sharedImages()
{
    return QDir(testsupport::testDataDir() + QStringLiteral("/images")).entryList(QDir::Files, QDir::Name);
}

// The first component of a value as the peer prints it, as a number.
std::optional<double> peerNumber(const QString &type, const QString &value)
{
    const QString first = value.section(QLatin1Char(' '), 0, 0);
    if (type == QLatin1String("Rational") || type == QLatin1String("SRational")) {
        const qint64 numerator = first.section(QLatin1Char('/'), 0, 0).toLongLong();
        const qint64 denominator = first.section(QLatin1Char('/'), 1, 1).toLongLong();
        if (denominator == 0)
            return std::nullopt;
        return static_cast<double>(numerator) / static_cast<double>(denominator);
    }
    bool ok = false;
    const double number = first.toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

} // namespace

TEST(MetadataOperationRead, EveryImageReadsAndAgreesWithThePeer)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    static const QStringList textTypes { QStringLiteral("Ascii"), QStringLiteral("String") };
    static const QStringList numberTypes { QStringLiteral("Short"), QStringLiteral("Long"),
        QStringLiteral("SShort"), QStringLiteral("SLong"), QStringLiteral("Rational"),
        QStringLiteral("SRational") };
    static const QStringList specialKeys { QStringLiteral("Exif.GPSInfo.GPSLatitude"),
        QStringLiteral("Exif.GPSInfo.GPSLongitude"), QStringLiteral("Exif.GPSInfo.GPSAltitudeRef") };
    const MetadataOperation operation;
    int compared = 0;
    for (const QString &name : sharedImages()) {
        SCOPED_TRACE(name.toStdString());
        const QString path = testsupport::copyTestFile(QStringLiteral("images/") + name, dir);
        ConsoleCapture console;
        const std::optional<QVariantMap> entries = operation.getMetadata(path);
        ASSERT_TRUE(entries.has_value());
        EXPECT_TRUE(console.failures().isEmpty()) << console.failures().join(u'\n').toStdString();

        if (!bridgetest::hasPeer())
            continue;
        const bridgetest::PeerReport peer(path);
        QMap<QString, int> occurrences;
        for (const auto &[key, value] : peer.rows())
            ++occurrences[key];
        for (const auto &[key, peerValue] : peer.rows()) {
            const QString &type = peerValue.type;
            const QString &value = peerValue.value;
            if (occurrences[key] != 1 || specialKeys.contains(key)
                || key.startsWith(QLatin1String("Iptc.Application2.Keywords")))
                continue;
            const QVariant ours = entries->value(key);
            if (textTypes.contains(type)) {
                ASSERT_EQ(ours.typeId(), QMetaType::QString) << key.toStdString();
                // The peer shows the first line of a text, and a byte of IPTC
                // or Exif text that is not UTF-8 as U+FFFD, where we read
                // Latin-1.
                QString shown = ours.toString().section(QLatin1Char('\n'), 0, 0).trimmed();
                if (!key.startsWith(QLatin1String("Xmp.")) && value.contains(QChar::ReplacementCharacter)) {
                    for (QChar &c : shown)
                        c = c.unicode() >= 0x80 ? QChar(QChar::ReplacementCharacter) : c;
                }
                EXPECT_EQ(shown, value.trimmed()) << key.toStdString();
                ++compared;
            } else if (numberTypes.contains(type)) {
                const std::optional<double> expected = peerNumber(type, value);
                if (!expected)
                    continue;
                ASSERT_TRUE(ours.isValid()) << key.toStdString();
                EXPECT_EQ(ours.typeId(),
                    type.contains(QLatin1String("Rational")) ? QMetaType::Double : QMetaType::LongLong)
                    << key.toStdString();
                EXPECT_DOUBLE_EQ(ours.toDouble(), *expected) << key.toStdString();
                ++compared;
            }
        }
    }
    if (bridgetest::hasPeer()) {
        EXPECT_GT(compared, 2000);
    }
}

TEST(MetadataOperationRead, FileWithoutMetadataGivesEmptyDictionaryAndNoOutput)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    const QString path = testsupport::copyTestFile(QStringLiteral("images/exiv2-empty.jpg"), dir);
    ConsoleCapture console;
    const std::optional<QVariantMap> entries = MetadataOperation().getMetadata(path);
    ASSERT_TRUE(entries.has_value());
    EXPECT_TRUE(entries->isEmpty());
    EXPECT_TRUE(console.errors().isEmpty());
    EXPECT_TRUE(console.lines(platform::Console::Stream::Out).isEmpty());
}

TEST(MetadataOperationRead, MissingFileFailsWithTheLibraryMessage)
{
    QTemporaryDir dir;
    ConsoleCapture console;
    EXPECT_FALSE(MetadataOperation().getMetadata(dir.filePath(QStringLiteral("gone.jpg"))).has_value());
    ASSERT_EQ(console.errors().size(), 1);
    const QString line = console.errors().first();
    EXPECT_TRUE(line.startsWith(QStringLiteral("*** error exiv2 exception '"))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral("' ***"))) << line.toStdString();
    EXPECT_TRUE(line.contains(QStringLiteral("gone.jpg")));
}

TEST(MetadataOperationRead, FoldersPipesAndUnknownContentFailWithoutWaiting)
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.jpg"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString text = dir.filePath(QStringLiteral("notes.jpg"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
    file.close();

    const MetadataOperation operation;
    for (const QString &path : { pipe, folder, text }) {
        ConsoleCapture console;
        EXPECT_FALSE(operation.getMetadata(path).has_value()) << path.toStdString();
        EXPECT_EQ(console.failures().size(), 1) << path.toStdString();
        EXPECT_FALSE(operation.readJSONStringFrom(path).has_value());
        EXPECT_FALSE(operation.setMetadata(path, {}, false));
        EXPECT_FALSE(operation.clearMetadata(path, true, true, true, true, true, true));
    }
}

TEST(MetadataOperationRead, ValuesFollowTheirTypeAndTheGpsRules)
{
    REQUIRE_TEST_DATA();
    if (!bridgetest::hasPeer())
        GTEST_SKIP() << "exiv2 command not installed";
    QTemporaryDir dir;
    const QString path = testsupport::copyTestFile(QStringLiteral("images/exiv2-empty.jpg"), dir);
    ASSERT_TRUE(bridgetest::peerModify(path,
        {
            QStringLiteral("set Exif.GPSInfo.GPSLatitude 48/1 51/1 2400/100"),
            QStringLiteral("set Exif.GPSInfo.GPSLatitudeRef S"),
            QStringLiteral("set Exif.GPSInfo.GPSLongitude SRational 10/1 -1/1 36/1"),
            QStringLiteral("set Exif.GPSInfo.GPSAltitudeRef 1"),
            QStringLiteral("set Exif.GPSInfo.GPSAltitude 1000/0"),
            QStringLiteral("set Exif.GPSInfo.GPSVersionID 2 2 0 0"),
            QStringLiteral("set Exif.Photo.ExposureTime 1/250"),
            QStringLiteral("set Exif.Image.Orientation 6"),
            QStringLiteral("set Exif.Image.BitsPerSample 8 16 24"),
            QStringLiteral("set Exif.Image.BatteryLevel Double 2.5"),
            QStringLiteral("set Exif.Image.ExposureIndex Float 1.5"),
            QStringLiteral("set Exif.Photo.UserComment charset=Ascii Seen from the bridge"),
            QStringLiteral("add Iptc.Application2.Keywords one"),
            QStringLiteral("add Iptc.Application2.Keywords two, three"),
            QStringLiteral("add Iptc.Application2.Keywords four"),
            QStringLiteral("add Iptc.Application2.SuppCategory alpha"),
            QStringLiteral("add Iptc.Application2.SuppCategory beta"),
            QStringLiteral("set Xmp.dc.subject XmpBag a"),
            QStringLiteral("set Xmp.xmp.CreateDate 2019-07-14T09:30:05"),
        }));

    ConsoleCapture console;
    const std::optional<QVariantMap> entries = MetadataOperation().getMetadata(path);
    ASSERT_TRUE(entries.has_value());
    const QVariantMap &e = *entries;

    EXPECT_EQ(e.value(QStringLiteral("Exif.GPSInfo.GPSLatitude")).typeId(), QMetaType::Double);
    EXPECT_NEAR(
        e.value(QStringLiteral("Exif.GPSInfo.GPSLatitude")).toDouble(), 48 + 51 / 60.0 + 24 / 3600.0, 1e-12);
    EXPECT_EQ(e.value(QStringLiteral("Exif.GPSInfo.GPSLatitudeRef")), QVariant(QStringLiteral("S")));
    // Minutes of -1 are left out; the seconds still count.
    EXPECT_NEAR(e.value(QStringLiteral("Exif.GPSInfo.GPSLongitude")).toDouble(), 10 + 36 / 3600.0, 1e-12);
    EXPECT_EQ(e.value(QStringLiteral("Exif.GPSInfo.GPSAltitudeRef")), QVariant(1.0));
    EXPECT_TRUE(std::isinf(e.value(QStringLiteral("Exif.GPSInfo.GPSAltitude")).toDouble()));
    EXPECT_FALSE(e.contains(QStringLiteral("Exif.GPSInfo.GPSVersionID")));
    EXPECT_DOUBLE_EQ(e.value(QStringLiteral("Exif.Photo.ExposureTime")).toDouble(), 0.004);
    EXPECT_EQ(e.value(QStringLiteral("Exif.Image.Orientation")), QVariant::fromValue<qint64>(6));
    EXPECT_EQ(e.value(QStringLiteral("Exif.Image.BitsPerSample")), QVariant::fromValue<qint64>(8));
    EXPECT_EQ(e.value(QStringLiteral("Exif.Image.BatteryLevel")), QVariant::fromValue<qint64>(2));
    EXPECT_EQ(e.value(QStringLiteral("Exif.Image.ExposureIndex")).typeId(), QMetaType::Float);
    EXPECT_EQ(e.value(QStringLiteral("Exif.Image.ExposureIndex")).toFloat(), 1.5f);
    EXPECT_EQ(
        e.value(QStringLiteral("Exif.Photo.UserComment")), QVariant(QStringLiteral("Seen from the bridge")));
    EXPECT_EQ(e.value(QStringLiteral("Iptc.Application2.Keywords")),
        QVariant(QStringLiteral("one, \"two, three\", four")));
    EXPECT_EQ(
        e.value(QStringLiteral("Iptc.Application2.SuppCategory")), QVariant(QStringLiteral("alpha, beta")));
    EXPECT_FALSE(e.contains(QStringLiteral("Xmp.dc.subject")));
    EXPECT_EQ(e.value(QStringLiteral("Xmp.xmp.CreateDate")), QVariant(QStringLiteral("2019-07-14T09:30:05")));

    EXPECT_TRUE(console.errors().isEmpty()) << "a value without one reading is skipped silently";
}

// Texts read whole whatever their character set: Exif text that is not
// UTF-8 is Latin-1, as IPTC without its mark; a UNICODE comment is UTF-16
// with its surrogate pairs. A number stored in a byte is a number, and an
// XMP date with a fraction and no zone is a date a rule moves.
TEST(MetadataOperationRead, TextsNumbersAndDatesInEveryFormRead)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    const QString path = testsupport::copyTestFile(QStringLiteral("images/exiv2-empty.jpg"), dir);
    {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        image->readMetadata();
        Exiv2::ExifData &exif = image->exifData();
        exif["Exif.Image.Copyright"] = std::string("\xa9 2004 Jos\xe9");
        exif["Exif.Image.Artist"] = std::string("Jos\xc3\xa9");
        Exiv2::DataValue byte(Exiv2::unsignedByte);
        byte.read("2");
        exif["Exif.Photo.SensingMethod"].setValue(&byte);
        image->xmpData()["Xmp.xmp.CreateDate"] = std::string("2018-11-07T22:13:12.18");
        image->writeMetadata();
    }
    const MetadataOperation bridge(engine::check::refusal);
    const QString smile = QString::fromUtf8("smile \xf0\x9f\x98\x80");
    ASSERT_TRUE(bridge.setMetadata(path, { { QStringLiteral("Exif.Photo.UserComment"), smile } }, false));

    const Metadata record = Metadata::fromFile(path);
    EXPECT_EQ(record.copyright(), QString::fromUtf8("\xc2\xa9 2004 Jos\xc3\xa9"));
    EXPECT_EQ(record.artist(), QString::fromUtf8("Jos\xc3\xa9")) << "UTF-8 stays UTF-8";
    EXPECT_EQ(record.userComment(), smile);
    EXPECT_EQ(record.sensingMethod(), 2);
    const QDateTime created(QDate(2018, 11, 7), QTime(22, 13, 12, 180), Qt::UTC);
    EXPECT_EQ(record.createDateXMP(), created);
    DateTime hourLater(record.createDateXMP());
    hourLater.isIDOriginalTime = true;
    hourLater.hourIDOriginalTime = 1;
    EXPECT_EQ(hourLater.newDateFromOriginal(), QDateTime(QDate(2018, 11, 7), QTime(23, 13, 12), Qt::UTC));
    if (secondreader::hasExiftool()) {
        EXPECT_EQ(
            secondreader::read(path).value(QStringLiteral("EXIF:ExifIFD:UserComment")).toString(), smile)
            << "the comment as written";
    }
}

TEST(MetadataOperationRead, ManyThreadsReadTheSameAsOne)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    const QStringList names { QStringLiteral("Reagan.jpg"), QStringLiteral("Stonehenge.exv"),
        QStringLiteral("pr_2216.exv"), QStringLiteral("ReaganSmallPng.png"),
        QStringLiteral("exiv2-bug540.jpg"), QStringLiteral("Reagan.tiff") };
    QStringList paths;
    for (const QString &name : names)
        paths << testsupport::copyTestFile(QStringLiteral("images/") + name, dir);

    ConsoleCapture console;
    const MetadataOperation operation;
    std::vector<std::optional<QVariantMap>> expected;
    for (const QString &path : paths)
        expected.push_back(operation.getMetadata(path));

    std::vector<std::vector<std::optional<QVariantMap>>> results(8);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round) {
                for (const QString &path : paths)
                    results[t].push_back(operation.getMetadata(path));
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (const auto &result : results) {
        ASSERT_EQ(result.size(), 3 * paths.size());
        for (size_t i = 0; i < result.size(); ++i)
            EXPECT_EQ(result[i], expected[i % paths.size()]) << names[int(i % paths.size())].toStdString();
    }
}
