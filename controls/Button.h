// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

// A push button that shows the pointing hand while the pointer is over it.
class Button : public QPushButton
{
    Q_OBJECT
public:
    explicit Button(QWidget *parent = nullptr);
    explicit Button(const QString &text, QWidget *parent = nullptr);
};
