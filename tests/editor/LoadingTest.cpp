// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditorFixture.h"

#include "controls/CustomTextView.h"
#include "editor/FieldComparison.h"
#include "editor/NumberText.h"
#include "engine/DateTexts.h"
#include "engine/FileInfoEvents.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QTemporaryDir>

using namespace editortest;

namespace {

QString differ()
{
    return localizedString(QStringLiteral("QX_ID_243"));
}

QString noneHas()
{
    return localizedString(QStringLiteral("QX_ID_244"));
}

} // namespace

TEST_F(EditorTest, OneMarkedFileBecomesTheRecordAndShowsItsValues)
{
    Metadata values;
    values.setArtist(QStringLiteral("Ann"));
    values.setISO(0);
    values.setFNumber(2.8);
    values.setFlash(16);
    values.setGPSLatitude(-33.5);
    values.setGPSLatitudeRef(QStringLiteral("S"));
    values.setCountryPrimaryLocationCode(QStringLiteral("FR"));
    values.setKeywords(QStringLiteral("sea, sky"));
    values.setOriginalDate(at(2020, 5, 17, 9, 30));
    const auto file = addFile(values);
    addFile(Metadata(), false);

    form.showMetadataOfMarkedFiles();

    EXPECT_EQ(form.fileInfo(), file) << "the file's own record, not a copy";
    EXPECT_EQ(field(MetadataField::artist)->text(), QStringLiteral("Ann"));
    EXPECT_EQ(field(MetadataField::iso)->text(), QStringLiteral("0")) << "a present 0 shows";
    EXPECT_TRUE(field(MetadataField::whiteBalance)->text().isEmpty()) << "an absent number shows nothing";
    EXPECT_EQ(field(MetadataField::fNumber)->text(), QStringLiteral("2.8"));
    EXPECT_EQ(popUp(MetadataField::flash)->currentText(),
        QStringLiteral("Flash did not fire, compulsory flash mode"));
    EXPECT_EQ(popUp(MetadataField::orientation)->currentIndex(), 0);
    EXPECT_EQ(field(MetadataField::gpsLatitude)->text(), QStringLiteral("-33.5"));
    EXPECT_EQ(popUp(MetadataField::gpsLatitudeRef)->currentText(), QStringLiteral("South"));
    EXPECT_EQ(popUp(MetadataField::countryPrimaryLocationCode)->currentText(), QStringLiteral("France"));
    EXPECT_EQ(form.textView(MetadataField::keywords)->toPlainText(), QStringLiteral("sea, sky"));
    EXPECT_EQ(field(MetadataField::originalDate)->text(), displayText(at(2020, 5, 17, 9, 30)));
    EXPECT_TRUE(field(MetadataField::artist)->placeholderText().isEmpty());
    for (const MetadataField f : allMetadataFields())
        EXPECT_FALSE(isMarked(f)) << fieldInfo(f).name;
}

TEST_F(EditorTest, SeveralMarkedFilesShowSharedValuesAndPlaceholdersElsewhere)
{
    Metadata first;
    first.setArtist(QStringLiteral("Ann"));
    first.setCopyright(QString());
    first.setMake(QStringLiteral("Nikon"));
    first.setUserComment(QStringLiteral("one"));
    first.setFlash(1);
    first.setOrientation(6);
    first.setFocalLength(35.0);
    first.setOriginalDate(at(2021, 1, 2));
    first.setModifyDate(at(2021, 1, 3));
    Metadata second = first;
    second.setMake(QStringLiteral("Canon"));
    second.setUserComment(QStringLiteral("two"));
    second.setFlash(0);
    second.setModifyDate(at(2021, 1, 3, 12, 0, 1));
    addFile(first);
    addFile(second);
    Metadata hidden; // marked but not displayed: not compared
    hidden.setArtist(QStringLiteral("Bob"));

    form.showMetadataOfMarkedFiles();

    const auto &combined = form.fileInfo();
    ASSERT_TRUE(combined && combined->metadata);
    EXPECT_FALSE(combined->url.has_value()) << "a record of its own";
    EXPECT_FALSE(displayedFiles().contains(combined));
    EXPECT_EQ(record().artist(), QStringLiteral("Ann"));
    EXPECT_EQ(field(MetadataField::artist)->text(), QStringLiteral("Ann"));
    EXPECT_TRUE(field(MetadataField::artist)->placeholderText().isEmpty());
    EXPECT_EQ(record().copyright(), QString()) << "a shared empty text is a value";
    EXPECT_TRUE(field(MetadataField::copyright)->placeholderText().isEmpty());

    EXPECT_FALSE(record().make().has_value());
    EXPECT_TRUE(field(MetadataField::make)->text().isEmpty());
    EXPECT_EQ(field(MetadataField::make)->placeholderText(), differ());
    EXPECT_EQ(form.textView(MetadataField::userComment)->placeholderAttributedString(), differ());
    EXPECT_EQ(field(MetadataField::city)->placeholderText(), noneHas());
    EXPECT_EQ(field(MetadataField::modifyDate)->placeholderText(), differ()) << "a second apart";

    EXPECT_FALSE(record().flash().has_value());
    EXPECT_EQ(popUp(MetadataField::flash)->currentIndex(), 0) << "pop-ups get no placeholder";
    EXPECT_EQ(popUp(MetadataField::orientation)->currentText(), QStringLiteral("Rotate 90 CW"));
    EXPECT_EQ(field(MetadataField::focalLength)->text(), QStringLiteral("35"));

    // The shared date gets a rule made from it, so the batch keeps it.
    EXPECT_EQ(record().originalDate(), at(2021, 1, 2));
    EXPECT_EQ(record().dateTimeOriginalDate()->originalDate, at(2021, 1, 2));
    EXPECT_EQ(field(MetadataField::originalDate)->text(), displayText(at(2021, 1, 2)));
    for (const MetadataField f : allMetadataFields())
        EXPECT_FALSE(isMarked(f)) << fieldInfo(f).name;
}

TEST_F(EditorTest, AFirstMarkedFileNotReadYetLeavesTheCombinedRecordEmpty)
{
    Metadata values;
    values.setArtist(QStringLiteral("Ann"));
    auto pending = std::make_shared<FileInfo>();
    pending->metadata.reset();
    pending->isMark = true;
    displayedFiles() << pending;
    addFile(values);
    form.showMetadataOfMarkedFiles();
    EXPECT_FALSE(record().artist().has_value());
    EXPECT_TRUE(field(MetadataField::artist)->placeholderText().isEmpty());

    // As a later file it holds no values, so the first file's value differs.
    displayedFiles().swapItemsAt(0, 1);
    form.showMetadataOfMarkedFiles();
    EXPECT_EQ(field(MetadataField::artist)->placeholderText(), differ());
    EXPECT_EQ(field(MetadataField::city)->placeholderText(), noneHas());

    // As the only marked file it becomes the record; nothing is tracked.
    displayedFiles()[0]->isMark = false;
    form.showMetadataOfMarkedFiles();
    EXPECT_EQ(form.fileInfo(), pending);
    type(MetadataField::artist, QStringLiteral("x"));
    EXPECT_FALSE(isMarked(MetadataField::artist));
}

TEST_F(EditorTest, EditsSurviveAReloadAndPassToTheNextRecord)
{
    Metadata a;
    a.setArtist(QStringLiteral("Ann"));
    a.setOriginalDate(at(2019, 3, 4));
    Metadata b;
    b.setArtist(QStringLiteral("Bob"));
    b.setOriginalDate(at(2018, 1, 1));
    const auto fileA = addFile(a);
    const auto fileB = addFile(b, false);
    form.showMetadataOfMarkedFiles();

    type(MetadataField::artist, QStringLiteral("Carl"));
    ASSERT_TRUE(isEdited(MetadataField::artist));
    const auto rule = record().dateTimeOriginalDate();
    rule->isEmptyValue = true;
    record().setOriginalDateEdited(true);

    fileA->isMark = false;
    fileB->isMark = true;
    form.showMetadataOfMarkedFiles();

    EXPECT_EQ(form.fileInfo(), fileB);
    EXPECT_TRUE(fileB->metadata->isArtistEdited()) << "flags pass from record to record";
    EXPECT_TRUE(fileA->metadata->isArtistEdited()) << "and stay on the earlier file";
    EXPECT_EQ(field(MetadataField::artist)->text(), QStringLiteral("Carl"))
        << "an edited field keeps the user's text";
    EXPECT_TRUE(isMarked(MetadataField::artist));
    const auto carried = fileB->metadata->dateTimeOriginalDate();
    EXPECT_NE(carried, rule) << "a copy, not the same rule";
    EXPECT_TRUE(carried->isEmptyValue);

    // Both marked: the combined record takes the flags and the edited rule.
    fileA->isMark = true;
    form.showMetadataOfMarkedFiles();
    EXPECT_TRUE(record().isArtistEdited());
    EXPECT_TRUE(record().dateTimeOriginalDate()->isEmptyValue) << "the edited rule carries over";
}

TEST_F(EditorTest, NoMarkedFileGivesABlankRecordThatKeepsTheEdits)
{
    Metadata a;
    a.setCity(QStringLiteral("Lyon"));
    a.setHeadline(QStringLiteral("Old"));
    const auto file = addFile(a);
    form.showMetadataOfMarkedFiles();
    type(MetadataField::headline, QStringLiteral("New"));

    file->isMark = false;
    form.showMetadataOfMarkedFiles();
    EXPECT_NE(form.fileInfo(), file);
    EXPECT_TRUE(field(MetadataField::city)->text().isEmpty());
    EXPECT_TRUE(field(MetadataField::city)->placeholderText().isEmpty());
    EXPECT_EQ(field(MetadataField::headline)->text(), QStringLiteral("New"));
    EXPECT_TRUE(record().isHeadlineEdited());
}

TEST_F(EditorTest, ShowsTheValuesReadFromRealPhotosAsTheyAre)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    const QString path = testsupport::copyTestFile(QStringLiteral("images/Stonehenge.exv"), dir);
    Metadata read = Metadata::fromFile(path);
    ASSERT_TRUE(read.gpsLatitude().has_value());
    addFile(read);
    form.showMetadataOfMarkedFiles();
    EXPECT_EQ(leadingReal(field(MetadataField::gpsLatitude)->text()), *read.gpsLatitude());
    EXPECT_EQ(popUp(MetadataField::gpsLatitudeRef)->currentText(), QStringLiteral("North"));
    EXPECT_LT(leadingReal(field(MetadataField::gpsLongitude)->text()), 0.0);
    EXPECT_EQ(popUp(MetadataField::gpsLongitudeRef)->currentText(), QStringLiteral("West"));
    for (const MetadataField f : allMetadataFields())
        EXPECT_FALSE(isMarked(f)) << fieldInfo(f).name;

    // Every value of every sample, shown, agrees with its file: examined
    // again, none is taken for an edit, so none is ever written back.
    const QStringList names
        = QDir(testsupport::testDataDir() + QStringLiteral("/images")).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(names.size(), 75);
    for (const QString &name : names) {
        SCOPED_TRACE(qPrintable(name));
        displayedFiles().clear();
        addFile(Metadata::fromFile(testsupport::copyTestFile(QStringLiteral("images/") + name, dir)));
        form.showMetadataOfMarkedFiles();
        form.refreshAllEditedMarks();
        for (const MetadataField f : allMetadataFields())
            EXPECT_FALSE(isMarked(f)) << fieldInfo(f).name;
        EXPECT_FALSE(record().isEdited());
    }
}

TEST_F(EditorTest, AFileWhoseValuesAreStillReadShowsBlankThenFillsWithoutLosingTyping)
{
    Metadata earlier;
    earlier.setArtist(QStringLiteral("Previous"));
    earlier.setMake(QStringLiteral("Previous camera"));
    const auto shown = addFile(earlier);
    form.showMetadataOfMarkedFiles();
    ASSERT_EQ(field(MetadataField::make)->text(), QStringLiteral("Previous camera"));

    // The newly marked file's values have not been read yet.
    shown->isMark = false;
    auto loading = std::make_shared<FileInfo>();
    loading->metadata = nullptr;
    loading->isMark = true;
    displayedFiles() << loading;
    form.showMetadataOfMarkedFiles();
    EXPECT_EQ(form.fileInfo(), loading);
    EXPECT_TRUE(field(MetadataField::make)->text().isEmpty()) << "never the previous file's values";
    type(MetadataField::copyright, QStringLiteral("Mine"));

    Metadata read;
    read.setMake(QStringLiteral("Its camera"));
    read.setCopyright(QStringLiteral("Theirs"));
    loading->metadata = std::make_shared<Metadata>(read);
    emit FileInfoEvents::shared().detailsArrived(loading);

    EXPECT_EQ(field(MetadataField::make)->text(), QStringLiteral("Its camera"));
    EXPECT_EQ(field(MetadataField::copyright)->text(), QStringLiteral("Mine")) << "typed meanwhile, kept";
    EXPECT_TRUE(isMarked(MetadataField::copyright));
    EXPECT_TRUE(loading->metadata->isCopyrightEdited());
    EXPECT_FALSE(isMarked(MetadataField::make));
}
