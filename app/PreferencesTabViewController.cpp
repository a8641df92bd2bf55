// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PreferencesTabViewController.h"

#include "app/GeneralPreferencesVC.h"
#include "common/Localization.h"
#include "platform/widgets/ThemeIcon.h"

PreferencesTabViewController::PreferencesTabViewController(QWidget *parent)
    : QTabWidget(parent)
    , m_general(new GeneralPreferencesVC(this))
{
    addTab(m_general, platform::themeIcon(QStringLiteral("preferences-system")), QString());
    localizeTabLabels();
}

void PreferencesTabViewController::localizeTabLabels()
{
    setTabText(0, localizedString(QStringLiteral("QX_ID_15")));
}

void PreferencesTabViewController::showEvent(QShowEvent *event)
{
    QTabWidget::showEvent(event);
    localizeTabLabels();
    setCurrentIndex(0);
}
