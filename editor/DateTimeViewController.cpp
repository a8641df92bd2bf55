// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/DateTimeViewController.h"

#include "common/Globals.h"
#include "common/Localization.h"
#include "controls/NumberFormatters.h"
#include "editor/EditorWidgets.h"
#include "editor/FormLink.h"
#include "editor/NumberText.h"
#include "editor/Stepper.h"
#include "engine/DateTexts.h"
#include "engine/FileInfo.h"
#include "platform/Calendar.h"
#include "platform/DateFormat.h"
#include "platform/widgets/ThemeIcon.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <span>

using platform::Calendar;
using C = DateTimeViewController;

namespace {

using Label = QPointer<QLabel> C::*;
using Field = QPointer<QLineEdit> C::*;
using Box = QPointer<QCheckBox> C::*;
using Step = QPointer<Stepper> C::*;
using Amount = std::optional<qint64> DateTime::*;
using Flag = bool DateTime::*;

// A part of the date that the update mode replaces. An upper bound of 0
// stands for the current year.
struct UpdateUnit
{
    Label label;
    Field field;
    Box keepBox;
    Amount value;
    Flag keep;
    const char *word;
    qint64 lower;
    qint64 upper;
};

constexpr UpdateUnit updateUnits[] = {
    { &C::lblDayUpdateDate, &C::txtFieldDayUpdateDate, &C::btnKeepOriginalDayUpdateDate,
        &DateTime::dayUpdateDate, &DateTime::isKeepOriginalDayUpdateDate, "Day", 1, 31 },
    { &C::lblMonthUpdateDate, &C::txtFieldMonthUpdateDate, &C::btnKeepOriginalMonthUpdateDate,
        &DateTime::monthUpdateDate, &DateTime::isKeepOriginalMonthUpdateDate, "Month", 1, 12 },
    { &C::lblYearUpdateDate, &C::txtFieldYearUpdateDate, &C::btnKeepOriginalYearUpdateDate,
        &DateTime::yearUpdateDate, &DateTime::isKeepOriginalYearUpdateDate, "Year", 1, 0 },
};

// A unit the shift modes add to the date or the time, from -bound to bound.
struct ShiftUnit
{
    Label label;
    Field field;
    Step stepper;
    Box keepBox;
    Amount value;
    QString DateTime::*raw;
    Flag keep;
    const char *word;
    const char *titleKey;
    int bound;
};

constexpr ShiftUnit dateUnits[] = {
    { &C::lblDayIDOriginalDate, &C::txtFieldDayIDOriginalDate, &C::stepperDayIDOriginalDate,
        &C::btnKeepOriginalDayIDOriginalDate, &DateTime::dayIDOriginalDate,
        &DateTime::dayIDOriginalDateString, &DateTime::isKeepOriginalDayIDOriginalDate, "Day", "QX_ID_34",
        30 },
    { &C::lblMonthIDOriginalDate, &C::txtFieldMonthIDOriginalDate, &C::stepperMonthIDOriginalDate,
        &C::btnKeepOriginalMonthIDOriginalDate, &DateTime::monthIDOriginalDate,
        &DateTime::monthIDOriginalDateString, &DateTime::isKeepOriginalMonthIDOriginalDate, "Month",
        "QX_ID_35", 11 },
    { &C::lblYearIDOriginalDate, &C::txtFieldYearIDOriginalDate, &C::stepperYearIDOriginalDate,
        &C::btnKeepOriginalYearIDOriginalDate, &DateTime::yearIDOriginalDate,
        &DateTime::yearIDOriginalDateString, &DateTime::isKeepOriginalYearIDOriginalDate, "Year", "QX_ID_36",
        100 },
};

constexpr ShiftUnit timeUnits[] = {
    { &C::lblHourIDOriginalTime, &C::txtFieldHourIDOriginalTime, &C::stepperHourIDOriginalTime,
        &C::btnKeepOriginalHourIDOriginalTime, &DateTime::hourIDOriginalTime,
        &DateTime::hourIDOriginalTimeString, &DateTime::isKeepOriginalHourIDOriginalTime, "Hour", "QX_ID_40",
        23 },
    { &C::lblMinuteIDOriginalTime, &C::txtFieldMinuteIDOriginalTime, &C::stepperMinuteIDOriginalTime,
        &C::btnKeepOriginalMinuteIDOriginalTime, &DateTime::minuteIDOriginalTime,
        &DateTime::minuteIDOriginalTimeString, &DateTime::isKeepOriginalMinuteIDOriginalTime, "Minute",
        "QX_ID_41", 59 },
    { &C::lblSecondIDOriginalTime, &C::txtFieldSecondIDOriginalTime, &C::stepperSecondIDOriginalTime,
        &C::btnKeepOriginalSecondOriginalTime, &DateTime::secondIDOriginalTime,
        &DateTime::secondIDOriginalTimeString, &DateTime::isKeepOriginalSecondIDOriginalTime, "Second",
        "QX_ID_42", 59 },
};

constexpr Flag modes[] = { &DateTime::isKeepOriginal, &DateTime::isEmptyValue, &DateTime::isSelectDate,
    &DateTime::isUpdateDate, &DateTime::isIDOriginalDate, &DateTime::isIDOriginalTime };

const QString timePattern = QStringLiteral("hh:mm:ss a");

qint64 currentYear()
{
    const auto now = Calendar::parts(Calendar::now());
    return now ? now->year : 9999;
}

qint64 upperBound(const UpdateUnit &unit)
{
    return unit.upper > 0 ? unit.upper : currentYear();
}

// The engine's dates are wall clocks in UTC fields, as the pickers (set to
// UTC) show them; the pickers take whole seconds.
QDateTime pickerDate(const QDateTime &date)
{
    const auto parts = Calendar::parts(date);
    if (!parts)
        return QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    return Calendar::compose(*parts).value_or(date);
}

// The date-and-time and time patterns of the user's locale, with seconds.
QString timeFormatWithSeconds()
{
    const QString shortTime = QLocale().timeFormat(QLocale::ShortFormat);
    const bool twelveHour = shortTime.contains(QLatin1Char('a'), Qt::CaseInsensitive);
    return twelveHour ? QStringLiteral("h:mm:ss AP") : QStringLiteral("HH:mm:ss");
}

QString number(qint64 value)
{
    return QString::number(value);
}

// Shows value in field unless it already reads so, which keeps the caret
// where the user is typing.
void showNumber(QLineEdit *field, qint64 value)
{
    if (field->text() != number(value))
        field->setText(number(value));
}

void appendPiece(QString &text, const QString &prefix, const char *word, const QString &value)
{
    text += text.isEmpty() ? prefix : QStringLiteral("  ");
    text += QLatin1String(word) + QLatin1String(": ") + value;
}

QLineEdit *numberField(QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setAlignment(Qt::AlignRight);
    field->setMaximumWidth(70);
    return field;
}

} // namespace

DateTimeViewController::DateTimeViewController(QWidget *parent)
    : QWidget(parent)
{
    buildControls();
    connectActions();
    setUpTexts();
}

void DateTimeViewController::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(6);

    lblDateTimeConfiguration = headingLabel(this);
    layout->addLayout(platform::withIcon(QStringLiteral("view-calendar"), 22, lblDateTimeConfiguration));

    const auto radio = [this, layout](QPointer<QRadioButton> &button) {
        button = new QRadioButton(this);
        // The six behave as one group that may also have none on.
        button->setAutoExclusive(false);
        layout->addWidget(button);
    };
    const auto group = [this, layout] {
        auto *frame = new QFrame(this);
        auto *grid = new QGridLayout(frame);
        grid->setContentsMargins(24, 0, 0, 4);
        grid->setHorizontalSpacing(8);
        grid->setVerticalSpacing(4);
        grid->setColumnStretch(4, 1);
        // The same columns in every group, so the groups line up.
        grid->setColumnMinimumWidth(0, 64);
        grid->setColumnMinimumWidth(1, 72);
        grid->setColumnMinimumWidth(2, 18);
        layout->addWidget(frame);
        return std::pair { frame, grid };
    };

    radio(btnKeepOriginal);
    radio(btnEmptyValue);
    radio(btnSelectDate);
    {
        auto [frame, grid] = group();
        selectDatePicker = new QDateTimeEdit(frame);
        selectDatePicker->setTimeSpec(Qt::UTC);
        selectDatePicker->setMinimumDateTime(QDateTime(QDate(100, 1, 1), QTime(0, 0), Qt::UTC));
        selectDatePicker->setCalendarPopup(true);
        selectDatePicker->setDisplayFormat(
            QLocale().dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') + timeFormatWithSeconds());
        grid->addWidget(selectDatePicker, 0, 0, 1, 4);
    }

    radio(btnUpdateDate);
    {
        auto [frame, grid] = group();
        boxUpdateDate = frame;
        int row = 0;
        for (const UpdateUnit &unit : updateUnits) {
            this->*unit.label = new QLabel(frame);
            this->*unit.field = numberField(frame);
            this->*unit.keepBox = new QCheckBox(frame);
            grid->addWidget(this->*unit.label, row, 0);
            grid->addWidget(this->*unit.field, row, 1);
            grid->addWidget(this->*unit.keepBox, row, 3);
            ++row;
        }
        lblTimeUpdateDate = new QLabel(frame);
        timeUpdateDatePicker = new QTimeEdit(frame);
        timeUpdateDatePicker->setTimeSpec(Qt::UTC);
        timeUpdateDatePicker->setDisplayFormat(timeFormatWithSeconds());
        btnKeepOriginalTimeUpdateDate = new QCheckBox(frame);
        grid->addWidget(lblTimeUpdateDate, row, 0);
        grid->addWidget(timeUpdateDatePicker, row, 1, 1, 2);
        grid->addWidget(btnKeepOriginalTimeUpdateDate, row, 3);
    }

    const auto shiftGroup = [&](QPointer<QRadioButton> &button, std::span<const ShiftUnit> units) {
        radio(button);
        auto [frame, grid] = group();
        int row = 0;
        for (const ShiftUnit &unit : units) {
            this->*unit.label = new QLabel(frame);
            this->*unit.field = numberField(frame);
            this->*unit.stepper = new Stepper(frame);
            (this->*unit.stepper)->setRange(-unit.bound, unit.bound);
            this->*unit.keepBox = new QCheckBox(frame);
            grid->addWidget(this->*unit.label, row, 0);
            grid->addWidget(this->*unit.field, row, 1);
            grid->addWidget(this->*unit.stepper, row, 2);
            grid->addWidget(this->*unit.keepBox, row, 3);
            ++row;
        }
    };
    shiftGroup(btnIDOriginalDate, dateUnits);
    shiftGroup(btnIDOriginalTime, timeUnits);

    // Only the update fields refuse what is not a whole number while typing;
    // the shift fields take a lone "-" on the way to a negative amount.
    for (const UpdateUnit &unit : updateUnits)
        (this->*unit.field)->setValidator(new OnlyIntegerValueFormatter(this->*unit.field));
}

void DateTimeViewController::connectActions()
{
    const auto onClick = [this](QAbstractButton *button, void (C::*action)()) {
        connect(button, &QAbstractButton::clicked, this, action);
    };
    onClick(btnKeepOriginal, &C::clickedKeepOriginal);
    onClick(btnEmptyValue, &C::clickedEmptyValue);
    onClick(btnSelectDate, &C::clickedSelectDate);
    onClick(btnUpdateDate, &C::clickedUpdateDate);
    onClick(btnKeepOriginalDayUpdateDate, &C::clickedKeepOriginalDayUpdateDate);
    onClick(btnKeepOriginalMonthUpdateDate, &C::clickedKeepOriginalMonthUpdateDate);
    onClick(btnKeepOriginalYearUpdateDate, &C::clickedKeepOriginalYearUpdateDate);
    onClick(btnKeepOriginalTimeUpdateDate, &C::clickedKeepOriginalTimeUpdateDate);
    onClick(btnIDOriginalDate, &C::clickedIDOriginalDate);
    onClick(btnKeepOriginalDayIDOriginalDate, &C::clickedKeepOriginalDayIDOriginalDate);
    onClick(btnKeepOriginalMonthIDOriginalDate, &C::clickedKeepOriginalMonthIDOriginalDate);
    onClick(btnKeepOriginalYearIDOriginalDate, &C::clickedKeepOriginalYearIDOriginalDate);
    onClick(btnIDOriginalTime, &C::clickedIDOriginalTime);
    onClick(btnKeepOriginalHourIDOriginalTime, &C::clickedKeepOriginalHourIDOriginalTime);
    onClick(btnKeepOriginalMinuteIDOriginalTime, &C::clickedKeepOriginalMinuteIDOriginalTime);
    onClick(btnKeepOriginalSecondOriginalTime, &C::clickedKeepOriginalSecondIDOriginalTime);

    connect(stepperDayIDOriginalDate, &Stepper::clicked, this, &C::clickedStepperDayIDOriginalDate);
    connect(stepperMonthIDOriginalDate, &Stepper::clicked, this, &C::clickedMonthIDOriginalDate);
    connect(stepperYearIDOriginalDate, &Stepper::clicked, this, &C::clickedStepperYearIDOriginalDate);
    connect(stepperHourIDOriginalTime, &Stepper::clicked, this, &C::clickedStepperHourIDOriginalTime);
    connect(stepperMinuteIDOriginalTime, &Stepper::clicked, this, &C::clickedStepperMinuteIDOriginalTime);
    connect(stepperSecondIDOriginalTime, &Stepper::clicked, this, &C::clickedStepperSecondIDOriginalTime);

    connect(selectDatePicker, &QDateTimeEdit::dateTimeChanged, this, &C::clickedSelectDatePicker);
    connect(timeUpdateDatePicker, &QDateTimeEdit::dateTimeChanged, this, &C::clickedTimeUpdateDatePicker);

    // The user's typing only; the screen's own writes are not typing.
    for (QLineEdit *field :
        { txtFieldDayUpdateDate.data(), txtFieldMonthUpdateDate.data(), txtFieldYearUpdateDate.data(),
            txtFieldDayIDOriginalDate.data(), txtFieldMonthIDOriginalDate.data(),
            txtFieldYearIDOriginalDate.data(), txtFieldHourIDOriginalTime.data(),
            txtFieldMinuteIDOriginalTime.data(), txtFieldSecondIDOriginalTime.data() })
        connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
}

void DateTimeViewController::setUpTexts()
{
    const auto text = [](const char *key) { return localizedString(QLatin1String(key)); };
    lblDateTimeConfiguration->setText(text("QX_ID_29"));
    btnKeepOriginal->setText(text("QX_ID_30"));
    btnEmptyValue->setText(text("QX_ID_31"));
    btnSelectDate->setText(text("QX_ID_32"));
    btnUpdateDate->setText(text("QX_ID_33"));
    lblDayUpdateDate->setText(text("QX_ID_34"));
    lblMonthUpdateDate->setText(text("QX_ID_35"));
    lblYearUpdateDate->setText(text("QX_ID_36"));
    lblTimeUpdateDate->setText(text("QX_ID_37"));
    btnIDOriginalDate->setText(text("QX_ID_38"));
    btnIDOriginalTime->setText(text("QX_ID_39"));
    for (std::span<const ShiftUnit> units : { std::span(dateUnits), std::span(timeUnits) })
        for (const ShiftUnit &unit : units)
            (this->*unit.label)->setText(text(unit.titleKey));
    for (QCheckBox *box : { btnKeepOriginalDayUpdateDate.data(), btnKeepOriginalMonthUpdateDate.data(),
             btnKeepOriginalYearUpdateDate.data(), btnKeepOriginalTimeUpdateDate.data(),
             btnKeepOriginalDayIDOriginalDate.data(), btnKeepOriginalMonthIDOriginalDate.data(),
             btnKeepOriginalYearIDOriginalDate.data(), btnKeepOriginalHourIDOriginalTime.data(),
             btnKeepOriginalMinuteIDOriginalTime.data(), btnKeepOriginalSecondOriginalTime.data() })
        box->setText(text("QX_ID_30"));
}

void DateTimeViewController::setSelectDatePickerEnabled(bool enabled)
{
    selectDatePicker->setEnabled(enabled);
}

void DateTimeViewController::setUpdateDateControlsEnabled(bool enabled)
{
    for (const UpdateUnit &unit : updateUnits)
        for (QWidget *w : { static_cast<QWidget *>(this->*unit.label),
                 static_cast<QWidget *>(this->*unit.field), static_cast<QWidget *>(this->*unit.keepBox) })
            w->setEnabled(enabled);
    lblTimeUpdateDate->setEnabled(enabled);
    timeUpdateDatePicker->setEnabled(enabled);
    btnKeepOriginalTimeUpdateDate->setEnabled(enabled);
}

namespace {

void setShiftControlsEnabled(C *screen, std::span<const ShiftUnit> units, bool enabled)
{
    for (const ShiftUnit &unit : units)
        for (QWidget *w : { static_cast<QWidget *>(screen->*unit.label),
                 static_cast<QWidget *>(screen->*unit.field), static_cast<QWidget *>(screen->*unit.stepper),
                 static_cast<QWidget *>(screen->*unit.keepBox) })
            w->setEnabled(enabled);
}

} // namespace

void DateTimeViewController::setIncDecDateControlsEnabled(bool enabled)
{
    setShiftControlsEnabled(this, dateUnits, enabled);
}

void DateTimeViewController::setIncDecTimeControlsEnabled(bool enabled)
{
    setShiftControlsEnabled(this, timeUnits, enabled);
}

void DateTimeViewController::showDateTime(std::shared_ptr<DateTime> rule)
{
    dateTime = rule ? std::move(rule) : std::make_shared<DateTime>();
    refresh();
    updateEditorField(dateTime);
}

void DateTimeViewController::refreshKeepBox(
    QCheckBox *box, bool keep, bool groupActive, std::initializer_list<QWidget *> controls)
{
    box->setChecked(keep);
    for (QWidget *control : controls) {
        if (keep)
            control->setEnabled(false);
        else if (groupActive)
            control->setEnabled(true);
    }
}

void DateTimeViewController::refresh()
{
    const DateTime &rule = *dateTime;

    // Mode buttons: the first mode set is on, every other off.
    QRadioButton *const buttons[] = { btnKeepOriginal, btnEmptyValue, btnSelectDate, btnUpdateDate,
        btnIDOriginalDate, btnIDOriginalTime };
    const auto first
        = std::find_if(std::begin(modes), std::end(modes), [&](Flag mode) { return rule.*mode; });
    const auto shownMode = first == std::end(modes) ? -1 : int(first - std::begin(modes));
    for (int i = 0; i < 6; ++i)
        buttons[i]->setChecked(i == shownMode);

    const bool selecting = shownMode == 2;
    const bool updating = shownMode == 3;
    const bool shiftingDate = shownMode == 4;
    const bool shiftingTime = shownMode == 5;
    setSelectDatePickerEnabled(selecting);
    setUpdateDateControlsEnabled(updating);
    setIncDecDateControlsEnabled(shiftingDate);
    setIncDecTimeControlsEnabled(shiftingTime);

    // Without an original date the date-changing modes have nothing to
    // change while one file is marked.
    bool changesAvailable = true;
    if (!isPreset && !rule.originalDate) {
        const auto marked = std::count_if(displayedFiles().cbegin(), displayedFiles().cend(),
            [](const auto &file) { return file && file->isMark; });
        changesAvailable = marked != 1;
    }
    for (QRadioButton *button : { btnUpdateDate.data(), btnIDOriginalDate.data(), btnIDOriginalTime.data() })
        button->setEnabled(changesAvailable);

    const QDateTime reference = rule.originalDateOrNow();
    {
        const QSignalBlocker blocker(selectDatePicker);
        selectDatePicker->setDateTime(pickerDate(rule.selectDate.value_or(reference)));
    }

    const auto referenceParts = Calendar::parts(reference).value_or(Calendar::Parts {});
    const qint64 referenceUnits[] = { referenceParts.day, referenceParts.month, referenceParts.year };
    for (int i = 0; i < 3; ++i) {
        const UpdateUnit &unit = updateUnits[i];
        showNumber(this->*unit.field, (rule.*unit.value).value_or(referenceUnits[i]));
    }
    {
        const QSignalBlocker blocker(timeUpdateDatePicker);
        timeUpdateDatePicker->setDateTime(pickerDate(rule.timeUpdateDate.value_or(reference)));
    }
    for (const UpdateUnit &unit : updateUnits)
        refreshKeepBox(
            this->*unit.keepBox, rule.*unit.keep, updating, { this->*unit.label, this->*unit.field });
    refreshKeepBox(btnKeepOriginalTimeUpdateDate, rule.isKeepOriginalTimeUpdateDate, updating,
        { lblTimeUpdateDate, timeUpdateDatePicker });

    for (const auto &[units, active] : { std::pair { std::span(dateUnits), shiftingDate },
             std::pair { std::span(timeUnits), shiftingTime } }) {
        for (const ShiftUnit &unit : units) {
            const qint64 value = (rule.*unit.value).value_or(0);
            QLineEdit *field = this->*unit.field;
            showNumber(field, value);
            (this->*unit.stepper)->setValue(int(std::clamp<qint64>(value, -unit.bound, unit.bound)));
            if (rule.*unit.raw == QLatin1String("-"))
                field->setText(QStringLiteral("-"));
        }
        for (const ShiftUnit &unit : units) {
            refreshKeepBox(this->*unit.keepBox, rule.*unit.keep, active,
                { this->*unit.label, this->*unit.field, this->*unit.stepper });
        }
    }
}

QDateTime DateTimeViewController::timePickerDate() const
{
    // Only the time of day counts; the day is the rule's reference day.
    const QDateTime day = pickerDate(dateTime->originalDateOrNow());
    return QDateTime(day.date(), timeUpdateDatePicker->time(), Qt::UTC);
}

QString DateTimeViewController::summary(const DateTime &rule) const
{
    if (rule.isKeepOriginal)
        return QStringLiteral("Keep Original");
    if (rule.isEmptyValue)
        return QStringLiteral("Empty Value");
    if (rule.isSelectDate) {
        const QDateTime date = rule.selectDate ? *rule.selectDate
            : rule.originalDate                ? *rule.originalDate
                                               : rule.tempDate();
        return displayText(date);
    }

    QString text;
    const auto unitValue = [this, &rule](Amount value, Field field) {
        const auto own = rule.*value;
        return number(own ? *own : leadingInteger((this->*field)->text()));
    };
    if (rule.isUpdateDate) {
        const QString prefix = QStringLiteral("Update:  ");
        for (const UpdateUnit &unit : updateUnits)
            if (!(rule.*unit.keep))
                appendPiece(text, prefix, unit.word, unitValue(unit.value, unit.field));
        if (!rule.isKeepOriginalTimeUpdateDate) {
            const QDateTime time = rule.timeUpdateDate ? *rule.timeUpdateDate : timePickerDate();
            appendPiece(text, prefix, "Time", platform::DateFormat::format(time, timePattern));
        }
    } else if (rule.isIDOriginalDate || rule.isIDOriginalTime) {
        const QString prefix = QStringLiteral("Inc/Dec:  ");
        for (const ShiftUnit &unit : rule.isIDOriginalDate ? std::span(dateUnits) : std::span(timeUnits))
            if (!(rule.*unit.keep))
                appendPiece(text, prefix, unit.word, unitValue(unit.value, unit.field));
    } else {
        return {};
    }
    return text.isEmpty() ? QStringLiteral("Keep Original") : text;
}

void DateTimeViewController::updateEditorField(const std::shared_ptr<DateTime> &rule)
{
    if (!rule)
        return;
    const QString text = summary(*rule);
    if (text.isEmpty())
        return;
    rule->textFieldEditorString = text;
    if (!textFieldEditor)
        return;
    textFieldEditor->setText(text);
    // A long summary reads from its start; the whole of it on hovering.
    textFieldEditor->setCursorPosition(0);
    textFieldEditor->setToolTip(text);
    runFieldChanged(metadataEditorVC, textFieldEditor);
}

void DateTimeViewController::controlTextDidChange(QLineEdit *field)
{
    if (!field)
        return;
    const QString raw = field->text();
    const auto clampInto = [field, &raw](qint64 lower, qint64 upper) {
        const qint64 value = leadingInteger(raw);
        const qint64 clamped = std::clamp(value, lower, upper);
        if (clamped != value)
            field->setText(number(clamped));
        return clamped;
    };
    for (const UpdateUnit &unit : updateUnits) {
        if (this->*unit.field == field) {
            (*dateTime).*unit.value = clampInto(unit.lower, upperBound(unit));
            showDateTime(dateTime);
            return;
        }
    }
    for (std::span<const ShiftUnit> units : { std::span(dateUnits), std::span(timeUnits) }) {
        for (const ShiftUnit &unit : units) {
            if (this->*unit.field == field) {
                (*dateTime).*unit.value = clampInto(-unit.bound, unit.bound);
                (*dateTime).*unit.raw = raw;
                showDateTime(dateTime);
                return;
            }
        }
    }
}

void DateTimeViewController::setMode(bool DateTime::*mode)
{
    for (Flag each : modes)
        (*dateTime).*each = each == mode;
}

void DateTimeViewController::chooseMode(bool DateTime::*mode)
{
    setMode(mode);
    showDateTime(dateTime);
}

void DateTimeViewController::takeKeep(QCheckBox *box, bool DateTime::*keep)
{
    (*dateTime).*keep = box->isChecked();
    showDateTime(dateTime);
}

void DateTimeViewController::takeStep(Stepper *stepper, std::optional<qint64> DateTime::*amount)
{
    (*dateTime).*amount = stepper->value();
    showDateTime(dateTime);
}

void DateTimeViewController::clickedKeepOriginal()
{
    chooseMode(&DateTime::isKeepOriginal);
}

void DateTimeViewController::clickedEmptyValue()
{
    chooseMode(&DateTime::isEmptyValue);
}

void DateTimeViewController::clickedSelectDate()
{
    setMode(&DateTime::isSelectDate);
    clickedSelectDatePicker();
}

void DateTimeViewController::clickedSelectDatePicker()
{
    dateTime->selectDate = selectDatePicker->dateTime().toUTC();
    showDateTime(dateTime);
}

void DateTimeViewController::clickedUpdateDate()
{
    chooseMode(&DateTime::isUpdateDate);
}

void DateTimeViewController::clickedKeepOriginalDayUpdateDate()
{
    takeKeep(btnKeepOriginalDayUpdateDate, &DateTime::isKeepOriginalDayUpdateDate);
}

void DateTimeViewController::clickedKeepOriginalMonthUpdateDate()
{
    takeKeep(btnKeepOriginalMonthUpdateDate, &DateTime::isKeepOriginalMonthUpdateDate);
}

void DateTimeViewController::clickedKeepOriginalYearUpdateDate()
{
    takeKeep(btnKeepOriginalYearUpdateDate, &DateTime::isKeepOriginalYearUpdateDate);
}

void DateTimeViewController::clickedKeepOriginalTimeUpdateDate()
{
    takeKeep(btnKeepOriginalTimeUpdateDate, &DateTime::isKeepOriginalTimeUpdateDate);
}

void DateTimeViewController::clickedTimeUpdateDatePicker()
{
    dateTime->timeUpdateDate = timePickerDate();
    showDateTime(dateTime);
}

void DateTimeViewController::clickedIDOriginalDate()
{
    chooseMode(&DateTime::isIDOriginalDate);
}

void DateTimeViewController::clickedStepperDayIDOriginalDate()
{
    takeStep(stepperDayIDOriginalDate, &DateTime::dayIDOriginalDate);
}

void DateTimeViewController::clickedMonthIDOriginalDate()
{
    takeStep(stepperMonthIDOriginalDate, &DateTime::monthIDOriginalDate);
}

void DateTimeViewController::clickedStepperYearIDOriginalDate()
{
    takeStep(stepperYearIDOriginalDate, &DateTime::yearIDOriginalDate);
}

void DateTimeViewController::clickedKeepOriginalDayIDOriginalDate()
{
    takeKeep(btnKeepOriginalDayIDOriginalDate, &DateTime::isKeepOriginalDayIDOriginalDate);
}

void DateTimeViewController::clickedKeepOriginalMonthIDOriginalDate()
{
    takeKeep(btnKeepOriginalMonthIDOriginalDate, &DateTime::isKeepOriginalMonthIDOriginalDate);
}

void DateTimeViewController::clickedKeepOriginalYearIDOriginalDate()
{
    takeKeep(btnKeepOriginalYearIDOriginalDate, &DateTime::isKeepOriginalYearIDOriginalDate);
}

void DateTimeViewController::clickedIDOriginalTime()
{
    chooseMode(&DateTime::isIDOriginalTime);
}

void DateTimeViewController::clickedStepperHourIDOriginalTime()
{
    takeStep(stepperHourIDOriginalTime, &DateTime::hourIDOriginalTime);
}

void DateTimeViewController::clickedStepperMinuteIDOriginalTime()
{
    takeStep(stepperMinuteIDOriginalTime, &DateTime::minuteIDOriginalTime);
}

void DateTimeViewController::clickedStepperSecondIDOriginalTime()
{
    takeStep(stepperSecondIDOriginalTime, &DateTime::secondIDOriginalTime);
}

void DateTimeViewController::clickedKeepOriginalHourIDOriginalTime()
{
    takeKeep(btnKeepOriginalHourIDOriginalTime, &DateTime::isKeepOriginalHourIDOriginalTime);
}

void DateTimeViewController::clickedKeepOriginalMinuteIDOriginalTime()
{
    takeKeep(btnKeepOriginalMinuteIDOriginalTime, &DateTime::isKeepOriginalMinuteIDOriginalTime);
}

void DateTimeViewController::clickedKeepOriginalSecondIDOriginalTime()
{
    takeKeep(btnKeepOriginalSecondOriginalTime, &DateTime::isKeepOriginalSecondIDOriginalTime);
}
