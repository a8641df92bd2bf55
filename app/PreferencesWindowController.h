// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class PreferencesTabViewController;

// The preferences window; one for the whole run, opened from the
// application menu. Ctrl+W or Escape closes it.
class PreferencesWindowController : public QWidget
{
    Q_OBJECT
public:
    PreferencesWindowController();

    static PreferencesWindowController *shared();

    PreferencesTabViewController *contentViewController() const { return m_tabs; }

private:
    PreferencesTabViewController *m_tabs;
};
