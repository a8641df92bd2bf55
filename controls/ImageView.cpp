// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ImageView.h"

#include <QMouseEvent>
#include <QWindow>

void ImageView::mousePressEvent(QMouseEvent *event)
{
    QWindow *handle = window()->windowHandle();
    if (event->button() == Qt::LeftButton && handle && handle->startSystemMove()) {
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}
