// SPDX-License-Identifier: GPL-3.0-or-later
// The main screen's presets, export and gift buttons as a user meets them in
// the running program, offscreen: a preset made and renamed in the manager,
// applied from the popover after a restart and removed; a stored list that
// cannot be read whole left as it is; the marked photos exported to a CSV
// file that a spreadsheet's reader takes apart into the right columns.

#include "UserRoadFixture.h"

#include "app/ViewController.h"
#include "batch/BatchRun.h"
#include "batch/ResultViewController.h"
#include "controls/EditableTextField.h"
#include "editor/FieldBox.h"
#include "editor/MetadataEditorViewController.h"
#include "editor/PresetFields.h"
#include "editor/PresetTableCellView.h"
#include "editor/PresetViewController.h"
#include "editor/PresetsListViewController.h"
#include "engine/ExportMetadata.h"
#include "engine/FileInfoEvents.h"
#include "engine/Metadata.h"
#include "engine/MetadataOperation.h"
#include "engine/Preset.h"
#include "engine/check/WholeFileCheck.h"
#include "platform/FileWalk.h"
#include "support/AlertScript.h"
#include "support/FakeFileManager.h"
#include "support/QtPrinters.h"
#include "support/UrlRecorder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTest>

using shelltest::UserRoadFixture;

namespace {

constexpr int Yes = platform::Alert::FirstButton;
constexpr int No = platform::Alert::FirstButton + 1;
const QString PresetsKey = QStringLiteral("presets");

// What exiftool reads from each file: every tag by "group:group:name",
// numbers as numbers.
QHash<QString, QJsonObject> readTags(const QStringList &paths)
{
    QProcess exiftool;
    exiftool.start(QStringLiteral("exiftool"),
        QStringList {
            QStringLiteral("-j"), QStringLiteral("-a"), QStringLiteral("-G0:1"), QStringLiteral("-n") }
            + paths);
    QHash<QString, QJsonObject> tags;
    if (!exiftool.waitForFinished(120000))
        return tags;
    for (const QJsonValue &entry : QJsonDocument::fromJson(exiftool.readAllStandardOutput()).array()) {
        QJsonObject file = entry.toObject();
        tags.insert(file.take(QStringLiteral("SourceFile")).toString(), file);
    }
    return tags;
}

class PresetsAndExportTest : public UserRoadFixture
{
protected:
    static QStringList rows(const QListWidget *list)
    {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        return texts;
    }

    // A click on a row of a list, where the user would click.
    static void clickRow(QListWidget *list, int row)
    {
        const QRect place = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    }

    // The popover's row of that name, clicked.
    static void choosePreset(const QString &name)
    {
        QListWidget *list = PresetsListViewController::shared()->tableView;
        const int row = int(rows(list).indexOf(name));
        ASSERT_GE(row, 0) << qPrintable(name);
        clickRow(list, row);
        settle(2);
    }

    static QStringList storedNames()
    {
        QStringList names;
        for (const Preset &preset : loadPresets())
            names << preset.name();
        return names;
    }

    // Types a new name into the manager's selected row, as in place.
    static void rename(PresetViewController *manager, const QString &name)
    {
        PresetTableCellView *cell = manager->cellView(manager->selectedRow());
        ASSERT_NE(cell, nullptr);
        if (!cell->lblName->isEditable())
            QTest::mouseDClick(cell->lblName, Qt::LeftButton);
        ASSERT_TRUE(cell->lblName->isEditable());
        cell->lblName->selectAll();
        QTest::keyClicks(cell->lblName, name);
        QTest::keyClick(cell->lblName, Qt::Key_Return);
        settle(2);
    }

    static void retype(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }
};

} // namespace

TEST_F(PresetsAndExportTest, APresetMadeInTheManagerIsAppliedAfterARestartAndRemoved)
{
    REQUIRE_TEST_DATA();
    testsupport::AlertScript alerts;
    launch();
    addFolder();
    const QStringList marked { QStringLiteral("Reagan.jpg"), QStringLiteral("FurnaceCreekInn.jpg") };
    markOnly(marked);
    HomeViewController *home = HomeViewController::shared();
    PresetsListViewController *list = PresetsListViewController::shared();

    // With nothing saved, the popover holds its two fixed rows.
    ASSERT_TRUE(home->btnPresets->isVisible());
    home->btnPresets->click();
    ASSERT_TRUE(home->popOverPresets.isShown());
    EXPECT_EQ(rows(list->tableView),
        QStringList({ QStringLiteral("Add New Preset"), QStringLiteral("Edit Presets...") }));
    EXPECT_EQ(list->height(), 90);

    // Add New Preset: the manager, a window of its own, with a new preset
    // whose name is ready to be typed over.
    clickRow(list->tableView, 0);
    settle(2);
    EXPECT_FALSE(home->popOverPresets.isShown());
    PresetViewController *manager = PresetViewController::shared();
    ASSERT_TRUE(manager->isVisible());
    EXPECT_TRUE(manager->isWindow());
    EXPECT_EQ(manager->windowModality(), Qt::ApplicationModal);
    ASSERT_EQ(manager->selectedRow(), 0);
    EXPECT_EQ(manager->cellView(0)->lblName->text(), QStringLiteral("Preset"));
    EXPECT_TRUE(manager->cellView(0)->lblName->isEditable());
    EXPECT_EQ(storedNames(), QStringList { QStringLiteral("Preset") });

    // Renamed in place; values typed into the manager's own form, saved.
    rename(manager, QStringLiteral("Travel"));
    EXPECT_EQ(storedNames(), QStringList { QStringLiteral("Travel") });
    MetadataEditorViewController *presetForm = manager->presetForm();
    ASSERT_NE(presetForm, home->editingForm());
    QTest::keyClicks(presetForm->textField(MetadataField::artist), QStringLiteral("Ana Lima"));
    QTest::keyClicks(presetForm->textField(MetadataField::city), QStringLiteral("Lima"));
    EXPECT_FALSE(presetForm->box(MetadataField::artist)->isMarked()) << "a preset form marks nothing";
    manager->btnSave->click();
    EXPECT_EQ(loadPresets().value(0).metadata()->artist(), QStringLiteral("Ana Lima"));

    // A second preset may not take the first one's name in other letters,
    // but may change the case of its own.
    manager->btnAdd->click();
    settle(2);
    ASSERT_EQ(manager->allPresets.value(manager->selectedRow()).name(), QStringLiteral("Preset"));
    alerts.answer(Yes);
    rename(manager, QStringLiteral("TRAVEL"));
    ASSERT_EQ(alerts.shown().size(), 1u);
    EXPECT_EQ(alerts.shown()[0].message, QStringLiteral("A preset with this name exists"));
    EXPECT_EQ(storedNames(), QStringList({ QStringLiteral("Preset"), QStringLiteral("Travel") }));
    EXPECT_EQ(manager->cellView(manager->selectedRow())->lblName->text(), QStringLiteral("Preset"));
    rename(manager, QStringLiteral("preset"));
    EXPECT_EQ(storedNames(), QStringList({ QStringLiteral("preset"), QStringLiteral("Travel") }));
    EXPECT_EQ(alerts.shown().size(), 1u) << "a preset never clashes with itself";
    manager->close();

    // After a restart the popover lists both, in order of their names.
    relaunch();
    addFolder();
    markOnly(marked);
    home = HomeViewController::shared();
    list = PresetsListViewController::shared();
    home->btnPresets->click();
    EXPECT_EQ(rows(list->tableView),
        QStringList({ QStringLiteral("Add New Preset"), QStringLiteral("preset"), QStringLiteral("Travel"),
            QStringLiteral("Edit Presets...") }));
    EXPECT_EQ(list->height(), 150);

    // Choosing one lays its values over the main screen's form and marks
    // them as edits; the fields it does not hold keep what they showed.
    MetadataEditorViewController *form = home->editingForm();
    const QString makes = form->textField(MetadataField::make)->placeholderText();
    choosePreset(QStringLiteral("Travel"));
    EXPECT_FALSE(home->popOverPresets.isShown());
    EXPECT_EQ(form->textField(MetadataField::artist)->text(), QStringLiteral("Ana Lima"));
    EXPECT_EQ(form->textField(MetadataField::city)->text(), QStringLiteral("Lima"));
    EXPECT_TRUE(form->box(MetadataField::artist)->isMarked());
    EXPECT_TRUE(form->box(MetadataField::city)->isMarked());
    EXPECT_TRUE(form->fileInfo()->metadata->isEdited(MetadataField::artist));
    EXPECT_FALSE(form->box(MetadataField::make)->isMarked());
    EXPECT_EQ(form->textField(MetadataField::make)->placeholderText(), makes);

    // Save and Apply from the manager: the preset keeps the new city, the
    // main screen's form shows it, the manager closes.
    home->btnPresets->click();
    choosePreset(QStringLiteral("Edit Presets..."));
    manager = PresetViewController::shared();
    ASSERT_TRUE(manager->isVisible());
    EXPECT_EQ(manager->selectedRow(), 0) << "opened for editing, the first preset is shown";
    clickRow(manager->tableView, 1);
    ASSERT_EQ(manager->allPresets.value(manager->selectedRow()).name(), QStringLiteral("Travel"));
    EXPECT_EQ(manager->presetForm()->textField(MetadataField::artist)->text(), QStringLiteral("Ana Lima"));
    retype(manager->presetForm()->textField(MetadataField::city), QStringLiteral("Cusco"));
    manager->btnSaveAndApply->click();
    settle(2);
    EXPECT_FALSE(manager->isVisible());
    EXPECT_EQ(form->textField(MetadataField::city)->text(), QStringLiteral("Cusco"));
    EXPECT_TRUE(form->box(MetadataField::city)->isMarked());
    EXPECT_EQ(loadPresets().value(1).metadata()->city(), QStringLiteral("Cusco"));

    // Removed after its question.
    home->btnPresets->click();
    choosePreset(QStringLiteral("Edit Presets..."));
    clickRow(manager->tableView, 0);
    alerts.answer(Yes);
    manager->btnRemove->click();
    settle(2);
    ASSERT_EQ(alerts.shown().size(), 2u);
    EXPECT_EQ(alerts.shown()[1].message, QStringLiteral("Remove this preset?"));
    EXPECT_EQ(storedNames(), QStringList { QStringLiteral("Travel") });
    ASSERT_EQ(manager->tableView->count(), 1);
    EXPECT_EQ(manager->cellView(0)->lblName->text(), QStringLiteral("Travel"));
    manager->close();
    EXPECT_EQ(alerts.remaining(), 0);
}

TEST_F(PresetsAndExportTest, APresetSavedAtStartHoldsTheOneEditAndChangesOnlyThatOnAnyPhoto)
{
    REQUIRE_TEST_DATA();
    testsupport::AlertScript alerts;
    launch();
    addFolder();
    HomeViewController *home = HomeViewController::shared();
    MetadataEditorViewController *form = home->editingForm();
    Metadata::EditedFlags artistOnly;
    artistOnly.set(std::size_t(MetadataField::artist));

    // Three photos of one camera share their camera values in the form; the
    // user types only an artist, starts, keeps the values as a preset, and
    // then thinks better of the batch and resets the form.
    markOnly({ QStringLiteral("Reagan.jpg"), QStringLiteral("ReaganLargeJpg.jpg"),
        QStringLiteral("Reagan.tiff") });
    ASSERT_EQ(form->textField(MetadataField::make)->text(), QStringLiteral("NIKON CORPORATION"));
    retype(form->textField(MetadataField::artist), QStringLiteral("Ana Lima"));
    alerts.answer(Yes).answer(Yes, false, QStringLiteral("Artist only"));
    const auto noDestination = platform::OpenPanel::setResponder([](const platform::OpenPanel &) {
        return platform::OpenPanel::Answer { platform::OpenPanel::Cancel, {} };
    });
    home->btnStartProcess->click();
    settle(2);
    platform::OpenPanel::setResponder(noDestination);
    const QList<Preset> stored = loadPresets();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].name(), QStringLiteral("Artist only"));
    EXPECT_EQ(presetFields(*stored[0].metadata()), artistOnly) << "no camera value of the three photos";
    EXPECT_EQ(stored[0].metadata()->artist().value_or(QString()), QStringLiteral("Ana Lima"));
    alerts.answer(Yes);
    home->btnResetAll->click();
    settle(2);
    ASSERT_FALSE(form->box(MetadataField::artist)->isMarked());

    // Every photo but one on its own, the preset chosen while its details
    // are still being read: their arrival marks nothing more, and the
    // batch's own run of the one photo writes what is marked.
    markOnly({});
    const QString canon = QStringLiteral("FurnaceCreekInn.jpg");
    const platform::WalkControl goOn;
    for (qsizetype i = 0; i < displayedFiles().size(); ++i) {
        const std::shared_ptr<FileInfo> file = displayedFiles()[i];
        if (file->fileName == canon)
            continue;
        SCOPED_TRACE(qPrintable(file->fileName));
        const std::shared_ptr<Metadata> read = std::exchange(file->metadata, nullptr);
        home->toggleMark(i);
        home->applyPreset(*stored[0].metadata());
        file->metadata = read;
        emit FileInfoEvents::shared().detailsArrived(file);
        ASSERT_EQ(form->fileInfo(), file);
        EXPECT_EQ(read->editedFlags(), artistOnly);
        BatchRun(
            BatchRequest::take(EditingOptions::onlyModify, form->editedMetadata(), {}, std::nullopt, true), 1)
            .run(goOn, {});
        home->toggleMark(i);
    }

    // The last, of another camera, through the popover and the start button.
    markOnly({ canon });
    home->btnPresets->click();
    choosePreset(QStringLiteral("Artist only"));
    EXPECT_EQ(form->fileInfo()->metadata->editedFlags(), artistOnly);
    EXPECT_TRUE(form->box(MetadataField::artist)->isMarked());
    EXPECT_EQ(form->textField(MetadataField::make)->text(), QStringLiteral("Canon"));
    alerts.answer(Yes).answer(No);
    startInPlace();
    ASSERT_NE(qobject_cast<ResultViewController *>(ViewController::current()->shownPage()), nullptr);

    // exiftool finds each photo as a write of the artist alone leaves it.
    QTemporaryDir alone;
    const MetadataOperation bridge(engine::check::refusal);
    QStringList paths;
    QStringList references;
    // A photo a write cannot keep whole both leave as it was.
    QList<bool> written;
    for (const QString &name : QDir(photos.path()).entryList(QDir::Files)) {
        paths << photos.filePath(name);
        references << testsupport::copyTestFile(QStringLiteral("images/") + name, alone);
        written << bridge.setMetadata(
            references.last(), { { fieldKey(MetadataField::artist), QStringLiteral("Ana Lima") } }, false);
    }
    ASSERT_EQ(paths.size(), 75);
    const QHash<QString, QJsonObject> tags = readTags(paths + references);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QJsonObject &writtenTags = tags[paths[i]];
        const QJsonObject &reference = tags[references[i]];
        QStringList differing;
        QStringList keys = writtenTags.keys() + reference.keys();
        keys.removeDuplicates();
        for (const QString &key : keys) {
            if (!key.startsWith(QLatin1String("File:")) && writtenTags.value(key) != reference.value(key))
                differing << key;
        }
        EXPECT_EQ(differing.join(QLatin1Char(' ')).toStdString(), "") << qPrintable(paths[i]);
        if (written[i]) {
            EXPECT_EQ(
                writtenTags.value(QStringLiteral("EXIF:IFD0:Artist")).toString(), QStringLiteral("Ana Lima"))
                << qPrintable(paths[i]);
        }
    }
    EXPECT_EQ(alerts.remaining(), 0);
}

TEST_F(PresetsAndExportTest, StoredPresetsThatCannotBeReadWholeAreKeptUntilTheUserChangesThem)
{
    REQUIRE_TEST_DATA();
    Preset kept(QStringLiteral("Kept"));
    kept.metadata()->setCity(QStringLiteral("Lima"));
    platform::Settings::setArchived(PresetsKey, QVariantList { kept.dictionary(), 42 });
    const auto stored = platform::Settings::bytes(PresetsKey);
    ASSERT_TRUE(stored.has_value());
    launch();
    addFolder();
    HomeViewController *home = HomeViewController::shared();

    // Opening the popover and the manager shows what could be read and
    // writes nothing, nor does a change of the sort order.
    home->btnPresets->click();
    EXPECT_EQ(rows(PresetsListViewController::shared()->tableView),
        QStringList(
            { QStringLiteral("Add New Preset"), QStringLiteral("Kept"), QStringLiteral("Edit Presets...") }));
    choosePreset(QStringLiteral("Edit Presets..."));
    PresetViewController *manager = PresetViewController::shared();
    ASSERT_EQ(manager->allPresets.size(), 1);
    manager->sortWithDescending();
    manager->sortWithAscending();
    manager->close();
    EXPECT_EQ(platform::Settings::bytes(PresetsKey), stored);

    // Bytes that are no list at all show no preset and stay as they are.
    const QByteArray garbage("\xff\x00garbage", 9);
    platform::Settings::setBytes(PresetsKey, garbage);
    home->btnPresets->click();
    EXPECT_EQ(PresetsListViewController::shared()->tableView->count(), 2);
    choosePreset(QStringLiteral("Edit Presets..."));
    EXPECT_TRUE(manager->allPresets.isEmpty());
    EXPECT_EQ(platform::Settings::bytes(PresetsKey), garbage);

    // A preset the user adds is the user's change: the list is written.
    manager->btnAdd->click();
    settle(2);
    manager->close();
    EXPECT_EQ(storedNames(), QStringList { QStringLiteral("Preset") });
}

TEST_F(PresetsAndExportTest, MarkedPhotosExportToACsvFileASpreadsheetReads)
{
    REQUIRE_TEST_DATA();
    testsupport::AlertScript alerts;
    launch();
    addFolder();
    HomeViewController *home = HomeViewController::shared();
    EXPECT_TRUE(home->btnExportMetadata->isVisible());
    EXPECT_FALSE(home->btnGift->isVisible()) << "no page to open, no button";

    // Nothing marked: the alert, and no panel.
    markOnly({});
    alerts.answer(Yes);
    home->btnExportMetadata->click();
    ASSERT_EQ(alerts.shown().size(), 1u);
    EXPECT_EQ(alerts.shown()[0].message, QStringLiteral("No photos marked"));

    const QStringList marked { QStringLiteral("exiv2-nikon-d70.jpg"), QStringLiteral("Reagan.jpg"),
        QStringLiteral("FurnaceCreekInn.jpg") };
    markOnly(marked);
    QTemporaryDir out;
    QString folder = out.path();
    // One photo's values are read again and arrive only after the folder is
    // chosen: the export waits for them.
    const auto rereading = displayed(QStringLiteral("Reagan.jpg"));
    int panels = 0;
    const auto previous = platform::OpenPanel::setResponder([&](const platform::OpenPanel &panel) {
        ++panels;
        EXPECT_TRUE(panel.canChooseDirectories());
        EXPECT_FALSE(panel.canChooseFiles());
        EXPECT_FALSE(panel.allowsMultipleSelection());
        EXPECT_EQ(panel.prompt(), QStringLiteral("Select Destination Folder"));
        if (panels == 1)
            rereading->metadata.reset();
        return platform::OpenPanel::Answer { platform::OpenPanel::OK, { QUrl::fromLocalFile(folder) } };
    });
    testsupport::FakeFileManager fileManager;
    UrlRecorder opened { QStringLiteral("file") };
    alerts.answer(Yes + 1);
    home->btnExportMetadata->click();
    rereading->initialize(*rereading->url);
    settle();
    ASSERT_EQ(panels, 1);
    const QStringList written
        = QDir(out.path()).entryList({ QStringLiteral("MetadataEditor_*.csv") }, QDir::Files);
    ASSERT_EQ(written.size(), 1);
    const QString csv = out.filePath(written.first());
    EXPECT_TRUE(console.lines().contains(
        QStringLiteral("Metadata Exported: ") + QUrl::fromLocalFile(csv).toString()));

    // The window says where the file went, and shows it in its folder.
    ASSERT_EQ(alerts.shown().size(), 2u);
    EXPECT_EQ(alerts.shown()[1].message, QStringLiteral("Metadata exported"));
    EXPECT_EQ(
        alerts.shown()[1].informative, QStringLiteral("The values of 3 photos were written to %1.").arg(csv));
    EXPECT_EQ(
        alerts.shown()[1].buttons, QStringList({ QStringLiteral("OK"), QStringLiteral("Show in Folder") }));
    if (fileManager.isRegistered()) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !fileManager.shownItems.isEmpty(); }, 30000));
        EXPECT_EQ(
            fileManager.shownItems, QStringList { QUrl::fromLocalFile(csv).toString(QUrl::FullyEncoded) });
    }

    // A folder gone by the time the file is written: the window says why.
    folder = out.filePath(QStringLiteral("gone"));
    alerts.answer(Yes);
    home->btnExportMetadata->click();
    settle();
    platform::OpenPanel::setResponder(previous);
    ASSERT_EQ(alerts.shown().size(), 3u);
    EXPECT_EQ(alerts.shown()[2].message, QStringLiteral("The metadata could not be exported"));
    EXPECT_TRUE(alerts.shown()[2].informative.contains(folder)) << qPrintable(alerts.shown()[2].informative);
    EXPECT_TRUE(home->btnExportMetadata->isEnabled());

    // Python's csv module reads it as a spreadsheet does (its excel dialect).
    QProcess python;
    python.start(QStringLiteral("python3"),
        { QStringLiteral("-c"),
            QStringLiteral("import csv, json, sys\n"
                           "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                           "    json.dump(list(csv.reader(f)), sys.stdout)\n"),
            csv });
    ASSERT_TRUE(python.waitForFinished(30000)) << "python3 is needed to read the file";
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().constData();
    const QJsonArray records = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    ASSERT_EQ(records.size(), 2 + marked.size()) << "the header, an empty line and one line a photo";

    QStringList header;
    for (const QJsonValue &title : records[0].toArray())
        header << title.toString();
    ASSERT_EQ(header.size(), 1 + metadataFieldCount);
    EXPECT_EQ(header[0], QStringLiteral("File Path"));
    for (int n = 0; n < metadataFieldCount; ++n)
        EXPECT_EQ(header[n + 1], ExportMetadata::columnTitle(n));
    EXPECT_TRUE(records[1].toArray().isEmpty());

    // One line a marked photo, in the grid's order, each value in its column.
    const auto column = [&header](const char *title) { return int(header.indexOf(QLatin1String(title))); };
    int line = 2;
    for (const auto &file : markedFiles(displayedFiles())) {
        SCOPED_TRACE(qPrintable(file->fileName));
        const QJsonArray fields = records[line++].toArray();
        ASSERT_EQ(fields.size(), header.size());
        EXPECT_EQ(fields[0].toString(), file->path());
        const Metadata &values = *file->metadata;
        EXPECT_EQ(fields[column("Make")].toString(), values.make().value_or(QString()));
        EXPECT_EQ(fields[column("Caption")].toString(), values.captionAbstract().value_or(QString()));
        EXPECT_EQ(fields[column("Keywords")].toString(), values.keywords().value_or(QString()));
        EXPECT_EQ(fields[column("ISO Speed Ratings")].toString(),
            values.iso() ? QString::number(*values.iso()) : QString());
        // Reagan.jpg's XMP create date carries its offset (+01:00): it shows
        // the wall clock of its Exif twin, on a machine in any zone.
        if (file->fileName == QLatin1String("Reagan.jpg")) {
            EXPECT_EQ(fields[column("Create Date XMP")].toString(),
                fields[column("DateTime Digitized")].toString());
        }
    }
    EXPECT_TRUE(
        displayed(QStringLiteral("Reagan.jpg"))->metadata->captionAbstract()->contains(QLatin1Char(',')))
        << "a value with commas stays in its column";
    EXPECT_EQ(alerts.remaining(), 0);
}
