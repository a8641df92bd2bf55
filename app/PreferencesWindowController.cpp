// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PreferencesWindowController.h"

#include "app/PreferencesTabViewController.h"
#include "platform/widgets/ScreenRegistry.h"

#include <QAction>
#include <QVBoxLayout>

PreferencesWindowController::PreferencesWindowController()
    : QWidget(nullptr, Qt::Window)
    , m_tabs(new PreferencesTabViewController(this))
{
    setWindowTitle(tr("Preferences"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto *close = new QAction(this);
    close->setShortcuts({ QKeySequence(QKeySequence::Close), QKeySequence(Qt::Key_Escape) });
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
}

PreferencesWindowController *PreferencesWindowController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<PreferencesWindowController>();
}
