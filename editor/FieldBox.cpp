// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/FieldBox.h"

#include <QPainter>

namespace {
constexpr qreal BorderWidth = 2.0;
constexpr qreal CornerRadius = 4.0;
} // namespace

FieldBox::FieldBox(QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
}

QColor FieldBox::editedColor()
{
    return QColor(255, 204, 0);
}

QColor FieldBox::clearColor()
{
    return QColor(Qt::transparent);
}

void FieldBox::setBorderColor(const QColor &color)
{
    if (color == m_borderColor)
        return;
    m_borderColor = color;
    update();
}

void FieldBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_borderColor.alpha() == 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(m_borderColor, BorderWidth));
    const qreal inset = BorderWidth / 2;
    painter.drawRoundedRect(
        QRectF(rect()).adjusted(inset, inset, -inset, -inset), CornerRadius, CornerRadius);
}
