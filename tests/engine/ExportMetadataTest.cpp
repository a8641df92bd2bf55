// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ExportMetadata.h"

#include "engine/FileInfo.h"
#include "engine/Metadata.h"
#include "platform/Console.h"
#include "platform/DateFormat.h"
#include "platform/GlobalQueue.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const QString HeaderLiteral = QStringLiteral(
    "File Path,Artist,Image Description,Copyright,Software,User Comment,DateTime Original,"
    "DateTime Digitized,DateTime,Make,Model,Camera Owner Name,Body Serial Number,ISO Speed Ratings,F "
    "Number,Focal Length,Focal Length In 35mm Film,Flash,Orientation,Exposure Mode,Exposure Program,"
    "Exposure Time,Metering Mode,Scene Capture Type,White Balance,Saturation,Sensing Method,Sharpness,"
    "Subject Distance Range,Lens Make,Lens Model,Lens Serial Number,Latitude,LatitudeRef,Longitude,"
    "LongitudeRef,Altitude,AltitudeRef,Byline,Byline Title,Copyright Notice,Headline,Caption,Writer,"
    "Object Name,Category,Supplemental Category,Keywords,Sub Location,City,Province State,Country Name,"
    "Country Code,Transmission Reference,Special Instructions,Credit,Source,Serial Number,Lens,Create "
    "Date XMP,Modify Date XMP,Photoshop Date Created,Compression,Document Name,XResolution,YResolution,"
    "Host Computer,Primary Chromaticities,Spectral Sensitivity,Sensitivity Type,Standard Output "
    "Sensitivity,Compressed Bits Per Pixel,Max Aperture Value,Color Space,Light Source,Digital Zoom Ratio");

// Captures the standard output lines while it lives.
struct ConsoleCapture
{
    QStringList lines;
    platform::Console::Sink previous;
    ConsoleCapture()
    {
        previous = platform::Console::setSink([this](platform::Console::Stream stream, const QString &line) {
            if (stream == platform::Console::Stream::Out)
                lines << line;
        });
    }
    ~ConsoleCapture() { platform::Console::setSink(previous); }
};

// Splits one CSV record as RFC 4180 reads it: quoted fields may hold
// commas, doubled quotes and line breaks.
QStringList parseRecord(const QString &text, qsizetype &pos)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    bool startOfField = true;
    for (; pos < text.size(); ++pos) {
        const QChar c = text.at(pos);
        if (quoted) {
            if (c == QLatin1Char('"') && pos + 1 < text.size() && text.at(pos + 1) == QLatin1Char('"')) {
                field += c;
                ++pos;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
            startOfField = true;
            continue;
        } else if (c == QLatin1Char('\n')) {
            ++pos;
            break;
        } else if (c == QLatin1Char('"') && startOfField) {
            quoted = true;
        } else {
            field += c;
        }
        startOfField = false;
    }
    fields << field;
    return fields;
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList csvFiles(const QString &folder)
{
    return QDir(folder).entryList({ QStringLiteral("*.csv") }, QDir::Files, QDir::Name);
}

struct PinnedLocale
{
    PinnedLocale()
    {
        platform::DateFormat::setUserLocale(QStringLiteral("en_US"));
        platform::DateFormat::setTimeZone(QStringLiteral("UTC"));
    }
    ~PinnedLocale()
    {
        platform::DateFormat::setUserLocale(QString());
        platform::DateFormat::setTimeZone(QString());
    }
};

} // namespace

TEST(ExportMetadata, HeaderAndTitles)
{
    EXPECT_EQ(ExportMetadata::header(), HeaderLiteral + QStringLiteral("\n\n"));
    EXPECT_EQ(ExportMetadata::columnTitle(0), QStringLiteral("Artist"));
    EXPECT_EQ(ExportMetadata::columnTitle(11), QStringLiteral("Body Serial Number"));
    EXPECT_EQ(ExportMetadata::columnTitle(56), QStringLiteral("Serial Number"));
    EXPECT_EQ(ExportMetadata::columnTitle(74), QStringLiteral("Digital Zoom Ratio"));
    EXPECT_TRUE(ExportMetadata::columnTitle(75).isEmpty());
    for (int n = 0; n < metadataFieldCount; ++n)
        EXPECT_TRUE(ExportMetadata::shared().isExport(metadataField(n)));
}

TEST(ExportMetadata, FileWithoutValuesIsItsPathAndEmptyFields)
{
    QTemporaryDir dir;
    ConsoleCapture console;
    const ExportMetadata::Row row
        = ExportMetadata::shared().row(Metadata(), QUrl::fromLocalFile(QStringLiteral("/p/a.jpg")));
    EXPECT_EQ(row.size(), 76);
    const auto written = ExportMetadata::writeCSV({ row }, dir.path());
    ASSERT_TRUE(written.has_value());
    const QString text = readAll(*written);
    const QStringList lines = text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4); // header, empty, row, and the end after the last line feed
    EXPECT_EQ(lines[0], HeaderLiteral);
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_EQ(lines[2], QStringLiteral("/p/a.jpg") + QStringLiteral(",").repeated(75));
    EXPECT_TRUE(lines[3].isEmpty());
    EXPECT_FALSE(text.startsWith(QChar(0xfeff)));
    ASSERT_EQ(console.lines.size(), 1);
    EXPECT_EQ(
        console.lines[0], QStringLiteral("Metadata Exported: ") + QUrl::fromLocalFile(*written).toString());
}

TEST(ExportMetadata, ValuesKeepTheirColumnsEvenWithCommasQuotesAndLineBreaks)
{
    PinnedLocale pinned;
    QTemporaryDir dir;
    Metadata m;
    m.setArtist(QStringLiteral("Ana \"Nana\" Ferreira"));
    m.setCaptionAbstract(QStringLiteral("Sunset, beach, friends"));
    m.setKeywords(QStringLiteral("line one\nline two"));
    m.setCity(QStringLiteral("Zürich"));
    m.setFNumber(2.8);
    m.setFocalLength(50.0);
    m.setISO(3200);
    m.setGPSLatitude(-33.8568);
    m.setGPSLatitudeRef(QStringLiteral("S"));
    m.setGPSAltitudeRef(1);
    m.setFxResolution(1e-5);
    m.setOriginalDate(QDateTime(QDate(2023, 6, 5), QTime(15, 4, 5), QTimeZone::utc()));
    const QString photo = QStringLiteral("/photos/Été 2023, Nice/IMG 1.jpg");
    const auto written = ExportMetadata::writeCSV(
        { ExportMetadata::shared().row(m, QUrl::fromLocalFile(photo)) }, dir.path());
    ASSERT_TRUE(written.has_value());
    const QString text = readAll(*written);
    qsizetype pos = ExportMetadata::header().size();
    const QStringList fields = parseRecord(text, pos);
    EXPECT_EQ(pos, text.size()) << "one record only";
    ASSERT_EQ(fields.size(), 76);
    const auto column = [&](const char *title) {
        for (int n = 0; n < metadataFieldCount; ++n)
            if (ExportMetadata::columnTitle(n) == QLatin1String(title))
                return fields.at(n + 1);
        return QStringLiteral("<no such column>");
    };
    EXPECT_EQ(fields[0], photo);
    EXPECT_EQ(column("Artist"), QStringLiteral("Ana \"Nana\" Ferreira"));
    EXPECT_EQ(column("Caption"), QStringLiteral("Sunset, beach, friends"));
    EXPECT_EQ(column("Keywords"), QStringLiteral("line one\nline two"));
    EXPECT_EQ(column("City"), QStringLiteral("Zürich"));
    EXPECT_EQ(column("F Number"), QStringLiteral("2.8"));
    EXPECT_EQ(column("Focal Length"), QStringLiteral("50"));
    EXPECT_EQ(column("ISO Speed Ratings"), QStringLiteral("3200"));
    EXPECT_EQ(column("Latitude"), QStringLiteral("-33.8568"));
    EXPECT_EQ(column("LatitudeRef"), QStringLiteral("S"));
    EXPECT_EQ(column("AltitudeRef"), QStringLiteral("1"));
    EXPECT_EQ(column("XResolution"), QStringLiteral("1e-05"));
    EXPECT_EQ(column("DateTime Original"), QString::fromUtf8("Monday \u060C 5 June 2023 03:04:05 PM"));
    EXPECT_TRUE(column("Model").isEmpty());

    // Only the fields that need it are quoted; the rest stand as they are.
    EXPECT_TRUE(text.contains(QStringLiteral("IMG 1.jpg\",\"Ana \"\"Nana\"\" Ferreira\",")));
    EXPECT_TRUE(text.contains(QStringLiteral(",\"Sunset, beach, friends\",")));
    EXPECT_TRUE(text.contains(QStringLiteral(",Zürich,")));
    EXPECT_TRUE(text.contains(QStringLiteral(",2.8,50,")));
    // The console names the file as an encoded URL; the column holds the path.
    EXPECT_FALSE(QUrl::fromLocalFile(*written).toString(QUrl::FullyEncoded).contains(QLatin1Char(' ')));
}

TEST(ExportMetadata, TwoExportsInTheSameTenthOfASecondKeepBothFiles)
{
    QTemporaryDir dir;
    ConsoleCapture console;
    // Names for the next few seconds are taken already, as by an export
    // that has just written.
    const double now = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    for (int tenth = -2; tenth < 50; ++tenth) {
        QFile taken(dir.filePath(QStringLiteral("MetadataEditor_%1.csv").arg(now + tenth / 10.0, 0, 'f', 1)));
        ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
        taken.write("earlier export");
    }
    const int before = int(csvFiles(dir.path()).size());
    const auto first = ExportMetadata::writeCSV(
        { ExportMetadata::shared().row(Metadata(), QUrl::fromLocalFile(QStringLiteral("/a.jpg"))) },
        dir.path());
    const auto second = ExportMetadata::writeCSV(
        { ExportMetadata::shared().row(Metadata(), QUrl::fromLocalFile(QStringLiteral("/b.jpg"))) },
        dir.path());
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_TRUE(first->endsWith(QStringLiteral(" (2).csv")));
    EXPECT_EQ(int(csvFiles(dir.path()).size()), before + 2);
    EXPECT_TRUE(readAll(*first).contains(QStringLiteral("/a.jpg,")));
    EXPECT_TRUE(readAll(*second).contains(QStringLiteral("/b.jpg,")));
    for (const QString &name : csvFiles(dir.path())) {
        if (!name.contains(QLatin1Char('('))) {
            EXPECT_EQ(readAll(dir.filePath(name)), QStringLiteral("earlier export"));
        }
    }
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^MetadataEditor_\\d+\\.\\d\\.csv$"))
                    .match(exportFileName(QStringLiteral("csv")))
                    .hasMatch());
}

TEST(ExportMetadata, FailureIsReportedWithTheSystemsReason)
{
    QTemporaryDir dir;
    ConsoleCapture console;
    QString error;
    EXPECT_FALSE(ExportMetadata::writeCSV({}, dir.filePath(QStringLiteral("missing")), &error).has_value());
    EXPECT_EQ(console.lines, QStringList { QStringLiteral("error creating file") });
    EXPECT_TRUE(error.contains(QStringLiteral("/missing/"))) << qPrintable(error);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

TEST(ExportMetadata, ExportTakesLoadedFilesInOrderAndWritesNothingWithoutThem)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    QTemporaryDir out;
    ConsoleCapture console;
    const auto reagan = FileInfo::create(
        QUrl::fromLocalFile(testsupport::copyTestFile(QStringLiteral("images/Reagan.jpg"), dir)));
    const auto furnace = FileInfo::create(
        QUrl::fromLocalFile(testsupport::copyTestFile(QStringLiteral("images/FurnaceCreekInn.jpg"), dir)));
    const auto pending = FileInfo::create(
        QUrl::fromLocalFile(testsupport::copyTestFile(QStringLiteral("images/GPS.jpg"), dir)));
    const auto noFile = std::make_shared<FileInfo>();

    // Nothing loaded yet: no file, no line.
    std::optional<std::optional<QString>> result;
    ExportMetadata::exportFiles({ reagan, furnace, noFile }, out.path(),
        [&](const ExportMetadata::Outcome &outcome) { result = outcome.path; });
    FileInfo::waitForDetails();
    platform::GlobalQueue::waitForDone();
    QCoreApplication::processEvents();
    ASSERT_TRUE(result.has_value());
    EXPECT_FALSE(result->has_value());
    EXPECT_TRUE(csvFiles(out.path()).isEmpty());
    EXPECT_TRUE(console.lines.isEmpty());

    // Once two have their metadata (the third is still loading as far as
    // the export can tell), those two are written in the order given.
    QCoreApplication::processEvents();
    pending->metadata.reset();
    result.reset();
    ExportMetadata::exportFiles({ furnace, pending, reagan, noFile }, out.path(),
        [&](const ExportMetadata::Outcome &outcome) { result = outcome.path; });
    // Edits made after the export started do not reach it.
    furnace->metadata->setMake(QStringLiteral("changed later"));
    FileInfo::waitForDetails();
    platform::GlobalQueue::waitForDone();
    QCoreApplication::processEvents();
    ASSERT_TRUE(result.has_value() && result->has_value());
    const QString text = readAll(**result);
    qsizetype pos = ExportMetadata::header().size();
    QList<QStringList> records;
    while (pos < text.size())
        records << parseRecord(text, pos);
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].size(), 76);
    EXPECT_EQ(records[1].size(), 76);
    EXPECT_EQ(records[0][0], furnace->path());
    EXPECT_EQ(records[1][0], reagan->path());
    EXPECT_EQ(records[0][9], QStringLiteral("Canon"));
    EXPECT_FALSE(text.contains(QStringLiteral("changed later")));
    EXPECT_EQ(console.lines.size(), 1);
}
