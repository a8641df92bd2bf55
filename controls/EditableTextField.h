// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

// A label-like text field that turns into an editable one on a double
// click, for names the user renames in place. While not editing it shows no
// background, cannot be selected and passes clicks on to the widget below
// (a list row, say), so a single click never starts editing.
class EditableTextField : public QLineEdit
{
    Q_OBJECT
public:
    explicit EditableTextField(QWidget *parent = nullptr);

    // Editable, with the theme's field background, the whole text selected
    // and the keyboard focus.
    void beginEditing();
    // Back to a plain label.
    void endEditing();

    bool isEditable() const { return !isReadOnly(); }
    bool isSelectable() const { return m_selectable; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void setBackground(const QColor &colour);

    bool m_selectable = false;
};
