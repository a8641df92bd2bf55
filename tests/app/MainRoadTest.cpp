// SPDX-License-Identifier: GPL-3.0-or-later
// A user's whole road through the running program, offscreen: add a folder,
// mark photos (the "All" box showing the marks), start while a photo's
// values are still read, edit them in the form, the date popover and the
// location editor, run a batch in place, finish, add an empty folder, run
// a batch as renamed copies, and read the files back with the exiv2
// program.

#include "UserRoadFixture.h"

#include "app/InitialWindowController.h"
#include "app/ViewController.h"
#include "batch/ProgressViewController.h"
#include "batch/RenameViewController.h"
#include "batch/Result.h"
#include "batch/ResultViewController.h"
#include "browser/DashboardViewController.h"
#include "browser/GridThumbnails.h"
#include "browser/HomeViewController.h"
#include "browser/MetadataDetailsViewController.h"
#include "browser/PreviewViewController.h"
#include "browser/QorCollectionView.h"
#include "common/ContainerPage.h"
#include "controls/CustomTextView.h"
#include "editor/DateTimeViewController.h"
#include "editor/EditLocationViewController.h"
#include "editor/FieldBox.h"
#include "editor/MetadataEditorViewController.h"
#include "engine/FileInfo.h"
#include "platform/GlobalQueue.h"
#include "platform/Settings.h"
#include "platform/widgets/MapView.h"
#include "platform/widgets/OpenPanel.h"
#include "support/AlertScript.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

using shelltest::UserRoadFixture;

namespace {

constexpr int Yes = platform::Alert::FirstButton;
constexpr int No = platform::Alert::FirstButton + 1;

// Values of one key as the exiv2 program prints them, one per line.
QStringList exiv2Values(const QString &path, const QString &key)
{
    QProcess exiv2;
    exiv2.start(QStringLiteral("exiv2"),
        { QStringLiteral("-q"), QStringLiteral("-Pv"), QStringLiteral("-K"), key, path });
    exiv2.waitForFinished(30000);
    QStringList lines
        = QString::fromUtf8(exiv2.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.trimmed();
    return lines;
}

QString exiv2Value(const QString &path, const QString &key)
{
    return exiv2Values(path, key).value(0);
}

// "48/1 51/1 3024/100" as decimal degrees.
double degrees(const QString &rationals)
{
    double value = 0;
    double scale = 1;
    for (const QString &part : rationals.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList fraction = part.split(QLatin1Char('/'));
        value += fraction.value(0).toDouble() / fraction.value(1).toDouble() / scale;
        scale *= 60;
    }
    return value;
}

const QString exifDateForm = QStringLiteral("yyyy:MM:dd HH:mm:ss");

// A wall clock, carried into the next day where the hour runs over.
QString anHourLater(const QString &exifDate)
{
    const QDateTime date = QDateTime::fromString(exifDate, exifDateForm);
    return QDateTime(date.date(), date.time(), Qt::UTC).addSecs(3600).toString(exifDateForm);
}

void choose(QComboBox *popUp, const QString &item)
{
    popUp->setCurrentIndex(popUp->findText(item));
    emit popUp->activated(popUp->currentIndex());
}

// Counts how often a window is hidden or gets a new native window.
class NativeWindowWatch : public QObject
{
public:
    explicit NativeWindowWatch(QWidget *window) { window->installEventFilter(this); }
    int remade = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Hide || event->type() == QEvent::WinIdChange)
            ++remade;
        return false;
    }
};

class MainRoadTest : public UserRoadFixture
{
protected:
    void SetUp() override
    {
        UserRoadFixture::SetUp();
        ASSERT_TRUE(copies.isValid());
        for (const QString &name : chosen)
            before[name] = exiv2Value(photos.filePath(name), QStringLiteral("Exif.Photo.DateTimeOriginal"));
    }

    void markChosen() { markOnly(chosen); }

    QTemporaryDir copies;
    const QStringList chosen { QStringLiteral("FurnaceCreekInn.jpg"), QStringLiteral("Reagan.jpg"),
        QStringLiteral("exiv2-nikon-d70.jpg") };
    QHash<QString, QString> before;
};

} // namespace

TEST_F(MainRoadTest, AUserEditsMarkedPhotosInPlaceThenAsRenamedCopies)
{
    testsupport::AlertScript alerts;
    launch();
    addFolder();
    HomeViewController *home = HomeViewController::shared();
    const qsizetype samples = QDir(photos.path()).entryList(QDir::Files).size();
    ASSERT_EQ(displayedFiles().size(), samples) << "every sample is loaded";
    const QString allMarked = QStringLiteral("Photos selected: %1 / %1").arg(samples);
    EXPECT_EQ(home->lblTotalPhotos->text(), allMarked);

    // The "All" box shows the marks: every photo arrives marked, so the
    // first click unmarks them all; one mark makes it partly on, and a
    // click from there marks all again.
    EXPECT_EQ(home->btnSelectAll->checkState(), Qt::Checked);
    home->btnSelectAll->click();
    settle(2);
    EXPECT_TRUE(markedFiles(displayedFiles()).isEmpty());
    EXPECT_EQ(home->btnSelectAll->checkState(), Qt::Unchecked);
    home->toggleMark(0);
    EXPECT_EQ(home->btnSelectAll->checkState(), Qt::PartiallyChecked);
    home->btnSelectAll->click();
    settle(2);
    EXPECT_EQ(home->lblTotalPhotos->text(), allMarked);
    EXPECT_EQ(home->btnSelectAll->checkState(), Qt::Checked);

    // Start with the one marked photo's values still being read: it waits
    // for them, then asks as ever.
    markOnly({ QStringLiteral("GPS.jpg") });
    const auto gps = displayed(QStringLiteral("GPS.jpg"));
    gps->metadata.reset();
    alerts.answer(No);
    home->btnStartProcess->click();
    settle(2);
    EXPECT_TRUE(alerts.shown().empty());
    EXPECT_FALSE(home->btnStartProcess->isEnabled());
    gps->initialize(*gps->url);
    settle();
    ASSERT_EQ(alerts.shown().size(), 1u);
    EXPECT_EQ(alerts.shown()[0].message, QStringLiteral("You have not changed any value"));
    EXPECT_TRUE(home->btnStartProcess->isEnabled());

    // Three marked photos share a form; the preview shows one read-only.
    markChosen();
    MetadataEditorViewController *form = home->editingForm();
    EXPECT_EQ(form->textField(MetadataField::artist)->placeholderText(), QStringLiteral("Multiple values"));
    home->openPreview(displayed(QStringLiteral("Reagan.jpg")));
    PreviewViewController *preview = PreviewViewController::shared();
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->lblNameValue->text(), QStringLiteral("Reagan.jpg"));
    EXPECT_FALSE(preview->image().isNull());
    EXPECT_TRUE(preview->metadataVC->metadataEditorVC->textField(MetadataField::make)->isReadOnly());
    EXPECT_EQ(preview->metadataVC->metadataEditorVC->textField(MetadataField::make)->text(),
        QStringLiteral("NIKON CORPORATION"));
    EXPECT_TRUE(preview->mapView->isHidden()) << "no map at 0°, 0° for a photo without a position";
    EXPECT_FALSE(preview->lblNoLocation->isHidden());
    // Escape closes it, as it closes the desktop's picture viewers.
    QTest::keyClick(preview, Qt::Key_Escape);
    EXPECT_FALSE(preview->isVisible());

    // Text, number and keywords typed into the form of three marked photos.
    QTest::keyClicks(form->textField(MetadataField::artist), QStringLiteral("Ana Lima"));
    QTest::keyClicks(form->textField(MetadataField::iso), QStringLiteral("400"));
    form->textView(MetadataField::keywords)->setFocus();
    QTest::keyClicks(form->textView(MetadataField::keywords), QStringLiteral("desert, trip"));
    EXPECT_TRUE(form->box(MetadataField::artist)->isMarked());

    // The original date one hour later, through the date popover.
    form->dateButton(MetadataField::originalDate)->click();
    DateTimeViewController *dates = form->sharedDateTime();
    ASSERT_TRUE(form->datePopOver().isShown());
    dates->btnIDOriginalTime->click();
    QTest::keyClicks(dates->txtFieldHourIDOriginalTime, QStringLiteral("1"));
    form->datePopOver().close();
    EXPECT_TRUE(form->box(MetadataField::originalDate)->isMarked());

    // A position typed into the location editor lands in the form.
    form->btnEditLocationWithMap()->click();
    EditLocationViewController *location = form->sharedLocationEditor();
    ASSERT_TRUE(location->isVisible());
    location->txtFieldLatitude->clear();
    QTest::keyClicks(location->txtFieldLatitude, QStringLiteral("-33.8568"));
    location->txtFieldLongitude->clear();
    QTest::keyClicks(location->txtFieldLongitude, QStringLiteral("151.2153"));
    location->close();
    EXPECT_EQ(form->textField(MetadataField::gpsLatitude)->text(), QStringLiteral("-33.8568"));
    EXPECT_EQ(form->popUp(MetadataField::gpsLatitudeRef)->currentText(), QStringLiteral("South"));

    // The picture of the main screen in the README comes from here.
    if (const QString picture = qEnvironmentVariable("CALVORN_SCREENSHOT"); !picture.isEmpty()) {
        GridThumbnails::shared().waitForDone();
        settle(2);
        EXPECT_TRUE(InitialWindowController::shared()->grab().save(picture));
    }

    // In place: confirm, do not save a preset, change the photos in place.
    alerts.answer(Yes).answer(No);
    startInPlace();
    ASSERT_EQ(alerts.shown().size(), 3u);
    EXPECT_EQ(alerts.shown()[1].message, QStringLiteral("Apply your edits to the marked photos?"));
    auto *result = qobject_cast<ResultViewController *>(ViewController::current()->shownPage());
    ASSERT_NE(result, nullptr) << "the result page follows the batch";
    EXPECT_EQ(result->lblValuePhotosEdited->text(), QStringLiteral("3"));

    for (const QString &name : chosen) {
        const QString path = photos.filePath(name);
        SCOPED_TRACE(qPrintable(name));
        EXPECT_EQ(exiv2Value(path, QStringLiteral("Exif.Image.Artist")), QStringLiteral("Ana Lima"));
        EXPECT_EQ(exiv2Value(path, QStringLiteral("Exif.Photo.ISOSpeedRatings")), QStringLiteral("400"));
        EXPECT_EQ(exiv2Values(path, QStringLiteral("Iptc.Application2.Keywords")),
            QStringList({ QStringLiteral("desert"), QStringLiteral("trip") }));
        EXPECT_EQ(exiv2Value(path, QStringLiteral("Exif.Photo.DateTimeOriginal")), anHourLater(before[name]));
        EXPECT_EQ(exiv2Value(path, QStringLiteral("Exif.GPSInfo.GPSLatitudeRef")), QStringLiteral("S"));
        EXPECT_NEAR(degrees(exiv2Value(path, QStringLiteral("Exif.GPSInfo.GPSLatitude"))), 33.8568, 1e-5);
        EXPECT_NEAR(degrees(exiv2Value(path, QStringLiteral("Exif.GPSInfo.GPSLongitude"))), 151.2153, 1e-5);
    }
    EXPECT_TRUE(exiv2Value(photos.filePath(QStringLiteral("GPS.jpg")), QStringLiteral("Exif.Image.Artist"))
        != QStringLiteral("Ana Lima"))
        << "an unmarked photo is left alone";

    // Finish: the dashboard, and a main screen with nothing of the last run,
    // not even the search left in its field.
    home->searchField->setText(QStringLiteral("Reagan"));
    settle(2);
    result->btnFinish->click();
    settle(2);
    const auto onDashboard
        = [] { return qobject_cast<DashboardViewController *>(ViewController::current()->shownPage()); };
    EXPECT_NE(onDashboard(), nullptr);
    EXPECT_TRUE(allFiles().isEmpty());
    EXPECT_TRUE(form->textField(MetadataField::artist)->text().isEmpty());
    EXPECT_FALSE(form->box(MetadataField::artist)->isMarked());
    EXPECT_EQ(home->popUpEditingOptions->currentIndex(), 0);
    EXPECT_TRUE(home->searchField->text().isEmpty());
    const auto nothingStale = [home] {
        EXPECT_TRUE(home->qorCollectionView->contentArray().isEmpty());
        EXPECT_TRUE(home->qorCollectionView->visibleViewControllerArray().isEmpty());
        EXPECT_EQ(home->lblTotalPhotos->text(), QStringLiteral("Photos selected: 0 / 0"));
        EXPECT_FALSE(home->btnSelectAll->isEnabled());
    };
    nothingStale();

    // An empty folder: told so, and back on the dashboard with nothing
    // stale behind it.
    QTemporaryDir empty;
    alerts.answer(Yes);
    chooseOnDashboard(empty.path());
    ASSERT_EQ(alerts.shown().size(), 4u);
    EXPECT_EQ(alerts.shown()[3].message, QStringLiteral("No photos found"));
    EXPECT_NE(onDashboard(), nullptr);
    EXPECT_TRUE(allFiles().isEmpty());
    nothingStale();

    // Renamed copies: a prefix, the photo's date, city and size from the
    // rename window, then a destination.
    addFolder();
    EXPECT_EQ(displayedFiles().size(), samples) << "no search hides the new photos";
    EXPECT_EQ(home->lblTotalPhotos->text(), allMarked);
    EXPECT_EQ(home->btnSelectAll->checkState(), Qt::Checked);
    markChosen();
    home->btnRename->click();
    RenameViewController *rename = RenameViewController::shared();
    ASSERT_TRUE(rename->isVisible());
    if (!rename->btnEditOriginalFilename->isChecked())
        rename->btnEditOriginalFilename->click();
    for (QCheckBox *box : { rename->btnAddText.data(), rename->btnAddDateTime.data(),
             rename->btnAddExifDateTime.data(), rename->btnAddExifLocation.data(),
             rename->btnCityAddExifLocation.data(), rename->btnAppendWidthHeight.data() }) {
        if (!box->isChecked())
            box->click();
    }
    rename->txtFieldPrefixAddText->clear();
    QTest::keyClicks(rename->txtFieldPrefixAddText, QStringLiteral("trip"));
    choose(rename->popUpFormatAddDateTime, QStringLiteral("YYYY-MM-DD"));
    choose(rename->popUpTypeAddExifDateTime, QStringLiteral("Original Date/Time"));
    EXPECT_EQ(rename->lblExampleValue->text(),
        QStringLiteral("trip_{YYYY-MM-DD}_Filename_{City}_{Width}x{Height}"));
    rename->btnSave->click();
    QTest::keyClicks(form->textField(MetadataField::copyright), QStringLiteral("CC BY 4.0"));
    alerts.answer(Yes).answer(No);
    const auto intoCopies = platform::OpenPanel::setResponder([this](const platform::OpenPanel &panel) {
        EXPECT_FALSE(panel.canChooseFiles());
        return platform::OpenPanel::Answer { platform::OpenPanel::OK,
            { QUrl::fromLocalFile(copies.path()) } };
    });
    home->btnStartProcess->click();
    settle();
    platform::OpenPanel::setResponder(intoCopies);
    // Each copy is named from its own photo, as the example promised.
    for (const QString &name : chosen) {
        SCOPED_TRACE(qPrintable(name));
        const QString source = photos.filePath(name);
        const QDateTime taken = QDateTime::fromString(
            exiv2Value(source, QStringLiteral("Exif.Photo.DateTimeOriginal")), exifDateForm);
        const QString city = exiv2Value(source, QStringLiteral("Iptc.Application2.City"));
        const QSize size = QImageReader(source).size();
        const QString copy = copies.filePath(
            QStringLiteral("trip_%1_%2%3_%4x%5.jpg")
                .arg(taken.toString(QStringLiteral("yyyy-MM-dd")), QFileInfo(name).completeBaseName(),
                    city.isEmpty() ? QString() : QLatin1Char('_') + city)
                .arg(size.width())
                .arg(size.height()));
        ASSERT_TRUE(QFile::exists(copy))
            << qPrintable(QDir(copies.path()).entryList(QDir::Files).join(QLatin1Char(' ')));
        EXPECT_EQ(exiv2Value(copy, QStringLiteral("Exif.Image.Copyright")), QStringLiteral("CC BY 4.0"));
        EXPECT_EQ(exiv2Value(copy, QStringLiteral("Exif.Image.Artist")), QStringLiteral("Ana Lima"))
            << "the first batch's value, kept by the copy";
    }
    const QSize reagan = QImageReader(photos.filePath(QStringLiteral("Reagan.jpg"))).size();
    EXPECT_TRUE(
        QFile::exists(copies.filePath(QStringLiteral("trip_2004-06-22_Reagan_Straits of Magellan_%1x%2.jpg")
                                          .arg(reagan.width())
                                          .arg(reagan.height()))))
        << "taken 23:37:53 on 21 June, an hour later the next day";
    EXPECT_EQ(QDir(copies.path()).entryList(QDir::Files).size(), chosen.size());
    EXPECT_EQ(alerts.remaining(), 0);
}

TEST_F(MainRoadTest, TheWindowStaysWhereTheUserLeftItThroughABatchAndRestarts)
{
    launch();
    InitialWindowController *window = InitialWindowController::shared();
    window->setGeometry(QRect(130, 90, 1100, 760));
    settle(2);
    const QRect placed = window->geometry();

    // The result page takes the title buttons away and Finish gives them
    // back: the window stays where it is, never hidden and made anew (a
    // window manager places a window made anew by its frame's corner).
    NativeWindowWatch watch(window);
    Result done;
    done.processedPhotos = done.totalPhotos = done.totalEditedPhotos = 1;
    batchResult() = done;
    showContainerPage(ContainerPage::result);
    ResultViewController::shared()->displayResult();
    settle(2);
    EXPECT_EQ(window->geometry(), placed);
    ResultViewController::shared()->btnFinish->click();
    settle(2);
    EXPECT_EQ(window->geometry(), placed);
    EXPECT_EQ(watch.remade, 0);

    // Quit and start again, ten times: the window, larger than this small
    // screen, comes back within reach (its title bar and menus on the
    // screen, no wider than it), then at the same place and size each time.
    window->close();
    QRect restored;
    QByteArray saved;
    for (int start = 0; start < 10; ++start) {
        settle(1);
        delegate.reset();
        screens.releaseShared();
        delegate = std::make_unique<AppDelegate>(HelperHandshake(helper));
        delegate->applicationWillFinishLaunching();
        window = InitialWindowController::shared();
        settle(1);
        if (start == 0) {
            const QRect screen = window->screen()->availableGeometry();
            const QRect frame = window->frameGeometry();
            EXPECT_TRUE(frame.top() >= screen.top() && frame.left() >= screen.left()
                && frame.right() <= screen.right())
                << frame.x() << ',' << frame.y() << ' ' << frame.width() << 'x' << frame.height();
            restored = window->geometry();
        }
        EXPECT_EQ(window->geometry(), restored) << "start " << start;
        window->close();
        if (start == 0)
            saved = window->saveGeometry();
        EXPECT_EQ(window->saveGeometry(), saved) << "start " << start;
    }
}

// The add panel as a person uses it: a path typed into its field, then Add.
// What the field names is what the scan adds, whichever folder is shown.
TEST_F(MainRoadTest, APathTypedIntoTheAddPanelIsWhatTheScanAdds)
{
    const QDir folder(photos.path());
    QTemporaryDir below(QDir::homePath() + QStringLiteral("/typed-XXXXXX"));
    ASSERT_TRUE(folder.mkpath("trip")
        && QFile::copy(folder.filePath("GPS.jpg"), folder.filePath("trip/t.jpg"))
        && QFile::copy(folder.filePath("XMP.jpg"), below.filePath("b.jpg")));
    platform::OpenPanel *panel = nullptr;
    const auto typeAndAdd = [&](const QString &typed) {
        for (auto *each : InitialWindowController::shared()->findChildren<platform::OpenPanel *>())
            panel = each->isVisible() ? each : panel;
        ASSERT_EQ(panel->directoryUrl().toLocalFile(), QDir::homePath()) << "the folder shown";
        panel->findChild<QLineEdit *>(QStringLiteral("path"))->selectAll();
        QTest::keyClicks(panel->findChild<QLineEdit *>(QStringLiteral("path")), typed);
        panel->findChild<QPushButton *>(QStringLiteral("defaultButton"))->click();
        settle();
    };
    const auto loaded = [] {
        QStringList names;
        for (const auto &file : displayedFiles())
            names << file->fileName;
        names.sort();
        return names;
    };

    launch();
    qobject_cast<DashboardViewController *>(ViewController::current()->shownPage())->btnAddPhotos->click();
    typeAndAdd(QStringLiteral("~/nowhere/"));
    ASSERT_TRUE(panel->isVisible()) << "nothing is chosen";
    EXPECT_EQ(panel->findChild<QLabel *>(QStringLiteral("pathProblem"))->text(),
        QDir::homePath() + QStringLiteral("/nowhere does not exist."));
    EXPECT_TRUE(panel->findChild<QLineEdit *>(QStringLiteral("path"))->actions()[0]->isVisible()) << "marked";
    EXPECT_TRUE(loaded().isEmpty());
    typeAndAdd(folder.filePath("GPS.jpg"));
    EXPECT_EQ(loaded(), QStringList({ "GPS.jpg" }));
    // A subfolder of the home folder shown, relative, and a folder elsewhere.
    HomeViewController::shared()->showAddPhotosPanel();
    typeAndAdd(QFileInfo(below.path()).fileName() + QLatin1Char('/'));
    EXPECT_EQ(loaded(), QStringList({ "GPS.jpg", "b.jpg" }));
    HomeViewController::shared()->showAddPhotosPanel();
    typeAndAdd(folder.filePath("trip"));
    EXPECT_EQ(loaded(), QStringList({ "GPS.jpg", "b.jpg", "t.jpg" }));
}
