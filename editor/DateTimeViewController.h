// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/DateTime.h"

#include <QPointer>
#include <QWidget>

#include <initializer_list>
#include <memory>

class QCheckBox;
class QDateTimeEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimeEdit;
class Stepper;

// The small screen in the editing form's date popover that sets the rule
// of one date field: keep the date, empty it, set a date, replace parts of
// it, or step its date or its time. It works on the rule object the form
// hands it, so every click is a change at once; after each change the
// screen is redrawn from the rule and the rule's one-line summary goes into
// the form's date field, whose edit mark the form then re-evaluates.
class DateTimeViewController : public QWidget
{
    Q_OBJECT
public:
    explicit DateTimeViewController(QWidget *parent = nullptr);

    // Shows rule (the object itself, kept) and writes its summary back.
    void showDateTime(std::shared_ptr<DateTime> rule);
    // Writes the summary of rule into the form's date field and runs the
    // form's edit rule for it; an empty summary (no mode chosen) changes
    // nothing.
    void updateEditorField(const std::shared_ptr<DateTime> &rule);
    // The one-line summary of rule; units without a value of their own are
    // read from this screen's fields.
    QString summary(const DateTime &rule) const;

    void setSelectDatePickerEnabled(bool enabled);
    void setUpdateDateControlsEnabled(bool enabled);
    void setIncDecDateControlsEnabled(bool enabled);
    void setIncDecTimeControlsEnabled(bool enabled);

    // The rules for typing into one of the nine number fields: clamp, store,
    // redraw.
    void controlTextDidChange(QLineEdit *field);

    // Actions of the controls.
    void clickedKeepOriginal();
    void clickedEmptyValue();
    void clickedSelectDate();
    void clickedSelectDatePicker();
    void clickedUpdateDate();
    void clickedKeepOriginalDayUpdateDate();
    void clickedKeepOriginalMonthUpdateDate();
    void clickedKeepOriginalYearUpdateDate();
    void clickedKeepOriginalTimeUpdateDate();
    void clickedTimeUpdateDatePicker();
    void clickedIDOriginalDate();
    void clickedStepperDayIDOriginalDate();
    void clickedMonthIDOriginalDate();
    void clickedStepperYearIDOriginalDate();
    void clickedKeepOriginalDayIDOriginalDate();
    void clickedKeepOriginalMonthIDOriginalDate();
    void clickedKeepOriginalYearIDOriginalDate();
    void clickedIDOriginalTime();
    void clickedStepperHourIDOriginalTime();
    void clickedStepperMinuteIDOriginalTime();
    void clickedStepperSecondIDOriginalTime();
    void clickedKeepOriginalHourIDOriginalTime();
    void clickedKeepOriginalMinuteIDOriginalTime();
    void clickedKeepOriginalSecondIDOriginalTime();

    // The rule shown; a fresh rule without a date until the first showing.
    std::shared_ptr<DateTime> dateTime = std::make_shared<DateTime>();
    // The form's date field that receives the summary, and the form whose
    // edit rule then runs (any object with a fieldChanged(QWidget *) slot).
    QPointer<QLineEdit> textFieldEditor;
    QPointer<QObject> metadataEditorVC;
    // Set for the preset manager's form: the date-changing modes stay
    // available without an original date.
    bool isPreset = false;

    QPointer<QLabel> lblDateTimeConfiguration;
    QPointer<QRadioButton> btnKeepOriginal;
    QPointer<QRadioButton> btnEmptyValue;
    QPointer<QRadioButton> btnSelectDate;
    QPointer<QDateTimeEdit> selectDatePicker;
    QPointer<QRadioButton> btnUpdateDate;
    QPointer<QFrame> boxUpdateDate;
    QPointer<QLabel> lblDayUpdateDate;
    QPointer<QLineEdit> txtFieldDayUpdateDate;
    QPointer<QCheckBox> btnKeepOriginalDayUpdateDate;
    QPointer<QLabel> lblMonthUpdateDate;
    QPointer<QLineEdit> txtFieldMonthUpdateDate;
    QPointer<QCheckBox> btnKeepOriginalMonthUpdateDate;
    QPointer<QLabel> lblYearUpdateDate;
    QPointer<QLineEdit> txtFieldYearUpdateDate;
    QPointer<QCheckBox> btnKeepOriginalYearUpdateDate;
    QPointer<QLabel> lblTimeUpdateDate;
    QPointer<QTimeEdit> timeUpdateDatePicker;
    QPointer<QCheckBox> btnKeepOriginalTimeUpdateDate;
    QPointer<QRadioButton> btnIDOriginalDate;
    QPointer<QLabel> lblDayIDOriginalDate;
    QPointer<QLineEdit> txtFieldDayIDOriginalDate;
    QPointer<Stepper> stepperDayIDOriginalDate;
    QPointer<QCheckBox> btnKeepOriginalDayIDOriginalDate;
    QPointer<QLabel> lblMonthIDOriginalDate;
    QPointer<QLineEdit> txtFieldMonthIDOriginalDate;
    QPointer<Stepper> stepperMonthIDOriginalDate;
    QPointer<QCheckBox> btnKeepOriginalMonthIDOriginalDate;
    QPointer<QLabel> lblYearIDOriginalDate;
    QPointer<QLineEdit> txtFieldYearIDOriginalDate;
    QPointer<Stepper> stepperYearIDOriginalDate;
    QPointer<QCheckBox> btnKeepOriginalYearIDOriginalDate;
    QPointer<QRadioButton> btnIDOriginalTime;
    QPointer<QLabel> lblHourIDOriginalTime;
    QPointer<QLineEdit> txtFieldHourIDOriginalTime;
    QPointer<Stepper> stepperHourIDOriginalTime;
    QPointer<QCheckBox> btnKeepOriginalHourIDOriginalTime;
    QPointer<QLabel> lblMinuteIDOriginalTime;
    QPointer<QLineEdit> txtFieldMinuteIDOriginalTime;
    QPointer<Stepper> stepperMinuteIDOriginalTime;
    QPointer<QCheckBox> btnKeepOriginalMinuteIDOriginalTime;
    QPointer<QLabel> lblSecondIDOriginalTime;
    QPointer<QLineEdit> txtFieldSecondIDOriginalTime;
    QPointer<Stepper> stepperSecondIDOriginalTime;
    QPointer<QCheckBox> btnKeepOriginalSecondOriginalTime;

private:
    void buildControls();
    void connectActions();
    void setUpTexts();
    // Exactly one mode on.
    void setMode(bool DateTime::*mode);
    // One change of the rule, then the redraw.
    void chooseMode(bool DateTime::*mode);
    void takeKeep(QCheckBox *box, bool DateTime::*keep);
    void takeStep(Stepper *stepper, std::optional<qint64> DateTime::*amount);
    void refresh();
    void refreshKeepBox(
        QCheckBox *box, bool keep, bool groupActive, std::initializer_list<QWidget *> controls);
    QDateTime timePickerDate() const;
};
