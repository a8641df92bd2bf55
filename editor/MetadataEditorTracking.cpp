// SPDX-License-Identifier: GPL-3.0-or-later
// Which fields the user edited, what the form holds, and whether it may be
// edited at all.

#include "editor/MetadataEditorViewController.h"

#include "controls/CustomTextView.h"
#include "editor/FieldBox.h"
#include "editor/FieldComparison.h"
#include "editor/NumberText.h"
#include "editor/PopUpValues.h"
#include "engine/DateTexts.h"
#include "engine/FileInfo.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

void MetadataEditorViewController::fieldChanged(QObject *sender)
{
    if (m_isPreset || !m_fileInfo || !m_fileInfo->metadata)
        return;
    const std::optional<MetadataField> field = fieldOfControl(sender);
    if (!field)
        return;
    FieldBox *mark = box(*field);
    if (!mark)
        return;
    Metadata &record = *m_fileInfo->metadata;
    mark->setBorderColor(
        controlDiffers(formField(*field), record) ? FieldBox::editedColor() : FieldBox::clearColor());
    record.setEdited(*field, mark->isMarked());
}

bool MetadataEditorViewController::controlDiffers(const FormFieldInfo &row, const Metadata &record) const
{
    const Metadata::Value &value = record.value(row.field);
    const bool present = record.hasValue(row.field);
    switch (row.control) {
    case FormControl::TextField:
    case FormControl::TextView: {
        const QString shown = row.control == FormControl::TextView ? textView(row.field)->toPlainText()
                                                                   : textField(row.field)->text();
        return present ? !sameText(shown, std::get<QString>(value)) : !shown.isEmpty();
    }
    // An emptied number field differs from a stored number, 0 included:
    // it removes the value.
    case FormControl::IntegerField: {
        const QString shown = textField(row.field)->text();
        if (!present)
            return !shown.isEmpty();
        return trimmedBlanks(shown).isEmpty() || leadingInteger(shown) != std::get<qint64>(value);
    }
    case FormControl::DecimalField:
    case FormControl::GpsField: {
        const QString shown = textField(row.field)->text();
        if (!present)
            return !shown.isEmpty();
        return trimmedBlanks(shown).isEmpty() || !(leadingReal(shown) == std::get<double>(value));
    }
    case FormControl::DateField: {
        const QString shown = textField(row.field)->text();
        return present ? shown != displayText(std::get<QDateTime>(value)) : !shown.isEmpty();
    }
    case FormControl::PopUp: {
        const int index = popUp(row.field)->currentIndex();
        if (!present)
            return index > 0;
        return !sameValue(popUpEntry(row, index), value);
    }
    case FormControl::CountryPopUp: {
        const QComboBox *shown = popUp(row.field);
        const int index = shown->currentIndex();
        if (!present)
            return index > 0;
        if (index >= m_locales.size())
            return !sameValue(popUpEntry(row, index), value);
        const QList<CountryLocale> entries = countryEntriesWithCode(m_locales, std::get<QString>(value));
        // A code without an entry shows as itself: any entry picked differs.
        return entries.isEmpty() || index < 0 || shown->currentText() != entries.first().countryName;
    }
    }
    return false;
}

Metadata::Value MetadataEditorViewController::popUpEntry(const FormFieldInfo &row, int index) const
{
    const int listed = listedItemCount(row);
    if (index < 0)
        return {};
    if (index < listed) {
        if (row.control == FormControl::PopUp)
            return popUpValues(row.field)->entry(index);
        return m_locales.at(index).countryCode;
    }
    const QVariant shown = popUp(row.field)->itemData(index);
    if (fieldKind(row.field) == FieldKind::Integer)
        return qint64(shown.toLongLong());
    return shown.toString();
}

int MetadataEditorViewController::listedItemCount(const FormFieldInfo &row) const
{
    return int(row.control == FormControl::CountryPopUp ? m_locales.size() : popUpValues(row.field)->count());
}

Metadata MetadataEditorViewController::editedMetadata() const
{
    Metadata edited;
    if (!isViewLoaded())
        return edited;
    const Metadata *record = m_fileInfo ? m_fileInfo->metadata.get() : nullptr;
    edited.copyEditedFlags(record);
    for (const FormFieldInfo &row : formFields) {
        if (const std::optional<DateRule> rule = dateRuleOf(row.field)) {
            if (record)
                edited.set<FieldKind::Date>(row.field, record->dateTime(*rule)->newDateFromOriginal());
        } else {
            edited.setValue(row.field, controlValue(row));
        }
    }
    if (record) {
        for (int i = 0; i < dateRuleCount; ++i)
            edited.setDateTime(DateRule(i), record->dateTime(DateRule(i)));
    }
    return edited;
}

Metadata::Value MetadataEditorViewController::controlValue(const FormFieldInfo &row) const
{
    switch (row.control) {
    case FormControl::TextField:
    case FormControl::TextView: {
        const QString shown = row.control == FormControl::TextView ? textView(row.field)->toPlainText()
                                                                   : textField(row.field)->text();
        return shown.isEmpty() ? Metadata::Value() : Metadata::Value(shown);
    }
    case FormControl::IntegerField: {
        const QString shown = textField(row.field)->text();
        return trimmedBlanks(shown).isEmpty() ? Metadata::Value() : Metadata::Value(leadingInteger(shown));
    }
    case FormControl::DecimalField:
    case FormControl::GpsField: {
        const QString shown = textField(row.field)->text();
        return trimmedBlanks(shown).isEmpty() ? Metadata::Value() : Metadata::Value(leadingReal(shown));
    }
    case FormControl::PopUp: {
        const int index = popUp(row.field)->currentIndex();
        return index > 0 ? popUpEntry(row, index) : Metadata::Value();
    }
    case FormControl::CountryPopUp: {
        const int index = popUp(row.field)->currentIndex();
        if (index <= 0)
            return {};
        if (index >= m_locales.size())
            return popUpEntry(row, index);
        const QList<CountryLocale> entries = countryEntriesWithSelectedTitle();
        return entries.isEmpty() ? Metadata::Value() : Metadata::Value(entries.first().countryCode);
    }
    case FormControl::DateField:
        break;
    }
    return {};
}

QList<CountryLocale> MetadataEditorViewController::countryEntriesWithSelectedTitle() const
{
    QList<CountryLocale> found;
    const QComboBox *country = popUp(MetadataField::countryPrimaryLocationCode);
    if (!country || country->currentIndex() < 0)
        return found;
    const QString title = country->currentText();
    for (const CountryLocale &entry : m_locales) {
        if (entry.countryName == title)
            found << entry;
    }
    return found;
}

void MetadataEditorViewController::setEditable(bool editable)
{
    if (!isViewLoaded())
        return;
    m_isEditableUI = editable;
    for (const FormFieldInfo &row : formFields) {
        if (QComboBox *box = popUp(row.field))
            box->setEnabled(editable);
        else if (CustomTextView *view = textView(row.field))
            view->setReadOnly(!editable);
        else if (row.control != FormControl::DateField)
            textField(row.field)->setReadOnly(!editable);
        // A read-only form offers no date popover and no map.
        if (QPushButton *button = dateButton(row.field))
            button->setEnabled(editable);
    }
    m_editLocationButton->setEnabled(editable);
}

void MetadataEditorViewController::resetEditedMarks()
{
    const std::shared_ptr<Metadata> record = m_fileInfo ? m_fileInfo->metadata : nullptr;
    if (record)
        record->resetEditedFlags();
    if (!isViewLoaded())
        return;
    for (const FormFieldInfo &row : formFields)
        box(row.field)->setBorderColor(FieldBox::clearColor());
    if (!record)
        return;
    for (int i = 0; i < dateRuleCount; ++i)
        record->setDateTime(
            DateRule(i), std::make_shared<DateTime>(record->date(dateRules[std::size_t(i)].field)));
}
