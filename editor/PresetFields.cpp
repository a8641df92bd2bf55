// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/PresetFields.h"

#include "editor/FormFields.h"
#include "editor/PopUpValues.h"

Metadata::EditedFlags presetFields(const Metadata &preset)
{
    Metadata::EditedFlags held;
    for (const FormFieldInfo &row : formFields) {
        const std::optional<DateRule> rule = dateRuleOf(row.field);
        held.set(std::size_t(row.field),
            preset.hasValue(row.field) || (rule && preset.dateTime(*rule)->isAnyOptionSelected()));
    }
    return held;
}

Metadata presetOfEdits(const Metadata &values)
{
    Metadata preset;
    for (const FormFieldInfo &row : formFields) {
        if (!values.isEdited(row.field))
            continue;
        if (const std::optional<DateRule> rule = dateRuleOf(row.field)) {
            preset.setDateTime(*rule,
                std::make_shared<DateTime>(DateTime::fromDictionary(values.dateTime(*rule)->dictionary())));
            preset.setValue(row.field, values.value(row.field));
        } else if (values.hasValue(row.field)) {
            preset.setValue(row.field, values.value(row.field));
        } else if (row.control == FormControl::PopUp) {
            preset.setValue(row.field, popUpValues(row.field)->entry(0));
        } else if (fieldKind(row.field) == FieldKind::Text) {
            preset.setValue(row.field, QString());
        }
    }
    return preset;
}
