// SPDX-License-Identifier: GPL-3.0-or-later
// A user writes values into copies of photos through the program's own
// screens: PNG files an image converter and an imaging library wrote, JPEG
// files in which other programs keep a comment and a copyright of their
// own, a camera's raw file whose maker note keeps IPTC, and a scanner's
// document of six pages. exiftool then reads every written value, under
// every name it shows it by, as written, beside what the result screen
// lists as kept elsewhere; what was not written, and the picture, stay, and
// the document keeps its six pages, each with its pixels.

#include "UserRoadFixture.h"

#include "batch/ResultViewController.h"
#include "common/Localization.h"
#include "controls/CustomTextView.h"
#include "editor/MetadataEditorViewController.h"
#include "support/AlertScript.h"
#include "support/QtPrinters.h"
#include "support/SecondReader.h"
#include "support/TiffPages.h"

#include <QColor>
#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using shelltest::UserRoadFixture;

namespace {

constexpr int Yes = platform::Alert::FirstButton;
constexpr int No = platform::Alert::FirstButton + 1;

// A value typed into the form, and every name a reader shows it by.
struct Typed
{
    MetadataField field;
    QString text;
    QJsonValue read;
    QStringList names;
};

const Typed typed[] = {
    { MetadataField::artist, QStringLiteral("Grace Hopper"), QStringLiteral("Grace Hopper"),
        { QStringLiteral("EXIF:IFD0:Artist"), QStringLiteral("XMP:XMP-tiff:Artist"),
            QStringLiteral("PNG:ExifArtist"), QStringLiteral("PNG:TiffArtist") } },
    { MetadataField::imageDescription, QStringLiteral("At the harbour"), QStringLiteral("At the harbour"),
        { QStringLiteral("EXIF:IFD0:ImageDescription"), QStringLiteral("PNG:ExifImageDescription") } },
    { MetadataField::copyright, QStringLiteral("Grace Hopper 2026"), QStringLiteral("Grace Hopper 2026"),
        { QStringLiteral("EXIF:IFD0:Copyright"), QStringLiteral("PNG:ExifCopyright"),
            QStringLiteral("Ducky:Copyright") } },
    { MetadataField::userComment, QStringLiteral("Seen from the pier"), QStringLiteral("Seen from the pier"),
        { QStringLiteral("EXIF:ExifIFD:UserComment"), QStringLiteral("XMP:XMP-exif:UserComment"),
            QStringLiteral("File:Comment"), QStringLiteral("PNG:Comment"), QStringLiteral("PNG:Description"),
            QStringLiteral("PNG:ExifUserComment"), QStringLiteral("Ducky:Comment") } },
    { MetadataField::iso, QStringLiteral("400"), 400,
        { QStringLiteral("EXIF:ExifIFD:ISO"), QStringLiteral("XMP:XMP-exif:ISO"),
            QStringLiteral("XMP:XMP-exifEX:PhotographicSensitivity"),
            QStringLiteral("PNG:ExifPhotographicSensitivity") } },
    { MetadataField::city, QStringLiteral("Lisbon"), QStringLiteral("Lisbon"),
        { QStringLiteral("IPTC:City"), QStringLiteral("IPTC:IPTC2:City"),
            QStringLiteral("XMP:XMP-photoshop:City"), QStringLiteral("PNG:PhotoshopCity") } },
    { MetadataField::copyrightNotice, QStringLiteral("Grace Hopper"), QStringLiteral("Grace Hopper"),
        { QStringLiteral("IPTC:CopyrightNotice"), QStringLiteral("IPTC:IPTC2:CopyrightNotice"),
            QStringLiteral("XMP:XMP-dc:Rights") } },
    { MetadataField::lensXMP, QStringLiteral("Fifty"), QStringLiteral("Fifty"),
        { QStringLiteral("XMP:XMP-aux:Lens"), QStringLiteral("PNG:AuxLens") } },
};

bool reads(const QJsonValue &value, const QJsonValue &expected)
{
    return value == expected
        || (value.isArray() && value.toArray().size() == 1 && value.toArray().first() == expected);
}

class WriteRoadTest : public UserRoadFixture
{
protected:
    void SetUp() override
    {
        UserRoadFixture::SetUp();
        REQUIRE_TEST_DATA();
        ASSERT_TRUE(secondreader::hasExiftool()) << "exiftool is installed by scripts/install-deps";
        for (const QString &name : names)
            testsupport::copyTestFile(QStringLiteral("images/") + name, sources);
        ASSERT_TRUE(testsupport::writePages(
            sources.filePath(pages), { Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta }));
    }

    // Replaces what the form shows for the marked photos.
    static void type(MetadataEditorViewController *form, const Typed &value)
    {
        if (value.field == MetadataField::userComment) {
            CustomTextView *view = form->textView(value.field);
            view->setFocus();
            view->selectAll();
            QTest::keyClicks(view, value.text);
        } else {
            QLineEdit *field = form->textField(value.field);
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, value.text);
        }
    }

    const QStringList names { QStringLiteral("converted-gps.png"), QStringLiteral("converted-iptc.png"),
        QStringLiteral("converted-xmp.png"), QStringLiteral("painted-comment.png"),
        QStringLiteral("ExifTool.jpg"), QStringLiteral("smiley2.jpg"), QStringLiteral("Nikon.nef") };
    // More pages than the library writes of a TIFF file.
    const QString pages = QStringLiteral("pages.tif");
    const QStringList photos = names + QStringList { pages };
    // What the result screen lists of each, with the names a reader shows
    // the older copy it lists by.
    const QHash<QString, QStringList> listed {
        { QStringLiteral("ExifTool.jpg"),
            { QStringLiteral(
                  "Copyright and Copyright Notice written, but an older copy stays: another program "
                  "keeps its own copy in an APP12 segment"),
                QStringLiteral("User Comment written, but an older copy stays: another program keeps its own "
                               "copy in an APP10 segment") } },
        { QStringLiteral("smiley2.jpg"),
            { QStringLiteral("User Comment written, but an older copy stays: another program keeps its own "
                             "copy in an APP12 segment") } },
        { QStringLiteral("Nikon.nef"),
            { QStringLiteral(
                "City written, but an older copy stays: the camera's maker note keeps its own copy") } },
    };
    const QHash<QString, QStringList> keptElsewhere {
        { QStringLiteral("ExifTool.jpg"),
            { QStringLiteral("Ducky:Copyright"), QStringLiteral("File:Comment") } },
        { QStringLiteral("smiley2.jpg"), { QStringLiteral("Ducky:Comment") } },
        { QStringLiteral("Nikon.nef"), { QStringLiteral("IPTC:IPTC2:City") } },
    };
    QTemporaryDir sources;
};

} // namespace

TEST_F(WriteRoadTest, WrittenValuesReadTheSameUnderEveryNameOrTheCopyLeftIsListed)
{
    QStringList originals;
    for (const QString &name : photos)
        originals << sources.filePath(name);
    const QHash<QString, secondreader::Reading> before = secondreader::readAll(originals);
    const QList<QByteArray> pagesBefore = testsupport::pagesOf(sources.filePath(pages));
    ASSERT_EQ(pagesBefore.size(), 6);

    testsupport::AlertScript alerts;
    launch();
    chooseOnDashboard(sources.path());
    ASSERT_EQ(markedFiles(displayedFiles()).size(), photos.size());
    HomeViewController *home = HomeViewController::shared();
    MetadataEditorViewController *form = home->editingForm();
    for (const Typed &value : typed)
        type(form, value);

    // Confirm, save no preset, copy into a folder.
    QTemporaryDir into;
    alerts.answer(Yes).answer(No);
    startIntoFolder(into.path());
    EXPECT_EQ(alerts.remaining(), 0);

    auto *result = qobject_cast<ResultViewController *>(ViewController::current()->shownPage());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->lblBatchProcess->text(),
        QStringLiteral("3 ") + localizedString("QX_ID_250") + QLatin1Char(' ')
            + localizedString("QX_ID_293"));
    QHash<QString, QStringList> shown;
    for (int i = 0; i < result->listFailedPhotos->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = result->listFailedPhotos->topLevelItem(i);
        shown.insert(QFileInfo(row->text(0)).fileName(), row->text(1).split(u'\n'));
    }
    EXPECT_EQ(shown, listed);

    QStringList copies;
    for (const QString &name : photos)
        copies << into.filePath(name);
    const QHash<QString, secondreader::Reading> after = secondreader::readAll(copies);
    EXPECT_EQ(testsupport::pagesOf(into.filePath(pages)), pagesBefore);
    for (qsizetype i = 0; i < photos.size(); ++i) {
        SCOPED_TRACE(qPrintable(photos[i]));
        const secondreader::Reading &was = before[originals[i]];
        const secondreader::Reading &is = after[copies[i]];
        ASSERT_FALSE(is.tags.isEmpty()) << "a copy of each photo";
        QStringList older;
        for (const Typed &value : typed) {
            for (const QString &name : value.names) {
                if (is.has(name) && !reads(is.value(name), value.read)
                    && !keptElsewhere.value(photos[i]).contains(name))
                    older << QStringLiteral("%1: %2").arg(name, is.value(name).toVariant().toString());
            }
        }
        EXPECT_EQ(older, QStringList());
        // The copies other programs keep stay as they were.
        for (const QString &name : keptElsewhere.value(photos[i]))
            EXPECT_EQ(is.value(name), was.value(name)) << qPrintable(name);
        expectOwnTextsAndPictureKept(originals[i], was, copies[i], is);
    }
}
