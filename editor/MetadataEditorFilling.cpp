// SPDX-License-Identifier: GPL-3.0-or-later
// Putting records, marked files and presets into the form.

#include "editor/MetadataEditorViewController.h"

#include "common/Globals.h"
#include "common/Localization.h"
#include "controls/CustomTextView.h"
#include "editor/DateTimeViewController.h"
#include "editor/FieldBox.h"
#include "editor/FieldComparison.h"
#include "editor/NumberText.h"
#include "editor/PopUpValues.h"
#include "editor/PresetFields.h"
#include "engine/DateTexts.h"
#include "engine/FileInfo.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

// Each edited date of record takes a copy of the previous record's rule,
// never the rule object itself.
void takeEditedDateRules(
    Metadata &record, const std::array<std::optional<QVariantMap>, dateRuleCount> &previousRules)
{
    for (int i = 0; i < dateRuleCount; ++i) {
        const auto &rule = previousRules[std::size_t(i)];
        if (rule && record.isEdited(dateRules[std::size_t(i)].field))
            record.setDateTime(DateRule(i), std::make_shared<DateTime>(DateTime::fromDictionary(*rule)));
    }
}

} // namespace

void MetadataEditorViewController::showMetadataOfMarkedFiles()
{
    if (!isViewLoaded())
        return;
    const FileInfoList marked = markedFiles(displayedFiles());
    resetPlaceholders();

    // The previous record's edits carry over, dates with their rules; while
    // that record's values were still being read, what the form kept of it.
    const std::shared_ptr<Metadata> previousRecord = m_fileInfo ? m_fileInfo->metadata : nullptr;
    const std::unique_ptr<Metadata> waiting = std::move(m_waiting);
    const Metadata *previous = previousRecord ? previousRecord.get() : waiting.get();
    std::array<std::optional<QVariantMap>, dateRuleCount> snapshots;
    if (previous) {
        for (int i = 0; i < dateRuleCount; ++i)
            snapshots[std::size_t(i)] = previous->dateTime(DateRule(i))->dictionary();
    }

    if (marked.size() == 1) {
        m_markedValues.clear();
        const std::shared_ptr<FileInfo> &file = marked.first();
        m_fileInfo = file;
        if (!file->metadata) {
            // Never the previous file's values: blank until this one's arrive.
            showWaitingRecord(previous, snapshots);
            return;
        }
        file->metadata->copyEditedFlags(previous);
    } else {
        auto combined = std::make_shared<FileInfo>();
        Metadata &values = *combined->metadata;
        values.copyEditedFlags(previous);
        m_markedValues.update(marked);
        if (const std::shared_ptr<Metadata> &reference = m_markedValues.reference()) {
            const QString differ = localizedString(QStringLiteral("QX_ID_243"));
            const QString noneHas = localizedString(QStringLiteral("QX_ID_244"));
            for (const FormFieldInfo &row : formFields) {
                const MetadataField field = row.field;
                if (!m_markedValues.isShared(field)) {
                    setPlaceholder(row, differ);
                } else if (!reference->hasValue(field)) {
                    setPlaceholder(row, noneHas);
                } else {
                    values.setValue(field, reference->value(field));
                    const std::optional<DateRule> rule = dateRuleOf(field);
                    if (rule && !reference->isEdited(field))
                        values.setDateTime(*rule, std::make_shared<DateTime>(reference->date(field)));
                }
            }
        }
        m_fileInfo = combined;
    }

    Metadata &record = *m_fileInfo->metadata;
    takeEditedDateRules(record, snapshots);
    showMetadata(record, false, false);
}

// The record's values are still being read: the form keeps the previous
// record's edits and blanks everything else until they arrive.
void MetadataEditorViewController::showWaitingRecord(
    const Metadata *previous, const std::array<std::optional<QVariantMap>, dateRuleCount> &snapshots)
{
    m_waiting = std::make_unique<Metadata>();
    m_waiting->copyEditedFlags(previous);
    takeEditedDateRules(*m_waiting, snapshots);
    for (const FormFieldInfo &row : formFields) {
        if (m_waiting->isEdited(row.field))
            continue;
        writeAbsentValue(row);
        box(row.field)->setBorderColor(FieldBox::clearColor());
    }
}

void MetadataEditorViewController::detailsArrived(const std::shared_ptr<FileInfo> &file)
{
    if (!m_waiting || file != m_fileInfo || !file->metadata || !isViewLoaded())
        return;
    const std::unique_ptr<Metadata> waiting = std::move(m_waiting);
    Metadata &record = *file->metadata;
    record.copyEditedFlags(waiting.get());
    for (const FormFieldInfo &row : formFields) {
        // What the user typed while the values were read is an edit.
        if (!record.isEdited(row.field) && controlDiffers(row, *waiting))
            record.setEdited(row.field, true);
        if (const std::optional<DateRule> rule = dateRuleOf(row.field); rule && record.isEdited(row.field))
            record.setDateTime(*rule, waiting->dateTime(*rule));
    }
    showMetadata(record, false, false);
    // The other fields now show the record's values: only edits are marked.
    refreshEditedMarks(record.editedFlags());
}

void MetadataEditorViewController::showFileInfoMetadata()
{
    if (!isViewLoaded() || !m_fileInfo)
        return;
    if (m_fileInfo->metadata)
        showMetadata(*m_fileInfo->metadata, false, false);
    else
        showWaitingRecord(nullptr, {});
}

void MetadataEditorViewController::showMetadata(Metadata &metadata, bool copyDateTimes, bool resetEdits)
{
    if (!isViewLoaded())
        return;
    if (resetEdits) {
        metadata.resetEditedFlags();
        resetEditedMarks();
    }
    for (const FormFieldInfo &row : formFields) {
        if (metadata.isEdited(row.field))
            continue;
        if (metadata.hasValue(row.field))
            writeValue(row, metadata.value(row.field));
        else
            writeAbsentValue(row);
        box(row.field)->setBorderColor(FieldBox::clearColor());
    }
    if (copyDateTimes && m_fileInfo && m_fileInfo->metadata) {
        for (int i = 0; i < dateRuleCount; ++i)
            m_fileInfo->metadata->setDateTime(DateRule(i), metadata.dateTime(DateRule(i)));
    }
    updateDateFields();
}

void MetadataEditorViewController::showPresetMetadata(const Metadata &preset)
{
    if (!isViewLoaded())
        return;
    const std::shared_ptr<Metadata> record = m_fileInfo ? m_fileInfo->metadata : nullptr;
    for (const FormFieldInfo &row : formFields) {
        if (!preset.hasValue(row.field))
            continue;
        writeValue(row, preset.value(row.field));
        if (const std::optional<DateRule> rule = dateRuleOf(row.field); rule && record)
            record->setDateTime(*rule, preset.dateTime(*rule));
    }
    if (record) {
        for (int i = 0; i < dateRuleCount; ++i) {
            const std::shared_ptr<DateTime> &rule = preset.dateTime(DateRule(i));
            if (rule->isAnyOptionSelected())
                record->setDateTime(DateRule(i), rule);
        }
    }
    updateDateFields();
}

void MetadataEditorViewController::applyPreset(const Metadata &preset)
{
    showPresetMetadata(preset);
    refreshEditedMarks(presetFields(preset));
}

void MetadataEditorViewController::updateDateFields()
{
    const std::shared_ptr<Metadata> record = m_fileInfo ? m_fileInfo->metadata : nullptr;
    for (int i = 0; i < dateRuleCount; ++i) {
        const DateRule rule = DateRule(i);
        updateDateField(
            dateRules[std::size_t(i)].field, record ? record->dateTime(rule) : std::make_shared<DateTime>());
    }
}

void MetadataEditorViewController::updateDateField(
    MetadataField dateField, const std::shared_ptr<DateTime> &rule)
{
    DateTimeViewController *editor = sharedDateTime();
    editor->metadataEditorVC = this;
    editor->textFieldEditor = textField(dateField);
    editor->updateEditorField(rule);
}

void MetadataEditorViewController::resetPlaceholders()
{
    if (!isViewLoaded())
        return;
    for (const FormFieldInfo &row : formFields) {
        if (QComboBox *box = popUp(row.field)) {
            dropUnlistedItem(row);
            box->setCurrentIndex(0);
        } else {
            setPlaceholder(row, QString());
        }
    }
}

void MetadataEditorViewController::refreshAllEditedMarks()
{
    refreshEditedMarks(Metadata::EditedFlags().set());
}

void MetadataEditorViewController::refreshEditedMarks(const Metadata::EditedFlags &fields)
{
    if (!isViewLoaded())
        return;
    for (const FormFieldInfo &row : formFields) {
        if (fields.test(std::size_t(row.field)))
            fieldChanged(control(row.field));
    }
}

void MetadataEditorViewController::writeValue(const FormFieldInfo &row, const Metadata::Value &value)
{
    switch (row.control) {
    case FormControl::TextField:
    case FormControl::TextView:
        setControlText(row, std::get<QString>(value));
        break;
    case FormControl::IntegerField:
        setControlText(row, numberText(std::get<qint64>(value)));
        break;
    case FormControl::DecimalField:
    case FormControl::GpsField:
        setControlText(row, numberText(std::get<double>(value)));
        break;
    case FormControl::DateField:
        setControlText(row, displayText(std::get<QDateTime>(value)));
        break;
    case FormControl::PopUp: {
        dropUnlistedItem(row);
        const qsizetype index = popUpValues(row.field)->indexOf(value);
        if (index >= 0)
            popUp(row.field)->setCurrentIndex(int(index));
        else
            showUnlistedValue(row, value);
        break;
    }
    case FormControl::CountryPopUp: {
        dropUnlistedItem(row);
        const QList<CountryLocale> entries = countryEntriesWithCode(m_locales, std::get<QString>(value));
        if (!entries.isEmpty())
            selectPopUpTitle(popUp(row.field), entries.first().countryName);
        else
            showUnlistedValue(row, value);
        break;
    }
    }
}

void MetadataEditorViewController::writeAbsentValue(const FormFieldInfo &row)
{
    if (QComboBox *box = popUp(row.field)) {
        dropUnlistedItem(row);
        box->setCurrentIndex(0);
    } else {
        setControlText(row, QString());
    }
}

// A value the list does not hold gets an item of its own after the list's,
// showing the value itself: the pop-up shows what the record holds and
// agrees with it, so the value is never taken for an edit, and never lost.
void MetadataEditorViewController::showUnlistedValue(const FormFieldInfo &row, const Metadata::Value &value)
{
    QComboBox *box = popUp(row.field);
    const QVariant data = std::holds_alternative<qint64>(value) ? QVariant(qlonglong(std::get<qint64>(value)))
                                                                : QVariant(std::get<QString>(value));
    box->addItem(PopUpValues::valueText(value), data);
    box->setCurrentIndex(box->count() - 1);
}

void MetadataEditorViewController::dropUnlistedItem(const FormFieldInfo &row)
{
    QComboBox *box = popUp(row.field);
    const int listed = listedItemCount(row);
    while (box->count() > listed)
        box->removeItem(box->count() - 1);
}

void MetadataEditorViewController::setControlText(const FormFieldInfo &row, const QString &text)
{
    if (CustomTextView *view = textView(row.field)) {
        if (view->toPlainText() == text)
            return;
        m_writingTextView = true;
        view->setPlainText(text);
        m_writingTextView = false;
    } else if (QLineEdit *field = textField(row.field)) {
        field->setText(text);
    }
}

void MetadataEditorViewController::setPlaceholder(const FormFieldInfo &row, const QString &text)
{
    if (CustomTextView *view = textView(row.field)) {
        view->makePlaceholderAttributedString(text);
        view->viewport()->update();
    } else if (QLineEdit *field = textField(row.field)) {
        field->setPlaceholderText(text);
    }
}

// Titles here are the list's own: the references of a GPS number's sign
// and the countries.
void MetadataEditorViewController::selectPopUpTitle(QComboBox *popUp, const QString &title)
{
    popUp->setCurrentIndex(popUp->findText(title, Qt::MatchExactly | Qt::MatchCaseSensitive));
}
