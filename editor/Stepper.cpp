// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Stepper.h"

#include <QEvent>
#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

Stepper::Stepper(QWidget *parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    setFocusPolicy(Qt::TabFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *button : { m_up, m_down }) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(18, 11);
        layout->addWidget(button);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    updateButtons();
}

void Stepper::setRange(int minimum, int maximum)
{
    m_minimum = std::min(minimum, maximum);
    m_maximum = std::max(minimum, maximum);
    setValue(m_value);
}

void Stepper::setValue(int value)
{
    m_value = std::clamp(value, m_minimum, m_maximum);
    updateButtons();
}

void Stepper::stepBy(int steps)
{
    if (!isEnabled())
        return;
    const int before = m_value;
    setValue(int(std::clamp<qint64>(qint64(m_value) + steps, m_minimum, m_maximum)));
    if (m_value != before)
        emit clicked();
}

void Stepper::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up)
        stepBy(1);
    else if (event->key() == Qt::Key_Down)
        stepBy(-1);
    else
        QWidget::keyPressEvent(event);
}

void Stepper::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateButtons();
}

void Stepper::updateButtons()
{
    m_up->setEnabled(isEnabled() && m_value < m_maximum);
    m_down->setEnabled(isEnabled() && m_value > m_minimum);
}
