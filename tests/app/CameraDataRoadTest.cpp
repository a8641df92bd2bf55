// SPDX-License-Identifier: GPL-3.0-or-later
// A user sets the artist and the copyright on camera photos of many makers
// through the program's own screens, as copies into a folder, then cleans
// those copies in place of everything but their Exif: photos as the cameras
// wrote them (a drone's among them, whose maker no layout names), and made
// from them as other programs leave them (the camera's data in a JPEG or a
// TIFF of the other byte order, an Olympus raw file, a PNG, a JPEG 2000 and
// a Photoshop file, an Exiv2 sidecar, an interoperability directory the
// first directory names). exiftool then reads every maker-note value, every
// picture the files hold beside the main one and the interoperability
// directory as it read them in the originals; a photo whose maker note
// cannot be carried whole, or which the check of the written file finds
// would lose what its note points to, is left as it was, and the result
// screen says why.

#include "UserRoadFixture.h"

#include "batch/ResultViewController.h"
#include "editor/MetadataEditorViewController.h"
#include "support/AlertScript.h"
#include "support/CameraSamples.h"
#include "support/QtPrinters.h"
#include "support/SecondReader.h"

#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using secondreader::family0;
using secondreader::family1;
using secondreader::tagName;
using shelltest::UserRoadFixture;

namespace {

constexpr int Yes = platform::Alert::FirstButton;
constexpr int No = platform::Alert::FirstButton + 1;

// What a write of the artist and a clean that keeps the Exif name nothing
// of: the maker note, the pictures beside the main one, the
// interoperability directory.
bool isCameraData(const QString &key)
{
    const QString name = tagName(key);
    return family0(key) == QLatin1String("MakerNotes") || family1(key) == QLatin1String("InteropIFD")
        || family0(key) == QLatin1String("MPF")
        || (name.endsWith(QLatin1String("Image")) && !name.endsWith(QLatin1String("SizeImage")));
}

QStringList cameraData(const secondreader::Reading &reading)
{
    QStringList values;
    for (const QString &key : reading.tags.keys()) {
        const bool offset
            = tagName(key).endsWith(QLatin1String("Start")) || tagName(key).endsWith(QLatin1String("Offset"));
        if (isCameraData(key) && !offset)
            values << key + QStringLiteral(": ") + reading.value(key).toVariant().toString().left(200);
    }
    return values;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CameraDataRoadTest : public UserRoadFixture
{
protected:
    void SetUp() override
    {
        UserRoadFixture::SetUp();
        REQUIRE_TEST_DATA();
        ASSERT_TRUE(secondreader::hasExiftool()) << "exiftool is installed by scripts/install-deps";
        const QString data = testsupport::testDataDir();
        const QString images = data + QStringLiteral("/images/");
        const auto sample = [&](const QString &name) {
            return (name == QLatin1String("Pentax.jpg") ? images : data + QStringLiteral("/cameras/")) + name;
        };
        for (const QString &name : names)
            ASSERT_TRUE(QFile::copy(sample(name), sources.filePath(name)));
        ASSERT_TRUE(camerasamples::movedMakerNote(
            data + QStringLiteral("/cameras/Canon1DmkIII.jpg"), sources.filePath(moved)));
        ASSERT_TRUE(camerasamples::multiPicture(images + QStringLiteral("exiv2-canon-eos-20d.jpg"),
            images + QStringLiteral("table.jpg"), sources.filePath(multiPicture)));
        ASSERT_TRUE(camerasamples::notePointingAstray(sample(QStringLiteral("Canon.jpg")),
            sources.filePath(pointingBefore), camerasamples::Astray::BeforeItself));
        ASSERT_TRUE(camerasamples::notePointingAstray(sample(QStringLiteral("Canon.jpg")),
            sources.filePath(pointingPast), camerasamples::Astray::PastTheExif));
        ASSERT_TRUE(camerasamples::notePointingAstray(sample(QStringLiteral("Canon.jpg")),
            sources.filePath(pointingAcross), camerasamples::Astray::AcrossTheExifsEnd));
        // A preview of 49 KB, many times the note's Exif, as cameras keep.
        ASSERT_TRUE(camerasamples::previewAfterPicture(sample(QStringLiteral("Pentax.jpg")),
            images + QStringLiteral("FurnaceCreekInn2.jpg"), sources.filePath(previewAfter)));
        ASSERT_TRUE(camerasamples::interoperabilityInFirstDirectory(
            images + QStringLiteral("mini9.tif"), sources.filePath(firstDirectoryInteroperability)));

        // Each camera's Exif and maker note on a JPEG and a TIFF whose Exif
        // is in the other byte order, as a photo re-saved keeping its camera
        // data has them, and an Olympus raw file of the TIFF's bytes; and on
        // pictures of the other formats whose Exif the library writes.
        QList<camerasamples::CameraDataCopy> copies;
        for (const QString &name : otherOrder) {
            const QString stem
                = sources.filePath(QFileInfo(name).completeBaseName() + QStringLiteral("-other"));
            const bool little = bytesOf(sample(name)).contains(QByteArray("Exif\0\0II", 8));
            copies << camerasamples::CameraDataCopy { sample(name),
                images + QStringLiteral("exiv2-empty.jpg"), stem + QStringLiteral(".jpg"), true };
            copies << camerasamples::CameraDataCopy { sample(name),
                images + (little ? QStringLiteral("ExifTool.tif") : QStringLiteral("mini9.tif")),
                stem + QStringLiteral(".tif"), true };
        }
        for (const auto &[name, base, made] : otherFormats)
            copies << camerasamples::CameraDataCopy { sample(name),
                base.isEmpty() ? QString() : images + base, sources.filePath(made) };
        ASSERT_TRUE(camerasamples::copiedCameraData(copies));
        for (const QString &name : otherOrder) {
            const QString stem = QFileInfo(name).completeBaseName() + QStringLiteral("-other");
            ASSERT_TRUE(camerasamples::olympusRaw(sources.filePath(stem + QStringLiteral(".tif")),
                sources.filePath(stem + QStringLiteral(".orf"))));
            for (const QString &suffix :
                { QStringLiteral(".jpg"), QStringLiteral(".tif"), QStringLiteral(".orf") }) {
                if (name == QLatin1String("Ricoh.jpg"))
                    refused.insert(stem + suffix, QStringLiteral("its maker note's value"));
                else
                    kept << stem + suffix;
            }
        }
        for (const auto &[name, base, made] : otherFormats)
            kept << made;
    }

    // The drone's note is a bare directory of a maker no layout names, its
    // values counting from the TIFF header.
    const QStringList names { QStringLiteral("Canon1DmkIII.jpg"), QStringLiteral("Casio2.jpg"),
        QStringLiteral("DJI-drone-xmp.jpg"), QStringLiteral("FLIR.jpg"), QStringLiteral("NikonD2Hs.jpg"),
        QStringLiteral("OlympusE1.jpg"), QStringLiteral("Pentax.jpg"), QStringLiteral("Ricoh2.jpg"),
        QStringLiteral("Sanyo.jpg") };
    // Cameras whose notes keep their own byte order in a file of the other:
    // some say it in a mark, most must be told it from their directories.
    const QStringList otherOrder { QStringLiteral("DJI-drone-xmp.jpg"), QStringLiteral("Minolta.jpg"),
        QStringLiteral("Nikon.jpg"), QStringLiteral("OlympusE1.jpg"), QStringLiteral("Panasonic.jpg"),
        QStringLiteral("Pentax.jpg"), QStringLiteral("Ricoh.jpg"), QStringLiteral("Sanyo.jpg"),
        QStringLiteral("Sigma.jpg") };
    // A camera's data on a picture of another format (none: an Exiv2
    // sidecar of the photo), where the library would write its note anew.
    const std::tuple<QString, QString, QString> otherFormats[4] {
        { QStringLiteral("Ricoh2.jpg"), QStringLiteral("1343_empty.png"), QStringLiteral("Ricoh2.png") },
        { QStringLiteral("Ricoh2.jpg"), QStringLiteral("Jpeg2000.jp2"), QStringLiteral("Ricoh2.jp2") },
        { QStringLiteral("Sanyo.jpg"), QStringLiteral("exiv2-photoshop.psd"), QStringLiteral("Sanyo.psd") },
        { QStringLiteral("OlympusE1.jpg"), QString(), QStringLiteral("OlympusE1.exv") },
    };
    const QString moved = QStringLiteral("moved-note.jpg");
    const QString multiPicture = QStringLiteral("multi-picture.jpg");
    const QString firstDirectoryInteroperability = QStringLiteral("interoperability-in-first-directory.tif");
    // Notes whose values lie outside the Exif, where the write leaves them:
    // one in a segment after it, a preview after the picture.
    const QString pointingPast = QStringLiteral("pointing-past.jpg");
    const QString previewAfter = QStringLiteral("preview-after-picture.jpg");
    // The photos whose note cannot be carried whole: one points before
    // itself, one at its Exif's last bytes and past them.
    const QString pointingBefore = QStringLiteral("pointing-before.jpg");
    const QString pointingAcross = QStringLiteral("pointing-across.jpg");
    QStringList kept = names
        + QStringList { moved, multiPicture, firstDirectoryInteroperability, pointingPast, previewAfter };
    // The photos left as they were, with the start of the reason: the notes
    // that cannot be carried whole, and the old Ricoh note's camera
    // information, whose offsets a write leaves pointing where the note no
    // longer is.
    QMap<QString, QString> refused {
        { pointingBefore, QStringLiteral("the camera's data would not survive the write") },
        { pointingAcross, QStringLiteral("its maker note names a value across the end of its Exif segment") },
    };
    QTemporaryDir sources;
};

} // namespace

TEST_F(CameraDataRoadTest, AWriteAndACleanKeepTheCameraDataOrLeaveThePhotoAndSaySo)
{
    QStringList originals;
    for (const QString &name : kept)
        originals << sources.filePath(name);
    const QHash<QString, secondreader::Reading> before = secondreader::readAll(originals);
    QMap<QString, QByteArray> refusedBytes;
    for (const QString &name : refused.keys())
        refusedBytes.insert(name, bytesOf(sources.filePath(name)));

    testsupport::AlertScript alerts;
    launch();
    chooseOnDashboard(sources.path());
    ASSERT_EQ(markedFiles(displayedFiles()).size(), kept.size() + refused.size());
    HomeViewController *home = HomeViewController::shared();
    MetadataEditorViewController *form = home->editingForm();
    for (const auto &[field, text] : { std::pair { MetadataField::artist, QStringLiteral("Grace Hopper") },
             std::pair { MetadataField::copyright, QStringLiteral("Grace Hopper 2026") } }) {
        QLineEdit *line = form->textField(field);
        line->setFocus();
        line->selectAll();
        QTest::keyClicks(line, text);
    }

    QTemporaryDir into;
    alerts.answer(Yes).answer(No);
    startIntoFolder(into.path());

    // The photos whose camera data a write cannot keep whole are listed,
    // with the reason, and no copy of them is kept.
    auto *result = qobject_cast<ResultViewController *>(ViewController::current()->shownPage());
    ASSERT_NE(result, nullptr);
    QStringList listed;
    for (int i = 0; i < result->listFailedPhotos->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = result->listFailedPhotos->topLevelItem(i);
        const QString name = QFileInfo(row->text(0)).fileName();
        listed << name;
        EXPECT_TRUE(row->text(1).startsWith(refused.value(name, QStringLiteral("(not to be listed)"))))
            << qPrintable(row->text(0) + QStringLiteral(": ") + row->text(1));
    }
    listed.sort();
    EXPECT_EQ(listed, refused.keys());
    for (const QString &name : refused.keys()) {
        EXPECT_FALSE(QFile::exists(into.filePath(name)));
        EXPECT_EQ(bytesOf(sources.filePath(name)), refusedBytes.value(name));
    }

    QStringList copies;
    for (const QString &name : kept)
        copies << into.filePath(name);
    const QHash<QString, secondreader::Reading> written = secondreader::readAll(copies);
    for (qsizetype i = 0; i < kept.size(); ++i) {
        SCOPED_TRACE(qPrintable(kept[i]));
        EXPECT_EQ(written[copies[i]].value(QStringLiteral("EXIF:IFD0:Artist")).toString(),
            QStringLiteral("Grace Hopper"));
        EXPECT_EQ(cameraData(written[copies[i]]), cameraData(before[originals[i]]));
    }

    // The copies, cleaned in place of all but their Exif.
    result->btnFinish->click();
    settle();
    chooseOnDashboard(into.path());
    ASSERT_EQ(markedFiles(displayedFiles()).size(), kept.size());
    chooseCleanOfAllButTheExif();
    alerts.answer(Yes);
    startInPlace();
    EXPECT_EQ(alerts.remaining(), 0);
    const QHash<QString, secondreader::Reading> cleaned = secondreader::readAll(copies);
    for (qsizetype i = 0; i < kept.size(); ++i) {
        SCOPED_TRACE(qPrintable(kept[i]));
        EXPECT_FALSE(cleaned[copies[i]].has(QStringLiteral("EXIF:IFD0:Orientation")));
        EXPECT_EQ(cameraData(cleaned[copies[i]]), cameraData(before[originals[i]]));
    }
}
