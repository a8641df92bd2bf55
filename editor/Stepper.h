// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QToolButton;

// A pair of small arrow buttons that step a whole number within a range;
// it stands beside the text field that shows the number. The arrow keys
// step it too while it has the focus. Only the user's steps emit clicked.
class Stepper : public QWidget
{
    Q_OBJECT
public:
    explicit Stepper(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    int value() const { return m_value; }
    // Clamped into the range; emits nothing.
    void setValue(int value);
    // A user's step (negative steps down); emits clicked when the value moved.
    void stepBy(int steps);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

signals:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateButtons();

    QToolButton *m_up;
    QToolButton *m_down;
    int m_minimum = 0;
    int m_maximum = 99;
    int m_value = 0;
};
