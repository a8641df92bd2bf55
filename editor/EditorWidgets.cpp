// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/EditorWidgets.h"

#include <QLabel>

QLabel *headingLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}
