// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/FormFields.h"
#include "editor/MarkedValues.h"
#include "engine/Countries.h"
#include "engine/Metadata.h"
#include "platform/widgets/Popover.h"

#include <QPointer>
#include <QVariantMap>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class CustomTextView;
class DateTimeViewController;
class EditLocationViewController;
class FieldBox;
class FileInfo;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The metadata editing form: every one of the 75 values of one record in
// sections under the Exif, IPTC, XMP and other headings. It marks each
// field whose control differs from the record (the field's box turns
// yellow and the record's edited flag is set), keeps what the user types
// within what the value can hold, and hands the edited values to a batch or
// a preset.
//
// The record is one file's own FileInfo when one file is marked, or a
// record of the values all marked files share. The form's controls are
// built when its view loads (loadView(), also on first showing); until then
// every operation that needs them does nothing. GUI thread only.
class MetadataEditorViewController : public QWidget
{
    Q_OBJECT
public:
    explicit MetadataEditorViewController(QWidget *parent = nullptr);
    ~MetadataEditorViewController() override;

    // Offsets of the section headings from the top of the form, for owners
    // that scroll to a section.
    int headingOffset(FormHeading heading) const;

    // Builds the controls and sets them up, once. An owner that embeds the
    // form calls it before filling the form.
    void loadView();
    bool isViewLoaded() const { return !m_fields[0].control.isNull(); }

    // The outlets of one field; null while the view is not loaded, and for
    // an outlet the field does not have.
    QLabel *label(MetadataField field) const;
    FieldBox *box(MetadataField field) const;
    QWidget *control(MetadataField field) const;
    QLineEdit *textField(MetadataField field) const;
    CustomTextView *textView(MetadataField field) const;
    QComboBox *popUp(MetadataField field) const;
    QPushButton *dateButton(MetadataField field) const;
    QLabel *heading(FormHeading heading) const;
    QLabel *lblEnterKeywordsCommaSeprated() const;
    QLabel *lblEditLocationWithMap() const;
    QPushButton *btnEditLocationWithMap() const;
    // The controls the location editor writes into.
    QLineEdit *txtFieldGPSLatitude() const { return textField(MetadataField::gpsLatitude); }
    QLineEdit *txtFieldGPSLongitude() const { return textField(MetadataField::gpsLongitude); }
    QComboBox *popUpGPSLatitudeRef() const { return popUp(MetadataField::gpsLatitudeRef); }
    QComboBox *popUpGPSLongitudeRef() const { return popUp(MetadataField::gpsLongitudeRef); }

    // The record the form shows and measures edits against; may be null
    // (after a batch, say). A new form holds a blank record.
    const std::shared_ptr<FileInfo> &fileInfo() const { return m_fileInfo; }
    void setFileInfo(std::shared_ptr<FileInfo> fileInfo);
    // The countries of the country pop-up, item by item; "Leave Blank" with
    // the empty code stands first once the view has loaded.
    const QList<CountryLocale> &locales() const { return m_locales; }
    // False makes the form read-only: text cannot be typed, pop-ups are off
    // and the date and map buttons open nothing.
    bool isEditableUI() const { return m_isEditableUI; }
    // The preset manager's form: it never marks a field as edited.
    bool isPreset() const { return m_isPreset; }
    void setPreset(bool preset) { m_isPreset = preset; }

    // Loading values.
    // Makes the record the marked one of the displayed files, or a record of
    // the values all marked files share (placeholders where they differ or
    // all lack one); the user's edits and edited date rules carry over.
    void showMetadataOfMarkedFiles();
    // Shows the record's own values again; a record whose values are still
    // being read shows blank fields, filled when the values arrive.
    void showFileInfoMetadata();
    // Writes the values of metadata into every control whose field it does
    // not mark as edited. copyDateTimes makes the record share metadata's
    // date rules; resetEdits clears all marks and flags first.
    void showMetadata(Metadata &metadata, bool copyDateTimes, bool resetEdits);
    // Lays a preset's present values over what the form shows; the record
    // takes the preset's date rules where the preset holds a date or a rule.
    void showPresetMetadata(const Metadata &preset);
    // Shows the preset, then marks of the fields it holds those that differ
    // from the record; every other field keeps its mark and its flag.
    void applyPreset(const Metadata &preset);
    // Shows each date rule's summary in its date field.
    void updateDateFields();
    void resetPlaceholders();
    // Re-examines every field against the record.
    void refreshAllEditedMarks();
    // Re-examines the fields set in fields.
    void refreshEditedMarks(const Metadata::EditedFlags &fields);

    // Marks sender's field when its content differs from the record and
    // stores that in the record's edited flag. Does nothing on a preset
    // form, without a record or its metadata, or for a control of no field.
    Q_INVOKABLE void fieldChanged(QObject *sender);
    // A new record of what the form holds, with the record's edited flags
    // and its very date rules.
    Metadata editedMetadata() const;
    // The country entries named like the country pop-up's selected item.
    QList<CountryLocale> countryEntriesWithSelectedTitle() const;
    void setEditable(bool editable);
    // Forgets every edit: flags, marks and the record's date rules.
    void resetEditedMarks();

    // Actions of the controls.
    void clickedPopUp(QComboBox *sender);
    void clickedGpsReference(MetadataField referenceField);
    void showDatePopover(QPushButton *button, MetadataField dateField);
    void clickedEditLocationWithMap();

    // After each change the user makes to a text control.
    void controlTextDidChange(QLineEdit *field);
    void textDidChange(CustomTextView *view);

    // Whole numbers are held within this range.
    static constexpr qint64 lowestWholeNumber = -65535;
    static constexpr qint64 highestWholeNumber = 65535;
    static QString valueRangeText(qint64 lowest = lowestWholeNumber, qint64 highest = highestWholeNumber);

    // The date popover, not animated, closed by a click outside.
    platform::Popover &datePopOver() { return m_datePopOver; }
    // This form's own date and time screen (the popover's content) and
    // location editor, each made on first use and kept with the form.
    DateTimeViewController *sharedDateTime();
    EditLocationViewController *sharedLocationEditor();

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct FieldOutlets
    {
        QPointer<QLabel> label;
        QPointer<FieldBox> box;
        QPointer<QWidget> control;
        QPointer<QPushButton> button;
    };

    void buildLayout();
    QWidget *makeControl(const FormFieldInfo &row, QWidget *parent);
    void setupPopUps();
    void setUpTexts();

    // The field whose control is sender, or none.
    std::optional<MetadataField> fieldOfControl(const QObject *sender) const;
    bool controlDiffers(const FormFieldInfo &row, const Metadata &record) const;
    // Writes a present value into the field's control; a pop-up shows a
    // value its list lacks as itself, in an item after the list's.
    void writeValue(const FormFieldInfo &row, const Metadata::Value &value);
    void writeAbsentValue(const FormFieldInfo &row);
    void showUnlistedValue(const FormFieldInfo &row, const Metadata::Value &value);
    void dropUnlistedItem(const FormFieldInfo &row);
    int listedItemCount(const FormFieldInfo &row) const;
    // The value item index of a pop-up stands for; none for no item.
    Metadata::Value popUpEntry(const FormFieldInfo &row, int index) const;
    void setControlText(const FormFieldInfo &row, const QString &text);
    void setPlaceholder(const FormFieldInfo &row, const QString &text);
    Metadata::Value controlValue(const FormFieldInfo &row) const;
    void selectPopUpTitle(QComboBox *popUp, const QString &title);
    void takeGpsSign(MetadataField numberField);
    void updateDateField(MetadataField dateField, const std::shared_ptr<DateTime> &rule);
    // The record's values arrived after it became the form's record.
    void detailsArrived(const std::shared_ptr<FileInfo> &file);
    void showWaitingRecord(
        const Metadata *previous, const std::array<std::optional<QVariantMap>, dateRuleCount> &snapshots);

    std::array<FieldOutlets, metadataFieldCount> m_fields;
    std::array<QPointer<QLabel>, formHeadings.size()> m_headings;
    QPointer<QLabel> m_keywordsHint;
    QPointer<FieldBox> m_editLocationBox;
    QPointer<QLabel> m_editLocationLabel;
    QPointer<QPushButton> m_editLocationButton;

    QList<CountryLocale> m_locales;
    std::shared_ptr<FileInfo> m_fileInfo;
    // What the marked files share, kept between refills of a record of
    // several files.
    MarkedValues m_markedValues;
    bool m_isEditableUI = true;
    bool m_isPreset = false;
    // Set while the form writes into a text view itself, which is no edit.
    bool m_writingTextView = false;
    // What the form kept of the previous record while its own record's
    // values have not been read yet: edited flags and date rules.
    std::unique_ptr<Metadata> m_waiting;
    std::unique_ptr<DateTimeViewController> m_dateTime;
    // Presented as a window of its own, which may outlive the form's tree.
    QPointer<EditLocationViewController> m_locationEditor;
    platform::Popover m_datePopOver;
};
