// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Button.h"

Button::Button(QWidget *parent)
    : Button(QString(), parent)
{ }

Button::Button(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
{
    setCursor(Qt::PointingHandCursor);
}
