// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ToolTipViewController.h"

#include "platform/widgets/ScreenRegistry.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
// Long help wraps instead of running off the screen.
constexpr int MaximumTextWidth = 320;
} // namespace

ToolTipViewController::ToolTipViewController()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    lblMessage = new QLabel(this);
    lblMessage->setWordWrap(true);
    lblMessage->setMaximumWidth(MaximumTextWidth);
    lblMessage->setTextFormat(Qt::PlainText);
    layout->addWidget(lblMessage);
}

ToolTipViewController::~ToolTipViewController()
{
    popover.setContent(nullptr);
}

ToolTipViewController *ToolTipViewController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<ToolTipViewController>();
}

void ToolTipViewController::show(const QString &message, QWidget *relativeTo, int preferredEdge)
{
    ToolTipViewController *tip = shared();
    tip->popover.setContent(tip);
    if (tip->lblMessage)
        tip->lblMessage->setText(message);
    tip->adjustSize();
    tip->popover.show(relativeTo, preferredEdge);
}

void ToolTipViewController::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (lblMessage)
        lblMessage->clear();
}
