// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFrame>

// The frame around one field of the editing form. Its border colour is the
// field's edit mark: yellow while the control differs from the file's
// value, clear while it agrees.
class FieldBox : public QFrame
{
    Q_OBJECT
public:
    explicit FieldBox(QWidget *parent = nullptr);

    static QColor editedColor();
    static QColor clearColor();

    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);
    bool isMarked() const { return m_borderColor != clearColor(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_borderColor = clearColor();
};
