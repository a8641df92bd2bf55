// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class EditableTextField;

// A row of the preset manager's list: the preset's name in a label that
// turns into a text field on a double click (or when the manager begins
// editing it), so the user renames the preset in place. Clicks that start
// no editing reach the list, which selects the row.
class PresetTableCellView : public QWidget
{
    Q_OBJECT
public:
    explicit PresetTableCellView(QWidget *parent = nullptr);
    ~PresetTableCellView() override;

    QPointer<EditableTextField> lblName;
};
