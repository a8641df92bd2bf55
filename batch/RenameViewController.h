// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Rename.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The window in which the user composes the rename rule that later batches
// give their copies. It edits its own copy of the rule, keeps every control
// in step with it, shows an example of the resulting name, and stores the
// rule when the user saves.
class RenameViewController : public QWidget
{
    Q_OBJECT
public:
    // How the labels of the screen are coloured.
    enum class Tone { label, secondary, tertiary };

    explicit RenameViewController(QWidget *parent = nullptr);

    // The one screen, made on first use.
    static RenameViewController *shared();
    // Loads the stored rule into the shared screen and shows it as a modal
    // window above presenter; changes closed without saving are lost.
    static void present(QWidget *presenter);

    // The rule being edited.
    Rename rename;

    // Fills the pop-ups and attaches the number checks and the handlers;
    // once, when the screen is made.
    void configureControls();
    // The example first, then every control from the rule.
    void updateControls();
    // The example name, without an extension.
    void updateExample();
    // Stores the rule and closes the window; a replacement name of nothing
    // but blanks is refused with an alert.
    void saveRule();
    // A text field's change goes into the rule.
    void controlTextDidChange(QLineEdit *field);

    static QColor toneColor(Tone tone);
    static Tone toneOf(const QWidget *widget);

    const QStringList minNumberOfDigits;
    const QList<DateAs> dateAs;
    const QList<DateFormat> dateFormats;
    const QList<ExifDateType> exifDateTypes;

    QPointer<QFrame> boxParent;
    QPointer<QFrame> boxKeepOriginalFilename;
    QPointer<QFrame> editOriginalFilename;
    QPointer<QCheckBox> btnKeepOriginalFilename;
    QPointer<QCheckBox> btnEditOriginalFilename;

    QPointer<QFrame> boxExample;
    QPointer<QLabel> lblExample;
    QPointer<QLabel> lblExampleValue;

    QPointer<QCheckBox> btnAddText;
    QPointer<QLabel> lblPrefixAddText;
    QPointer<QLineEdit> txtFieldPrefixAddText;
    QPointer<QLabel> lblSuffixAddText;
    QPointer<QLineEdit> txtFieldSuffixAddText;

    QPointer<QCheckBox> btnReplaceText;
    QPointer<QLabel> lblFindReplaceText;
    QPointer<QLineEdit> txtFieldFindReplaceText;
    QPointer<QLabel> lblReplaceWithReplaceText;
    QPointer<QLineEdit> txtFieldReplaceWithReplaceText;

    QPointer<QCheckBox> btnReplaceFilename;
    QPointer<QLineEdit> txtFieldReplaceFilename;

    QPointer<QCheckBox> btnAddIndex;
    QPointer<QLabel> lblPrefixAddIndex;
    QPointer<QLineEdit> txtFieldPrefixAddIndex;
    QPointer<QLabel> lblSuffixAddIndex;
    QPointer<QLineEdit> txtFieldSuffixAddIndex;

    QPointer<QCheckBox> btnAddCounter;
    QPointer<QLabel> lblPrefixAddCounter;
    QPointer<QLineEdit> txtFieldPrefixAddCounter;
    QPointer<QLabel> lblSuffixAddCounter;
    QPointer<QLineEdit> txtFieldSuffixAddCounter;
    QPointer<QLabel> lblMinNumberOfDigitAddCounter;
    QPointer<QComboBox> popUpMinNumberOfDigitAddCounter;

    QPointer<QCheckBox> btnAddDateTime;
    QPointer<QLabel> lblAsAddDateTime;
    QPointer<QComboBox> popUpAsAddDateTime;
    QPointer<QLabel> lblFormatAddDateTime;
    QPointer<QComboBox> popUpFormatAddDateTime;
    QPointer<QCheckBox> btnAddCurrentDateTime;
    QPointer<QCheckBox> btnAddExifDateTime;
    QPointer<QLabel> lblTypeAddExifDateTime;
    QPointer<QComboBox> popUpTypeAddExifDateTime;

    QPointer<QCheckBox> btnAddExifLocation;
    QPointer<QCheckBox> btnPlaceAddExifLocation;
    QPointer<QCheckBox> btnCityAddExifLocation;
    QPointer<QCheckBox> btnStateProvinceAddExifLocation;
    QPointer<QCheckBox> btnCountryAddExifLocation;

    QPointer<QCheckBox> btnAppendWidthHeight;
    QPointer<QPushButton> btnSave;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void setUpTexts();
    void clickedBox(QCheckBox *box);
    void clickedPopUp(QComboBox *popUp);
    void showRuleValue(QLineEdit *field);
};
