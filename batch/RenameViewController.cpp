// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/RenameViewController.h"

#include "batch/NewFileName.h"
#include "common/AppSettings.h"
#include "common/Localization.h"
#include "controls/NumberFormatters.h"
#include "platform/widgets/Alert.h"
#include "platform/widgets/Presenter.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

using RVC = RenameViewController;

// A check box and the flag of the rule it shows; turning it on turns the
// paired flag off.
struct Toggle
{
    QPointer<QCheckBox> RVC::*box;
    bool Rename::*flag;
    bool Rename::*pairedOff = nullptr;
};

// In the order the boxes are brought in step with the rule.
const Toggle toggles[] = {
    { &RVC::btnKeepOriginalFilename, &Rename::isKeepOriginalFileName, &Rename::isEditOriginalFileName },
    { &RVC::btnEditOriginalFilename, &Rename::isEditOriginalFileName, &Rename::isKeepOriginalFileName },
    { &RVC::btnReplaceFilename, &Rename::isReplaceFilename },
    { &RVC::btnReplaceText, &Rename::isReplaceText },
    { &RVC::btnAddText, &Rename::isAddText },
    { &RVC::btnAddIndex, &Rename::isAddIndex },
    { &RVC::btnAddCounter, &Rename::isAddCounter },
    { &RVC::btnAddDateTime, &Rename::isAddDateTime },
    { &RVC::btnAddCurrentDateTime, &Rename::isAddCurrentDate, &Rename::isAddExifDate },
    { &RVC::btnAddExifDateTime, &Rename::isAddExifDate, &Rename::isAddCurrentDate },
    { &RVC::btnAddExifLocation, &Rename::isAddExifLocation },
    { &RVC::btnPlaceAddExifLocation, &Rename::isPlace },
    { &RVC::btnCityAddExifLocation, &Rename::isCity },
    { &RVC::btnStateProvinceAddExifLocation, &Rename::isState },
    { &RVC::btnCountryAddExifLocation, &Rename::isCountry },
    { &RVC::btnAppendWidthHeight, &Rename::isAppendWidthHeight },
};

// The texts are stored whole, blanks included.
struct TextField
{
    QPointer<QLineEdit> RVC::*field;
    std::optional<QString> Rename::*text;
};
const TextField textFields[] = {
    { &RVC::txtFieldReplaceFilename, &Rename::replaceFilename },
    { &RVC::txtFieldFindReplaceText, &Rename::findReplaceText },
    { &RVC::txtFieldReplaceWithReplaceText, &Rename::replaceWithReplaceText },
    { &RVC::txtFieldPrefixAddText, &Rename::prefixAddText },
    { &RVC::txtFieldSuffixAddText, &Rename::suffixAddText },
};

// An emptied number field keeps the rule's number.
struct NumberField
{
    QPointer<QLineEdit> RVC::*field;
    std::optional<qint64> Rename::*number;
};
const NumberField numberFields[] = {
    { &RVC::txtFieldPrefixAddIndex, &Rename::prefixAddIndex },
    { &RVC::txtFieldSuffixAddIndex, &Rename::suffixAddIndex },
    { &RVC::txtFieldPrefixAddCounter, &Rename::prefixAddCounter },
    { &RVC::txtFieldSuffixAddCounter, &Rename::suffixAddCounter },
};

// The eight boxes that switch a group of parts on, usable only while the
// name is edited.
constexpr QPointer<QCheckBox> RVC::*groupBoxes[] = {
    &RVC::btnReplaceFilename,
    &RVC::btnReplaceText,
    &RVC::btnAddText,
    &RVC::btnAddIndex,
    &RVC::btnAddCounter,
    &RVC::btnAddDateTime,
    &RVC::btnAddExifLocation,
    &RVC::btnAppendWidthHeight,
};

QString trimmedOfBlanks(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (start < end && isBlank(text.at(start)))
        ++start;
    while (end > start && isBlank(text.at(end - 1)))
        --end;
    return text.mid(start, end - start);
}

// Writing an unchanged text back would move the cursor of a field the user
// is typing in.
void showText(QLineEdit *field, const QString &text)
{
    if (field->text() != text)
        field->setText(text);
}

void setTone(QWidget *widget, RVC::Tone tone)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, RVC::toneColor(tone));
    widget->setPalette(palette);
    widget->setProperty("tone", int(tone));
}

// A group of fields in force or not, with its labels in the label colour
// or the tertiary one.
void setGroup(bool active, const QList<QWidget *> &controls, const QList<QLabel *> &labels)
{
    for (QWidget *control : controls)
        control->setEnabled(active);
    for (QLabel *label : labels) {
        label->setEnabled(active);
        setTone(label, active ? RVC::Tone::label : RVC::Tone::tertiary);
    }
}

template <class T> QStringList rawValues(const QList<T> &values)
{
    QStringList texts;
    for (const T value : values)
        texts << rawValue(value);
    return texts;
}

QList<DateFormat> allDateFormats()
{
    QList<DateFormat> formats;
    for (int i = int(DateFormat::one); i <= int(DateFormat::twenty); ++i)
        formats.append(DateFormat(i));
    return formats;
}

} // namespace

RenameViewController::RenameViewController(QWidget *parent)
    : QWidget(parent)
    , rename(loadRenameSettings())
    , minNumberOfDigits { QStringLiteral("Auto"), QStringLiteral("1"), QStringLiteral("2"),
        QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
        QStringLiteral("7") }
    , dateAs { DateAs::prefix, DateAs::suffix }
    , dateFormats(allDateFormats())
    , exifDateTypes { ExifDateType::original, ExifDateType::creation, ExifDateType::modify }
{
    setWindowTitle(tr("Rename"));
    buildLayout();
    configureControls();
    // Its texts from the start, so that it is placed at the size it shows
    // with; each showing sets them again.
    setUpTexts();
}

RenameViewController *RenameViewController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<RenameViewController>();
}

void RenameViewController::present(QWidget *presenter)
{
    RenameViewController *screen = shared();
    screen->rename = loadRenameSettings();
    screen->updateControls();
    platform::Presenter::presentAsModalWindow(presenter, screen);
}

void RenameViewController::buildLayout()
{
    auto *outer = new QVBoxLayout(this);
    boxParent = new QFrame(this);
    outer->addWidget(boxParent);
    auto *page = new QVBoxLayout(boxParent);

    const auto box = [&](QPointer<QFrame> &frame) {
        frame = new QFrame(boxParent);
        frame->setFrameShape(QFrame::StyledPanel);
        page->addWidget(frame);
        return new QGridLayout(frame);
    };
    const auto check = [&](QPointer<QCheckBox> &button, QWidget *parent) {
        button = new QCheckBox(parent);
        return button.data();
    };
    const auto label = [&](QPointer<QLabel> &lbl, QWidget *parent) {
        lbl = new QLabel(parent);
        return lbl.data();
    };
    const auto field = [&](QPointer<QLineEdit> &edit, QWidget *parent) {
        edit = new QLineEdit(parent);
        return edit.data();
    };
    const auto popUp = [&](QPointer<QComboBox> &combo, QWidget *parent) {
        combo = new QComboBox(parent);
        return combo.data();
    };

    QGridLayout *keep = box(boxKeepOriginalFilename);
    keep->addWidget(check(btnKeepOriginalFilename, boxKeepOriginalFilename), 0, 0);

    QGridLayout *example = box(boxExample);
    example->addWidget(label(lblExample, boxExample), 0, 0);
    example->addWidget(label(lblExampleValue, boxExample), 0, 1);
    lblExampleValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
    example->setColumnStretch(1, 1);

    QGridLayout *edit = box(editOriginalFilename);
    QWidget *e = editOriginalFilename;
    int row = 0;
    edit->addWidget(check(btnEditOriginalFilename, e), row++, 0, 1, 5);

    edit->addWidget(check(btnReplaceFilename, e), row, 0);
    edit->addWidget(field(txtFieldReplaceFilename, e), row++, 1, 1, 4);

    edit->addWidget(check(btnReplaceText, e), row, 0);
    edit->addWidget(label(lblFindReplaceText, e), row, 1, Qt::AlignRight);
    edit->addWidget(field(txtFieldFindReplaceText, e), row, 2);
    edit->addWidget(label(lblReplaceWithReplaceText, e), row, 3, Qt::AlignRight);
    edit->addWidget(field(txtFieldReplaceWithReplaceText, e), row++, 4);

    const auto prefixSuffixRow
        = [&](QPointer<QCheckBox> &button, QPointer<QLabel> &prefixLabel, QPointer<QLineEdit> &prefix,
              QPointer<QLabel> &suffixLabel, QPointer<QLineEdit> &suffix) {
              edit->addWidget(check(button, e), row, 0);
              edit->addWidget(label(prefixLabel, e), row, 1, Qt::AlignRight);
              edit->addWidget(field(prefix, e), row, 2);
              edit->addWidget(label(suffixLabel, e), row, 3, Qt::AlignRight);
              edit->addWidget(field(suffix, e), row++, 4);
          };
    prefixSuffixRow(
        btnAddText, lblPrefixAddText, txtFieldPrefixAddText, lblSuffixAddText, txtFieldSuffixAddText);
    prefixSuffixRow(
        btnAddIndex, lblPrefixAddIndex, txtFieldPrefixAddIndex, lblSuffixAddIndex, txtFieldSuffixAddIndex);
    prefixSuffixRow(btnAddCounter, lblPrefixAddCounter, txtFieldPrefixAddCounter, lblSuffixAddCounter,
        txtFieldSuffixAddCounter);
    edit->addWidget(label(lblMinNumberOfDigitAddCounter, e), row, 1, Qt::AlignRight);
    edit->addWidget(popUp(popUpMinNumberOfDigitAddCounter, e), row++, 2);

    edit->addWidget(check(btnAddDateTime, e), row, 0);
    edit->addWidget(label(lblAsAddDateTime, e), row, 1, Qt::AlignRight);
    edit->addWidget(popUp(popUpAsAddDateTime, e), row, 2);
    edit->addWidget(label(lblFormatAddDateTime, e), row, 3, Qt::AlignRight);
    edit->addWidget(popUp(popUpFormatAddDateTime, e), row++, 4);
    edit->addWidget(check(btnAddCurrentDateTime, e), row, 1, 1, 2);
    edit->addWidget(check(btnAddExifDateTime, e), row, 3);
    auto *exifType = new QHBoxLayout;
    exifType->addWidget(label(lblTypeAddExifDateTime, e));
    exifType->addWidget(popUp(popUpTypeAddExifDateTime, e), 1);
    edit->addLayout(exifType, row++, 4);

    edit->addWidget(check(btnAddExifLocation, e), row, 0);
    auto *places = new QHBoxLayout;
    places->addWidget(check(btnPlaceAddExifLocation, e));
    places->addWidget(check(btnCityAddExifLocation, e));
    places->addWidget(check(btnStateProvinceAddExifLocation, e));
    places->addWidget(check(btnCountryAddExifLocation, e));
    places->addStretch(1);
    edit->addLayout(places, row++, 1, 1, 4);

    edit->addWidget(check(btnAppendWidthHeight, e), row++, 0, 1, 5);
    edit->setColumnStretch(2, 1);
    edit->setColumnStretch(4, 1);

    btnSave = new QPushButton(platform::themeIcon(QStringLiteral("document-save")), QString(), this);
    btnSave->setDefault(true);
    outer->addWidget(btnSave, 0, Qt::AlignRight);
}

void RenameViewController::configureControls()
{
    const auto fill = [](QComboBox *popUp, const QStringList &titles) {
        popUp->clear();
        popUp->addItems(titles);
    };
    fill(popUpMinNumberOfDigitAddCounter, minNumberOfDigits);
    fill(popUpAsAddDateTime, rawValues(dateAs));
    fill(popUpFormatAddDateTime, rawValues(dateFormats));
    fill(popUpTypeAddExifDateTime, rawValues(exifDateTypes));

    for (const NumberField &number : numberFields)
        (this->*number.field)->setValidator(new OnlyIntegerValueFormatter(this->*number.field));

    for (const Toggle &toggle : toggles) {
        QCheckBox *box = this->*toggle.box;
        connect(box, &QCheckBox::clicked, this, [this, box] { clickedBox(box); });
    }
    for (QComboBox *popUp : { popUpMinNumberOfDigitAddCounter.data(), popUpAsAddDateTime.data(),
             popUpFormatAddDateTime.data(), popUpTypeAddExifDateTime.data() }) {
        connect(popUp, &QComboBox::activated, this, [this, popUp] { clickedPopUp(popUp); });
    }
    const auto listen = [this](QLineEdit *field) {
        connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
    };
    for (const TextField &entry : textFields)
        listen(this->*entry.field);
    for (const NumberField &entry : numberFields)
        listen(this->*entry.field);
    connect(btnSave, &QPushButton::clicked, this, &RenameViewController::saveRule);
}

void RenameViewController::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updateControls();
    setUpTexts();
}

void RenameViewController::setUpTexts()
{
    btnKeepOriginalFilename->setText(localizedString("QX_ID_164"));
    btnEditOriginalFilename->setText(localizedString("QX_ID_165"));
    lblExample->setText(localizedString("QX_ID_166") + QLatin1Char(':'));
    btnReplaceFilename->setText(localizedString("QX_ID_167"));
    btnReplaceText->setText(localizedString("QX_ID_168"));
    lblFindReplaceText->setText(localizedString("QX_ID_169"));
    lblReplaceWithReplaceText->setText(localizedString("QX_ID_170"));
    btnAddText->setText(localizedString("QX_ID_171"));
    for (QLabel *prefix : { lblPrefixAddText.data(), lblPrefixAddIndex.data(), lblPrefixAddCounter.data() })
        prefix->setText(localizedString("QX_ID_172"));
    for (QLabel *suffix : { lblSuffixAddText.data(), lblSuffixAddIndex.data(), lblSuffixAddCounter.data() })
        suffix->setText(localizedString("QX_ID_173"));
    btnAddIndex->setText(localizedString("QX_ID_174"));
    btnAddCounter->setText(localizedString("QX_ID_175"));
    lblMinNumberOfDigitAddCounter->setText(localizedString("QX_ID_176"));
    btnAddDateTime->setText(localizedString("QX_ID_177"));
    lblAsAddDateTime->setText(localizedString("QX_ID_178"));
    lblFormatAddDateTime->setText(localizedString("QX_ID_179"));
    btnAddCurrentDateTime->setText(localizedString("QX_ID_180"));
    btnAddExifDateTime->setText(localizedString("QX_ID_181"));
    lblTypeAddExifDateTime->setText(localizedString("QX_ID_182"));
    btnAddExifLocation->setText(localizedString("QX_ID_183"));
    btnPlaceAddExifLocation->setText(localizedString("QX_ID_184"));
    btnCityAddExifLocation->setText(localizedString("QX_ID_132"));
    btnStateProvinceAddExifLocation->setText(localizedString("QX_ID_186"));
    btnCountryAddExifLocation->setText(localizedString("QX_ID_187"));
    btnAppendWidthHeight->setText(localizedString("QX_ID_188"));
    btnSave->setText(localizedString("QX_ID_72"));
}

void RenameViewController::clickedBox(QCheckBox *box)
{
    for (const Toggle &toggle : toggles) {
        if (this->*toggle.box != box)
            continue;
        const bool on = box->checkState() == Qt::Checked;
        rename.*toggle.flag = on;
        if (on && toggle.pairedOff)
            rename.*toggle.pairedOff = false;
    }
    updateControls();
}

void RenameViewController::clickedPopUp(QComboBox *popUp)
{
    const int index = popUp->currentIndex();
    if (popUp == popUpMinNumberOfDigitAddCounter) {
        rename.minNumberOfDigitsAddCounter = index;
    } else if (index >= 0) {
        if (popUp == popUpAsAddDateTime && index < dateAs.size())
            rename.asDateTime = dateAs.at(index);
        else if (popUp == popUpFormatAddDateTime && index < dateFormats.size())
            rename.dateFormat = dateFormats.at(index);
        else if (popUp == popUpTypeAddExifDateTime && index < exifDateTypes.size())
            rename.exifDateType = exifDateTypes.at(index);
    }
    updateControls();
}

void RenameViewController::controlTextDidChange(QLineEdit *field)
{
    for (const TextField &entry : textFields) {
        if (this->*entry.field == field)
            rename.*entry.text = field->text();
    }
    for (const NumberField &entry : numberFields) {
        if (this->*entry.field != field)
            continue;
        const QString typed = trimmedOfBlanks(field->text());
        bool isNumber = false;
        const qint64 number = typed.toLongLong(&isNumber);
        if (!typed.isEmpty() && isNumber)
            rename.*entry.number = number;
    }
    updateControls();
}

void RenameViewController::showRuleValue(QLineEdit *field)
{
    for (const TextField &entry : textFields) {
        if (this->*entry.field == field && rename.*entry.text)
            showText(field, *(rename.*entry.text));
    }
    for (const NumberField &entry : numberFields) {
        if (this->*entry.field == field && rename.*entry.number)
            showText(field, QString::number(*(rename.*entry.number)));
    }
}

void RenameViewController::updateExample()
{
    lblExampleValue->setText(exampleFileName(rename));
}

void RenameViewController::updateControls()
{
    updateExample();
    for (const Toggle &toggle : toggles)
        (this->*toggle.box)->setChecked(rename.*toggle.flag);

    const bool isEdit = rename.isEditOriginalFileName;
    for (const auto box : groupBoxes)
        (this->*box)->setEnabled(isEdit);
    setTone(lblExample, isEdit ? Tone::label : Tone::tertiary);
    setTone(lblExampleValue, isEdit ? Tone::secondary : Tone::tertiary);

    // A group is in force while its flag and editing are on: its fields
    // show the rule's present values and it can be used.
    const auto group = [&](bool Rename::*flag, const QList<QLineEdit *> &fields, QList<QWidget *> controls,
                           const QList<QLabel *> &labels) {
        const bool on = isEdit && rename.*flag;
        for (QLineEdit *field : fields) {
            if (on)
                showRuleValue(field);
            controls << field;
        }
        setGroup(on, controls, labels);
        return on;
    };
    group(&Rename::isReplaceFilename, { txtFieldReplaceFilename }, {}, {});
    group(&Rename::isReplaceText, { txtFieldFindReplaceText, txtFieldReplaceWithReplaceText }, {},
        { lblFindReplaceText, lblReplaceWithReplaceText });
    group(&Rename::isAddText, { txtFieldPrefixAddText, txtFieldSuffixAddText }, {},
        { lblPrefixAddText, lblSuffixAddText });
    group(&Rename::isAddIndex, { txtFieldPrefixAddIndex, txtFieldSuffixAddIndex }, {},
        { lblPrefixAddIndex, lblSuffixAddIndex });

    if (group(&Rename::isAddCounter, { txtFieldPrefixAddCounter, txtFieldSuffixAddCounter },
            { popUpMinNumberOfDigitAddCounter },
            { lblPrefixAddCounter, lblSuffixAddCounter, lblMinNumberOfDigitAddCounter })
        && rename.minNumberOfDigitsAddCounter >= 0
        && rename.minNumberOfDigitsAddCounter < popUpMinNumberOfDigitAddCounter->count())
        popUpMinNumberOfDigitAddCounter->setCurrentIndex(int(rename.minNumberOfDigitsAddCounter));

    const bool isDate = group(&Rename::isAddDateTime, {},
        { popUpAsAddDateTime, popUpFormatAddDateTime, btnAddCurrentDateTime, btnAddExifDateTime },
        { lblAsAddDateTime, lblFormatAddDateTime });
    if (isDate) {
        popUpAsAddDateTime->setCurrentIndex(popUpAsAddDateTime->findText(rawValue(rename.asDateTime)));
        popUpFormatAddDateTime->setCurrentIndex(
            popUpFormatAddDateTime->findText(rawValue(rename.dateFormat)));
        popUpTypeAddExifDateTime->setCurrentIndex(
            popUpTypeAddExifDateTime->findText(rawValue(rename.exifDateType)));
    }
    setGroup(isDate && rename.isAddExifDate, { popUpTypeAddExifDateTime }, { lblTypeAddExifDateTime });

    const bool isPlace = isEdit && rename.isAddExifLocation;
    for (QCheckBox *place : { btnPlaceAddExifLocation.data(), btnCityAddExifLocation.data(),
             btnStateProvinceAddExifLocation.data(), btnCountryAddExifLocation.data() })
        place->setEnabled(isPlace);
}

void RenameViewController::saveRule()
{
    if (rename.isEditOriginalFileName && rename.isReplaceFilename
        && trimmedOfBlanks(txtFieldReplaceFilename->text()).isEmpty()) {
        platform::showAlert(localizedString("QX_ID_196"), localizedString("QX_ID_197"));
        return;
    }
    saveRenameSettings(rename);
    platform::Presenter::dismiss(this);
    close();
}

QColor RenameViewController::toneColor(Tone tone)
{
    const QPalette palette = QApplication::palette();
    switch (tone) {
    case Tone::label:
        return palette.color(QPalette::Active, QPalette::WindowText);
    case Tone::secondary:
        return palette.color(QPalette::Active, QPalette::PlaceholderText);
    case Tone::tertiary:
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    }
    return {};
}

RenameViewController::Tone RenameViewController::toneOf(const QWidget *widget)
{
    return Tone(widget->property("tone").toInt());
}
