// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/SegmentedControl.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

SegmentedControl::SegmentedControl(int segmentCount, QWidget *parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < segmentCount; ++i) {
        auto *button = new QToolButton(this);
        button->setCheckable(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        m_group->addButton(button, i);
        layout->addWidget(button);
        m_segments.append(button);
    }
    connect(m_group, &QButtonGroup::idClicked, this, &SegmentedControl::clicked);
}

void SegmentedControl::setLabel(int segment, const QString &label)
{
    if (QToolButton *button = m_segments.value(segment))
        button->setText(label);
}

QString SegmentedControl::label(int segment) const
{
    const QToolButton *button = m_segments.value(segment);
    return button ? button->text() : QString();
}

int SegmentedControl::selectedSegment() const
{
    return m_group->checkedId();
}

void SegmentedControl::setSelectedSegment(int segment)
{
    if (QToolButton *button = m_segments.value(segment)) {
        button->setChecked(true);
        return;
    }
    m_group->setExclusive(false);
    for (QToolButton *button : m_segments)
        button->setChecked(false);
    m_group->setExclusive(true);
}
