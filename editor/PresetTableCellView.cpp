// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/PresetTableCellView.h"

#include "controls/EditableTextField.h"

#include <QHBoxLayout>

PresetTableCellView::PresetTableCellView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PresetTableCellView"));
    lblName = new EditableTextField(this);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(lblName);
}

PresetTableCellView::~PresetTableCellView() = default;
