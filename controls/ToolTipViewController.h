// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/widgets/Popover.h"

#include <QPointer>
#include <QWidget>

class QLabel;

// One line of help beside a control, for example the range a numeric field
// accepts. One shared tooltip serves every request; showing it again
// replaces the text and moves it. It never takes the keyboard focus.
class ToolTipViewController : public QWidget
{
    Q_OBJECT
public:
    ToolTipViewController();
    ~ToolTipViewController() override;

    // The shared tooltip, made on first use.
    static ToolTipViewController *shared();

    // edge: 0 left of the view, 1 below, 2 right, 3 above.
    static void show(const QString &message, QWidget *relativeTo, int preferredEdge);

    QPointer<QLabel> lblMessage;
    platform::Popover popover { platform::Popover::Kind::Tooltip };

protected:
    // A closed tooltip keeps no text.
    void hideEvent(QHideEvent *event) override;
};
