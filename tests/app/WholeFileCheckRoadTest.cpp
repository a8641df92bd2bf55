// SPDX-License-Identifier: GPL-3.0-or-later
// A user writes the artist into copies of photos a write must keep whole,
// through the program's own screens, then cleans the photos themselves of
// all but their Exif: camera raw files cut short (a copy or a download
// interrupted, their picture's data past the file's end), a scanner's
// six-page TIFF, a Kodak back's photo whose first directory names a
// directory of Kodak's own, a Sigma compact's whose maker note names a
// preview. The check of the whole written file finds what a write would
// lose: each cut-short raw file is left as it was, byte for byte, no copy
// of it is made, and the result screen lists it with the reason; the
// others are written, and exiftool reads every value they held that the
// user did not name as it read it before, every page and picture too.

#include "UserRoadFixture.h"

#include "batch/ResultViewController.h"
#include "editor/MetadataEditorViewController.h"
#include "support/AlertScript.h"
#include "support/QtPrinters.h"
#include "support/SecondReader.h"
#include "support/TiffPages.h"

#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using shelltest::UserRoadFixture;

namespace {

constexpr int Yes = platform::Alert::FirstButton;
constexpr int No = platform::Alert::FirstButton + 1;

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first half of a file, as an interrupted copy leaves it.
bool cutShort(const QString &source, const QString &made)
{
    const QByteArray bytes = bytesOf(source);
    QFile file(made);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly)
        && file.write(bytes.left(bytes.size() / 2)) == bytes.size() / 2;
}

class WholeFileCheckRoadTest : public UserRoadFixture
{
protected:
    void SetUp() override
    {
        UserRoadFixture::SetUp();
        REQUIRE_TEST_DATA();
        const QString data = testsupport::testDataDir();
        for (const QString &raw :
            { QStringLiteral("CanonRaw.cr2"), QStringLiteral("Nikon.nef"), QStringLiteral("IMG_1361.dng") }) {
            ASSERT_TRUE(cutShort(
                data + QStringLiteral("/images/") + raw, sources.filePath(QStringLiteral("cut-") + raw)));
        }
        ASSERT_TRUE(testsupport::writePages(sources.filePath(QStringLiteral("six-pages.tif")),
            { Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta }));
        for (const QString &name : { QStringLiteral("Kodak_ProBack.jpg"), QStringLiteral("Sigma_DP1.jpg") })
            ASSERT_TRUE(QFile::copy(data + QStringLiteral("/cameras/") + name, sources.filePath(name)));
    }

    // What the result screen lists: each photo's name and reason.
    static QMap<QString, QString> listedPhotos()
    {
        auto *result = qobject_cast<ResultViewController *>(ViewController::current()->shownPage());
        QMap<QString, QString> listed;
        for (int i = 0; result && i < result->listFailedPhotos->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *row = result->listFailedPhotos->topLevelItem(i);
            listed.insert(QFileInfo(row->text(0)).fileName(), row->text(1));
        }
        return listed;
    }

    // Each photo a write leaves as it was, and why.
    const QMap<QString, QString> leftAsTheyWere {
        { QStringLiteral("cut-CanonRaw.cr2"), QStringLiteral("the file is cut short") },
        { QStringLiteral("cut-Nikon.nef"), QStringLiteral("the file is cut short") },
        { QStringLiteral("cut-IMG_1361.dng"), QStringLiteral("the file is cut short") },
    };
    // Each photo a write keeps whole.
    const QStringList written { QStringLiteral("Kodak_ProBack.jpg"), QStringLiteral("Sigma_DP1.jpg"),
        QStringLiteral("six-pages.tif") };
    QTemporaryDir sources;
};

} // namespace

// What the write or the clean named, where the written file's structures
// now stand, and exiftool's warnings (the Kodak back's interoperability
// pointer names the first directory, which a write leaves out).
bool mayDiffer(const QString &key, bool cleaned)
{
    const QString name = secondreader::tagName(key);
    const QString group = secondreader::family0(key);
    const bool named = cleaned ? name == QLatin1String("Orientation") || name == QLatin1String("UserComment")
            || secondreader::family1(key) == QLatin1String("GPS") || group == QLatin1String("IPTC")
                               : key == QLatin1String("EXIF:IFD0:Artist");
    return named || group == QLatin1String("File") || group == QLatin1String("XMP")
        || group == QLatin1String("ExifTool") || name.endsWith(QLatin1String("Offset"))
        || name.endsWith(QLatin1String("Offsets")) || name.endsWith(QLatin1String("Start"));
}

TEST_F(WholeFileCheckRoadTest, PhotosAWriteCannotKeepWholeAreLeftAsTheyWereAndTheRestReadAsTheyDid)
{
    QMap<QString, QByteArray> before;
    for (const QString &name : QDir(sources.path()).entryList(QDir::Files))
        before.insert(name, bytesOf(sources.filePath(name)));
    QStringList originals;
    for (const QString &name : written)
        originals << sources.filePath(name);
    const QHash<QString, secondreader::Reading> read = secondreader::readAll(originals);
    // Each photo left stays as it was, is listed with its reason, and no
    // copy of it is made; no other photo is listed for a reason of theirs.
    const auto expectLeftAndListed = [&](const QString &copies) {
        const QMap<QString, QString> listed = listedPhotos();
        for (auto photo = leftAsTheyWere.cbegin(); photo != leftAsTheyWere.cend(); ++photo) {
            SCOPED_TRACE(qPrintable(photo.key()));
            EXPECT_EQ(bytesOf(sources.filePath(photo.key())), before.value(photo.key()));
            EXPECT_FALSE(!copies.isEmpty() && QFile::exists(copies + u'/' + photo.key()));
            EXPECT_TRUE(listed.value(photo.key()).startsWith(photo.value()))
                << qPrintable(listed.value(photo.key()));
        }
        for (const QString &name : written)
            EXPECT_FALSE(listed.value(name).startsWith(QStringLiteral("the file is cut short")))
                << qPrintable(name);
    };
    // exiftool reads each written photo as it read the original, but for
    // what the write named.
    const auto expectReadAsBefore = [&](const QStringList &paths, bool cleaned) {
        const QHash<QString, secondreader::Reading> now = secondreader::readAll(paths);
        for (qsizetype i = 0; i < written.size(); ++i) {
            SCOPED_TRACE(qPrintable(written[i]));
            const secondreader::Reading &was = read[originals[i]];
            const secondreader::Reading &is = now[paths[i]];
            ASSERT_FALSE(is.tags.isEmpty());
            QStringList keys = was.tags.keys() + is.tags.keys();
            keys.removeDuplicates();
            QStringList differing;
            for (const QString &key : keys) {
                if (!mayDiffer(key, cleaned) && was.value(key) != is.value(key))
                    differing << key;
            }
            EXPECT_EQ(differing, QStringList());
            EXPECT_EQ(secondreader::picture(paths[i], is), secondreader::picture(originals[i], was));
        }
    };

    // The artist, written into copies.
    testsupport::AlertScript alerts;
    launch();
    chooseOnDashboard(sources.path());
    ASSERT_EQ(markedFiles(displayedFiles()).size(), before.size());
    HomeViewController *home = HomeViewController::shared();
    QLineEdit *artist = home->editingForm()->textField(MetadataField::artist);
    artist->setFocus();
    artist->selectAll();
    QTest::keyClicks(artist, QStringLiteral("Grace Hopper"));
    QTemporaryDir into;
    alerts.answer(Yes).answer(No);
    startIntoFolder(into.path());
    expectLeftAndListed(into.path());
    QStringList copies;
    for (const QString &name : written)
        copies << into.filePath(name);
    expectReadAsBefore(copies, false);

    // The photos themselves, cleaned in place of all but their Exif.
    auto *result = qobject_cast<ResultViewController *>(ViewController::current()->shownPage());
    ASSERT_NE(result, nullptr);
    result->btnFinish->click();
    settle();
    chooseOnDashboard(sources.path());
    chooseCleanOfAllButTheExif();
    alerts.answer(Yes);
    startInPlace();
    EXPECT_EQ(alerts.remaining(), 0);
    expectLeftAndListed(QString());
    // The Kodak back's photo holds nothing the clean takes; the others lose
    // their orientation.
    for (const QString &name : { QStringLiteral("Sigma_DP1.jpg"), QStringLiteral("six-pages.tif") })
        EXPECT_NE(bytesOf(sources.filePath(name)), before.value(name)) << qPrintable(name);
    expectReadAsBefore(originals, true);
}
