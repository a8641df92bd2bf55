// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Globals.h"
#include "common/Localization.h"
#include "editor/FieldBox.h"
#include "editor/MetadataEditorViewController.h"
#include "engine/FileInfo.h"
#include "platform/widgets/ScreenRegistry.h"
#include "support/QtPrinters.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace editortest {

// A shown editing form with the bundled interface texts, and an empty
// displayed-file list that each test fills.
class EditorTest : public testing::Test
{
protected:
    void SetUp() override
    {
        loadLocalizationDictionary();
        displayedFiles().clear();
        form.resize(700, 500);
        form.show();
        ASSERT_TRUE(form.isViewLoaded());
    }
    void TearDown() override { displayedFiles().clear(); }

    // A file record holding metadata as read from a file (a rule made for
    // each date), listed as displayed and marked.
    std::shared_ptr<FileInfo> addFile(const Metadata &metadata, bool marked = true)
    {
        auto file = std::make_shared<FileInfo>();
        file->metadata = std::make_shared<Metadata>(metadata);
        file->metadata->refreshDateTimes();
        file->isMark = marked;
        displayedFiles() << file;
        return file;
    }

    Metadata &record() { return *form.fileInfo()->metadata; }
    QLineEdit *field(MetadataField f) { return form.textField(f); }
    QComboBox *popUp(MetadataField f) { return form.popUp(f); }
    bool isMarked(MetadataField f) { return form.box(f)->isMarked(); }
    bool isEdited(MetadataField f) { return record().isEdited(f); }

    // The user types into a field (after emptying it, like selecting all).
    void type(MetadataField f, const QString &text)
    {
        QLineEdit *edit = field(f);
        edit->setFocus();
        if (!edit->text().isEmpty()) {
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
        }
        QTest::keyClicks(edit, text);
    }
    // The user pastes text over a field's whole content.
    void paste(MetadataField f, const QString &text)
    {
        QLineEdit *edit = field(f);
        edit->setFocus();
        edit->selectAll();
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(edit, QKeySequence::Paste);
    }
    // The user picks item index of a pop-up.
    void choose(MetadataField f, int index)
    {
        QComboBox *box = popUp(f);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void choose(MetadataField f, const QString &title)
    {
        const int index = popUp(f)->findText(title);
        ASSERT_GE(index, 0) << qPrintable(title);
        choose(f, index);
    }

    platform::ScreenRegistry screens;
    MetadataEditorViewController form;
};

inline QDateTime at(int year, int month, int day, int hour = 12, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

} // namespace editortest
