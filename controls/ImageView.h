// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A picture the user can drag to move its window.
class ImageView : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

    bool mouseDownCanMoveWindow() const { return true; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
