// SPDX-License-Identifier: GPL-3.0-or-later
// A user sets the artist and the copyright on camera photos of many makers
// through the program's own screens, as copies into a folder, then cleans
// those copies in place of everything but their Exif. exiftool then reads
// every maker-note value, every picture the files hold beside the main one
// and the interoperability directory as it read them in the originals; a
// photo whose maker note cannot be carried whole is left as it was, and the
// result screen says why.

#include "UserRoadFixture.h"

#include "batch/CleanMetadataViewController.h"
#include "batch/ResultViewController.h"
#include "editor/MetadataEditorViewController.h"
#include "support/AlertScript.h"
#include "support/CameraSamples.h"
#include "support/QtPrinters.h"
#include "support/SecondReader.h"

#include <QComboBox>
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
        for (const QString &name : names)
            testsupport::copyTestFile(
                (name == QLatin1String("Pentax.jpg") ? QStringLiteral("images/") : QStringLiteral("cameras/"))
                    + name,
                sources);
        const QString data = testsupport::testDataDir();
        ASSERT_TRUE(camerasamples::movedMakerNote(
            data + QStringLiteral("/cameras/Canon1DmkIII.jpg"), sources.filePath(moved)));
        ASSERT_TRUE(camerasamples::multiPicture(data + QStringLiteral("/images/exiv2-canon-eos-20d.jpg"),
            data + QStringLiteral("/images/table.jpg"), sources.filePath(multiPicture)));
        ASSERT_TRUE(camerasamples::notePointingBeforeItself(
            data + QStringLiteral("/cameras/Canon.jpg"), sources.filePath(refused)));
    }

    const QStringList names { QStringLiteral("Canon1DmkIII.jpg"), QStringLiteral("Casio2.jpg"),
        QStringLiteral("FLIR.jpg"), QStringLiteral("NikonD2Hs.jpg"), QStringLiteral("OlympusE1.jpg"),
        QStringLiteral("Pentax.jpg"), QStringLiteral("Ricoh2.jpg"), QStringLiteral("Sanyo.jpg") };
    const QString moved = QStringLiteral("moved-note.jpg");
    const QString multiPicture = QStringLiteral("multi-picture.jpg");
    const QString refused = QStringLiteral("pointing-before.jpg");
    QTemporaryDir sources;
};

} // namespace

TEST_F(CameraDataRoadTest, AWriteAndACleanKeepTheCameraDataOrLeaveThePhotoAndSaySo)
{
    const QStringList kept = names + QStringList { moved, multiPicture };
    QStringList originals;
    for (const QString &name : kept)
        originals << sources.filePath(name);
    const QHash<QString, secondreader::Reading> before = secondreader::readAll(originals);
    const QByteArray refusedBytes = bytesOf(sources.filePath(refused));

    testsupport::AlertScript alerts;
    launch();
    chooseOnDashboard(sources.path());
    ASSERT_EQ(markedFiles(displayedFiles()).size(), kept.size() + 1);
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
    auto previous = platform::OpenPanel::setResponder([&](const platform::OpenPanel &) {
        return platform::OpenPanel::Answer { platform::OpenPanel::OK, { QUrl::fromLocalFile(into.path()) } };
    });
    home->btnStartProcess->click();
    settle();
    platform::OpenPanel::setResponder(previous);

    // The one photo whose note cannot be carried is listed, with the reason,
    // and no copy of it is kept.
    auto *result = qobject_cast<ResultViewController *>(ViewController::current()->shownPage());
    ASSERT_NE(result, nullptr);
    ASSERT_EQ(result->listFailedPhotos->topLevelItemCount(), 1);
    const QTreeWidgetItem *row = result->listFailedPhotos->topLevelItem(0);
    EXPECT_TRUE(row->text(0).endsWith(refused));
    EXPECT_TRUE(row->text(1).startsWith(QStringLiteral("the camera's data would not survive the write")))
        << qPrintable(row->text(1));
    EXPECT_FALSE(QFile::exists(into.filePath(refused)));
    EXPECT_EQ(bytesOf(sources.filePath(refused)), refusedBytes);

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
    home->popUpEditingOptions->setCurrentIndex(2);
    emit home->popUpEditingOptions->activated(2);
    CleanMetadataViewController *clean = CleanMetadataViewController::shared();
    for (QCheckBox *box :
        { clean->btnOrientation, clean->btnGPSInformation, clean->btnComment, clean->btnIPTC, clean->btnXMP })
        box->setChecked(true);
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
