// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTabWidget>

class GeneralPreferencesVC;

// The tabs of the preferences window; it always opens on the first, the
// general tab.
class PreferencesTabViewController : public QTabWidget
{
    Q_OBJECT
public:
    explicit PreferencesTabViewController(QWidget *parent = nullptr);

    void localizeTabLabels();
    GeneralPreferencesVC *general() const { return m_general; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    GeneralPreferencesVC *m_general;
};
