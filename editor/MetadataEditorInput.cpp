// SPDX-License-Identifier: GPL-3.0-or-later
// What the form does while the user types and picks GPS references.

#include "editor/MetadataEditorViewController.h"

#include "controls/CustomTextView.h"
#include "controls/ToolTipViewController.h"
#include "editor/EditLocationViewController.h"
#include "editor/NumberText.h"
#include "editor/PopUpValues.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace {

// A GPS number and the reference pop-up beside it: the reference of a
// non-negative number and that of a negative one.
struct GpsPair
{
    MetadataField number;
    MetadataField reference;
    Metadata::Value nonNegative;
    Metadata::Value negative;
    // The largest number the field takes either way; 0 for no limit.
    qint64 degrees;

    QString title(const Metadata::Value &value) const { return popUpValues(reference)->title(value); }
};

const std::array<GpsPair, 3> &gpsPairs()
{
    static const std::array<GpsPair, 3> pairs { {
        { MetadataField::gpsLatitude, MetadataField::gpsLatitudeRef, QStringLiteral("N"), QStringLiteral("S"),
            qint64(EditLocationViewController::LatitudeLimit) },
        { MetadataField::gpsLongitude, MetadataField::gpsLongitudeRef, QStringLiteral("E"),
            QStringLiteral("W"), qint64(EditLocationViewController::LongitudeLimit) },
        { MetadataField::gpsAltitude, MetadataField::gpsAltitudeRef, qint64(0), qint64(1), 0 },
    } };
    return pairs;
}

const GpsPair *gpsPairOf(MetadataField field)
{
    for (const GpsPair &pair : gpsPairs()) {
        if (pair.number == field || pair.reference == field)
            return &pair;
    }
    return nullptr;
}

// Replaces the field's text only when it changes, so the insertion point
// stays where it is otherwise.
void writeBack(QLineEdit *field, const QString &text)
{
    if (field->text() != text)
        field->setText(text);
}

} // namespace

QString MetadataEditorViewController::valueRangeText(qint64 lowest, qint64 highest)
{
    return QStringLiteral("Value range: (") + QString::number(lowest) + QStringLiteral(" to ")
        + QString::number(highest) + QLatin1Char(')');
}

void MetadataEditorViewController::controlTextDidChange(QLineEdit *field)
{
    const std::optional<MetadataField> which = fieldOfControl(field);
    if (!which)
        return;
    const QString typed = field->text();
    switch (formField(*which).control) {
    case FormControl::IntegerField: {
        // A pasted number in another notation ("-1e2") keeps its value; one
        // that is no whole number is refused rather than read as another.
        QString digits = typed;
        if (!wholeNumber(typed) && isFloatingPointNumber(typed)) {
            const double real = leadingReal(typed);
            if (real != std::trunc(real) || !std::isfinite(real)) {
                field->undo();
                break;
            }
            digits = QString::number(
                std::clamp(real, double(lowestWholeNumber) - 1, double(highestWholeNumber) + 1), 'f', 0);
        } else if (!wholeNumber(typed)) {
            digits = integerOnly(typed);
        }
        writeBack(field, digits);
        // Beyond the range, also when too long for any integer: the nearest end.
        if (!digits.isEmpty() && digits != QStringLiteral("-")) {
            const qint64 value = leadingInteger(digits);
            if (value < lowestWholeNumber || value > highestWholeNumber) {
                writeBack(field,
                    QString::number(value < lowestWholeNumber ? lowestWholeNumber : highestWholeNumber));
                ToolTipViewController::show(valueRangeText(), field, platform::Popover::LeftEdge);
            }
        }
        break;
    }
    case FormControl::DecimalField:
        if (!isFloatingPointNumber(typed))
            writeBack(field, decimalOnly(typed));
        break;
    case FormControl::GpsField:
        if (!isFloatingPointNumber(typed) || typed.startsWith(QLatin1Char('-')))
            writeBack(field, decimalOnly(typed));
        // Degrees as the location editor takes them; beyond: the nearest end.
        if (const GpsPair *pair = gpsPairOf(*which); pair->degrees > 0) {
            const double value = leadingReal(field->text());
            if (std::abs(value) > pair->degrees) {
                writeBack(field, numberText(std::copysign(double(pair->degrees), value)));
                ToolTipViewController::show(
                    valueRangeText(-pair->degrees, pair->degrees), field, platform::Popover::LeftEdge);
            }
        }
        takeGpsSign(*which);
        break;
    default:
        break;
    }
    fieldChanged(field);
}

void MetadataEditorViewController::textDidChange(CustomTextView *view)
{
    fieldChanged(view);
}

// A typed GPS number picks the reference of its sign; 0 leaves it.
void MetadataEditorViewController::takeGpsSign(MetadataField numberField)
{
    const GpsPair *pair = gpsPairOf(numberField);
    QComboBox *reference = popUp(pair->reference);
    const double value = leadingReal(textField(numberField)->text());
    if (value == 0)
        return;
    selectPopUpTitle(reference, pair->title(value > 0 ? pair->nonNegative : pair->negative));
    fieldChanged(reference);
}

// A chosen GPS reference gives the number beside it its sign.
void MetadataEditorViewController::clickedGpsReference(MetadataField referenceField)
{
    if (!m_isEditableUI)
        return;
    const GpsPair *pair = gpsPairOf(referenceField);
    QComboBox *reference = popUp(referenceField);
    QLineEdit *number = textField(pair->number);
    if (!reference || !number)
        return;
    if (reference->currentIndex() >= 0) {
        const QString chosen = reference->currentText();
        const QString current = number->text();
        const bool negative = current.startsWith(QLatin1Char('-'));
        if (chosen == pair->title(pair->nonNegative) && negative) {
            number->setText(QString(current).remove(QLatin1Char('-')));
            fieldChanged(number);
        } else if (chosen == pair->title(pair->negative) && !negative) {
            number->setText(QLatin1Char('-') + current);
            fieldChanged(number);
        }
    }
    fieldChanged(reference);
}
