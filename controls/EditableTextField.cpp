// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/EditableTextField.h"

#include <QApplication>
#include <QMouseEvent>

EditableTextField::EditableTextField(QWidget *parent)
    : QLineEdit(parent)
{
    setFrame(false);
    endEditing();
}

void EditableTextField::beginEditing()
{
    setReadOnly(false);
    setBackground(QApplication::palette(this).color(QPalette::Base));
    m_selectable = true;
    setFocusPolicy(Qt::StrongFocus);
    setFocus(Qt::MouseFocusReason);
    selectAll();
    update();
}

void EditableTextField::endEditing()
{
    setReadOnly(true);
    setBackground(Qt::transparent);
    m_selectable = false;
    deselect();
    setFocusPolicy(Qt::NoFocus);
    update();
}

void EditableTextField::setBackground(const QColor &colour)
{
    QPalette shades = palette();
    shades.setColor(QPalette::Base, colour);
    setPalette(shades);
}

void EditableTextField::mousePressEvent(QMouseEvent *event)
{
    if (m_selectable)
        QLineEdit::mousePressEvent(event);
    else
        event->ignore();
}

void EditableTextField::mouseMoveEvent(QMouseEvent *event)
{
    if (m_selectable)
        QLineEdit::mouseMoveEvent(event);
    else
        event->ignore();
}

void EditableTextField::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_selectable)
        QLineEdit::mouseReleaseEvent(event);
    else
        event->ignore();
}

void EditableTextField::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (isReadOnly()) {
        beginEditing();
        event->accept();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}
