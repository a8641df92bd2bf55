// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/FormFields.h"

QString formOutletName(const FormFieldInfo &row, FormOutlet outlet)
{
    const char *prefix = "lbl";
    switch (outlet) {
    case FormOutlet::Label:
        prefix = "lbl";
        break;
    case FormOutlet::Box:
        prefix = "box";
        break;
    case FormOutlet::Button:
        prefix = "btn";
        break;
    case FormOutlet::Control:
        prefix = row.control == FormControl::TextView ? "txtView"
            : isPopUp(row.control)                    ? "popUp"
                                                      : "txtField";
        break;
    }
    return QLatin1String(prefix) + QLatin1String(row.stem.data(), qsizetype(row.stem.size()));
}
