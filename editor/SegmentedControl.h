// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QWidget>

class QButtonGroup;
class QToolButton;

// A row of joined buttons of which one is selected, for choosing one of a
// few modes (such as the map type).
class SegmentedControl : public QWidget
{
    Q_OBJECT
public:
    explicit SegmentedControl(int segmentCount, QWidget *parent = nullptr);

    int segmentCount() const { return int(m_segments.size()); }
    void setLabel(int segment, const QString &label);
    QString label(int segment) const;

    // -1 when none is selected.
    int selectedSegment() const;
    // Selects without emitting clicked; an index out of range selects none.
    void setSelectedSegment(int segment);
    QToolButton *segment(int index) const { return m_segments.value(index); }

signals:
    // The user picked a segment.
    void clicked(int segment);

private:
    QButtonGroup *m_group;
    QList<QToolButton *> m_segments;
};
