// SPDX-License-Identifier: GPL-3.0-or-later
// A user cleans photos an image converter wrote as PNG files and camera
// JPEGs that keep more beside their Exif, IPTC and XMP (a camera's own
// segment, IPTC in a trailer after the picture, a maker note's own
// rotation (also in a Canon note another program moved without its
// offsets, which the library reads from where they say), a comment in the
// wrong directory, a drone's position in its own
// XMP, a thermal camera's in its own GPS record), through the program's own
// screens: one group at a time and all six at once, each time as copies
// into a folder of their own. exiftool then finds nothing of what the
// clean named in any copy, in any form, beside what the result screen
// lists as left; what the clean did not name, and the picture, stay, and
// so does a trailer, byte for byte; the drone's and the thermal camera's
// every other value (the gimbal's angles, the raw thermal picture) reads
// as it did.

#include "UserRoadFixture.h"

#include "batch/CleanMetadataViewController.h"
#include "batch/ResultViewController.h"
#include "common/Localization.h"
#include "support/AlertScript.h"
#include "support/CameraSamples.h"
#include "support/QtPrinters.h"
#include "support/SecondReader.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QTreeWidget>

#include <functional>

using secondreader::family0;
using secondreader::family1;
using secondreader::isExifTextCopy;
using secondreader::isXmpTextCopy;
using secondreader::tagName;
using shelltest::UserRoadFixture;

namespace {

constexpr int Yes = platform::Alert::FirstButton;

// Whether exiftool's tag is a value of the group, in any form it finds.
bool isExif(const QString &key)
{
    static const QStringList photo { QStringLiteral("EXIF:IFD0:Make"), QStringLiteral("EXIF:IFD0:Model"),
        QStringLiteral("EXIF:ExifIFD:DateTimeOriginal"), QStringLiteral("EXIF:ExifIFD:ImageDescription") };
    return family0(key) == QLatin1String("MakerNotes") || photo.contains(key);
}
bool isOrientation(const QString &key)
{
    return tagName(key) == QLatin1String("Orientation")
        || (isExifTextCopy(key) && tagName(key).endsWith(QLatin1String("Orientation")));
}
// A position in any form: the GPS values, a drone's own latitude,
// longitude (as some spell it) and altitudes.
bool isGps(const QString &key)
{
    static const QRegularExpression dronePosition(QStringLiteral("Latitude|Longitude|Longtitude|Altitude"));
    return tagName(key).contains(QLatin1String("GPS"))
        || (family1(key) == QLatin1String("XMP-drone-dji") && dronePosition.match(tagName(key)).hasMatch());
}
bool isComment(const QString &key)
{
    return tagName(key).contains(QLatin1String("Comment"));
}
bool isIptc(const QString &key)
{
    return family0(key) == QLatin1String("IPTC");
}
bool isXmp(const QString &key)
{
    return family0(key) == QLatin1String("XMP") || isXmpTextCopy(key);
}
bool isAnyMetadata(const QString &key)
{
    return family0(key) == QLatin1String("EXIF") || isExifTextCopy(key) || isGps(key) || isComment(key)
        || isIptc(key) || isXmp(key);
}

// What exiftool derives, or finds anew in any file a program writes: the
// XMP toolkit names itself, and no description (the drone's "DJI Meta
// Data") when it writes the XMP again.
bool isDerived(const QString &key)
{
    static const QStringList derived { QStringLiteral("File"), QStringLiteral("Composite"),
        QStringLiteral("ExifTool") };
    return derived.contains(family0(key)) || key == QLatin1String("XMP:XMP-x:XMPToolkit")
        || key == QLatin1String("XMP:XMP-rdf:About");
}

struct Round
{
    const char *name;
    std::function<QList<QCheckBox *>(CleanMetadataViewController *)> boxes;
    std::function<bool(const QString &key)> takes;
    // The photos the result screen lists, with what it says of each.
    QHash<QString, QString> listed;
    // Whether it may change the tag of the drone's or the thermal camera's
    // photos: the Exif clean takes more Exif than it must.
    std::function<bool(const QString &key)> changes = {};
};

class CleanRoadTest : public UserRoadFixture
{
protected:
    void SetUp() override
    {
        UserRoadFixture::SetUp();
        REQUIRE_TEST_DATA();
        ASSERT_TRUE(secondreader::hasExiftool()) << "exiftool is installed by scripts/install-deps";
        for (const QString &name : sources)
            testsupport::copyTestFile(QStringLiteral("images/") + name, chosen);
        testsupport::copyTestFile(QStringLiteral("malformed/") + damaged, chosen);
        // The drone's own longitude a second time, as some drones spell it;
        // a position in the thermal camera's GPS record, and a copy whose
        // directory of records points that record past their end.
        const QString cameras = testsupport::testDataDir() + QStringLiteral("/cameras/");
        ASSERT_TRUE(secondreader::make({ QStringLiteral("-o"), chosen.filePath(drone),
            QStringLiteral("-XMP-drone-dji:GPSLongtitude=57.31558589"),
            cameras + QStringLiteral("DJI-drone-xmp.jpg") }));
        ASSERT_TRUE(camerasamples::thermalPosition(cameras + QStringLiteral("FLIR_Vue_Pro_640.jpg"),
            chosen.filePath(thermal), 34.0753, -118.2542, 87.5));
        ASSERT_TRUE(
            camerasamples::thermalRecordOutside(chosen.filePath(thermal), chosen.filePath(brokenThermal)));
        // A Canon photo the camera turned 270 degrees, whose note another
        // program moved without its offsets.
        QTemporaryDir scratch;
        const QString turned = scratch.filePath(QStringLiteral("turned.jpg"));
        ASSERT_TRUE(secondreader::make({ QStringLiteral("-o"), turned, QStringLiteral("-Canon:AutoRotate#=3"),
            cameras + QStringLiteral("Canon.jpg") }));
        ASSERT_TRUE(camerasamples::movedMakerNote(turned, chosen.filePath(turnedCanon)));
    }

    const QStringList sources { QStringLiteral("converted-gps.png"), QStringLiteral("converted-iptc.png"),
        QStringLiteral("converted-xmp.png"), QStringLiteral("CasioQVCI.jpg"), QStringLiteral("AFCP.jpg"),
        QStringLiteral("Pentax.jpg"), QStringLiteral("misplaced-values.jpg") };
    const QString damaged = QStringLiteral("converted-broken-profile.png");
    const QString drone = QStringLiteral("drone.jpg");
    const QString thermal = QStringLiteral("thermal.jpg");
    const QString brokenThermal = QStringLiteral("thermal-broken-directory.jpg");
    const QString turnedCanon = QStringLiteral("canon-turned-moved-note.jpg");
    QTemporaryDir chosen;
};

// What follows a JPEG's picture.
QByteArray trailerOf(const QString &path)
{
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return bytes.startsWith("\xff\xd8") ? bytes.mid(bytes.lastIndexOf("\xff\xd9") + 2) : QByteArray();
}

} // namespace

TEST_F(CleanRoadTest, EachCleanOfConvertedPngsAndCameraJpegsLeavesNothingItNamesOrListsWhatStayed)
{
    const QStringList ownPositions { drone, thermal, brokenThermal };
    const QStringList names = sources + QStringList { damaged, turnedCanon } + ownPositions;
    QStringList originals;
    for (const QString &name : names)
        originals << chosen.filePath(name);
    const QHash<QString, secondreader::Reading> before = secondreader::readAll(originals);
    const secondreader::Reading &droneBefore = before[chosen.filePath(drone)];
    ASSERT_NE(droneBefore.value(QStringLiteral("XMP:XMP-drone-dji:GPSLatitude")).toDouble(), 0.0);
    ASSERT_TRUE(droneBefore.has(QStringLiteral("XMP:XMP-drone-dji:GPSLongtitude")));
    ASSERT_TRUE(droneBefore.has(QStringLiteral("XMP:XMP-drone-dji:AbsoluteAltitude")));
    ASSERT_EQ(before[chosen.filePath(thermal)].value(QStringLiteral("APP1:FLIR:GPSLongitude")), -118.2542);

    testsupport::AlertScript alerts;
    launch();
    // A profile that cannot be read, and a trailer, keep their IPTC; a maker
    // note its rotation, unless the Exif goes with it. (The texts are the
    // program's, loaded with its first screen.)
    const QString iptc = localizedString("QX_ID_70") + QStringLiteral(" not all removed: ");
    const QHash<QString, QString> iptcKept {
        { damaged,
            iptc
                + QStringLiteral("a Photoshop profile in the file cannot be read, so any IPTC in it stays") },
        { QStringLiteral("AFCP.jpg"),
            iptc + QStringLiteral("another program keeps its own copy in a trailer after the picture") },
    };
    // A thermal camera's own segments stay, as thermal software needs them,
    // and so does their GPS record where their directory cannot be read.
    const QString thermalKept = localizedString("QX_ID_67")
        + QStringLiteral(
            " not all removed: a thermal camera's own segments stay, as thermal software reads the "
            "picture's temperatures from them, and with them the camera's model, serial numbers "
            "and date taken");
    const QString thermalPositionKept = localizedString("QX_ID_68")
        + QStringLiteral(
            " not all removed: a thermal camera's own segments cannot be read within their bounds, "
            "so any position in them stays");
    const QHash<QString, QString> thermalExifKept { { thermal, thermalKept },
        { brokenThermal, thermalKept } };
    QHash<QString, QString> allKept = iptcKept;
    allKept.insert(thermalExifKept);
    // Where the Exif clean cannot read the thermal records, it says the
    // position in them stays too.
    QHash<QString, QString> thermalExifKeptWithPosition = thermalExifKept;
    thermalExifKeptWithPosition[brokenThermal] += QLatin1Char('\n') + localizedString("QX_ID_67")
        + QStringLiteral(" not all removed: a thermal camera's own segments cannot be read within their "
                         "bounds, so any position in them stays");
    allKept[brokenThermal] += QLatin1Char('\n') + thermalPositionKept;
    // A maker note keeps the camera's turn when the orientation goes.
    const QString turnedLeft = localizedString("QX_ID_93")
        + QStringLiteral(" not all removed: the camera's maker note keeps its own rotation (Rotate 270 CW)");
    // The Exif clean takes its XMP copies too.
    const auto anyExif = [](const QString &key) {
        static const QStringList copies { QStringLiteral("XMP-exif"), QStringLiteral("XMP-exifEX"),
            QStringLiteral("XMP-tiff") };
        return (family0(key) == QLatin1String("EXIF") || family0(key) == QLatin1String("MakerNotes")
                   || copies.contains(family1(key)))
            && !isGps(key) && !isOrientation(key) && !isComment(key);
    };
    // And the position in the thermal camera's own GPS record, as the rest
    // of the camera's data it holds.
    const auto thermalPosition
        = [](const QString &key) { return family1(key) == QLatin1String("FLIR") && isGps(key); };
    const auto takenByExif = [&](const QString &key) { return isExif(key) || thermalPosition(key); };
    const auto changedByExif = [&](const QString &key) { return anyExif(key) || thermalPosition(key); };
    const Round rounds[] = {
        { "GPS", [](auto *s) { return QList<QCheckBox *> { s->btnGPSInformation }; }, isGps,
            { { brokenThermal, thermalPositionKept } } },
        { "IPTC", [](auto *s) { return QList<QCheckBox *> { s->btnIPTC }; }, isIptc, iptcKept },
        { "comments", [](auto *s) { return QList<QCheckBox *> { s->btnComment }; }, isComment, {} },
        { "XMP", [](auto *s) { return QList<QCheckBox *> { s->btnXMP }; }, isXmp, {} },
        { "Exif", [](auto *s) { return QList<QCheckBox *> { s->btnExif }; }, takenByExif,
            thermalExifKeptWithPosition, changedByExif },
        { "orientation", [](auto *s) { return QList<QCheckBox *> { s->btnOrientation }; }, isOrientation,
            { { QStringLiteral("Pentax.jpg"), turnedLeft }, { turnedCanon, turnedLeft } } },
        { "all six",
            [](auto *s) {
                return QList<QCheckBox *> { s->btnExif, s->btnOrientation, s->btnGPSInformation,
                    s->btnComment, s->btnIPTC, s->btnXMP };
            },
            [](const QString &key) { return isAnyMetadata(key) || isExif(key) || isOrientation(key); },
            allKept },
    };
    HomeViewController *home = HomeViewController::shared();
    CleanMetadataViewController *clean = CleanMetadataViewController::shared();
    for (const Round &round : rounds) {
        SCOPED_TRACE(round.name);
        chooseOnDashboard(chosen.path());
        ASSERT_EQ(markedFiles(displayedFiles()).size(), names.size());
        home->popUpEditingOptions->setCurrentIndex(2);
        emit home->popUpEditingOptions->activated(2);
        for (QCheckBox *box : round.boxes(clean))
            box->setChecked(true);

        QTemporaryDir into;
        alerts.answer(Yes);
        const auto previous = platform::OpenPanel::setResponder([&](const platform::OpenPanel &) {
            return platform::OpenPanel::Answer { platform::OpenPanel::OK,
                { QUrl::fromLocalFile(into.path()) } };
        });
        home->btnStartProcess->click();
        settle();
        platform::OpenPanel::setResponder(previous);

        auto *result = qobject_cast<ResultViewController *>(ViewController::current()->shownPage());
        ASSERT_NE(result, nullptr);
        const qsizetype count = round.listed.size();
        EXPECT_EQ(result->lblBatchProcess->text(),
            count == 0
                ? localizedString("QX_ID_248")
                : QStringLiteral("%1 %2 %3")
                      .arg(QString::number(count), localizedString(count == 1 ? "QX_ID_249" : "QX_ID_250"),
                          localizedString("QX_ID_293")));
        QHash<QString, QString> shown;
        for (int row = 0; row < result->listFailedPhotos->topLevelItemCount(); ++row) {
            const QTreeWidgetItem *item = result->listFailedPhotos->topLevelItem(row);
            shown.insert(QFileInfo(item->text(0)).fileName(), item->text(1));
        }
        EXPECT_EQ(shown, round.listed);

        QStringList copies;
        for (const QString &name : names)
            copies << into.filePath(name);
        const QHash<QString, secondreader::Reading> after = secondreader::readAll(copies);
        for (qsizetype i = 0; i < names.size(); ++i) {
            SCOPED_TRACE(qPrintable(names[i]));
            const secondreader::Reading &was = before[originals[i]];
            const secondreader::Reading &is = after[copies[i]];
            ASSERT_FALSE(is.tags.isEmpty()) << "a copy of each photo";
            QStringList left;
            for (const QString &key : is.tags.keys()) {
                // What a listed photo keeps is its IPTC, in a trailer or a
                // profile, or a position its thermal segments keep.
                const QString says = round.listed.value(names[i]);
                const bool kept = (isIptc(key) && says.contains(QLatin1String("IPTC")))
                    || (family1(key) == QLatin1String("FLIR")
                        && says.contains(QLatin1String("any position")));
                if (round.takes(key) && !kept)
                    left << key;
            }
            EXPECT_EQ(left, QStringList());
            expectOwnTextsAndPictureKept(originals[i], was, copies[i], is);
            EXPECT_EQ(trailerOf(copies[i]), trailerOf(originals[i]));
            if (!ownPositions.contains(names[i]))
                continue;
            const auto changes = round.changes ? round.changes : round.takes;
            QStringList changed;
            for (const QString &key : was.tags.keys()) {
                if (!isDerived(key) && !changes(key) && is.value(key) != was.value(key))
                    changed << key;
            }
            EXPECT_EQ(changed, QStringList());
        }
        result->btnFinish->click();
        settle(2);
    }
    EXPECT_EQ(alerts.remaining(), 0);
}
