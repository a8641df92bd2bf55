// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/QorCollectionViewGroup.h"

#include "platform/Settings.h"

QString QorCollectionViewGroup::defaultsIdentifier(const QString &title)
{
    return QStringLiteral("collectionGroup%1Status").arg(title);
}

bool QorCollectionViewGroup::isCollapsed() const
{
    return platform::Settings::boolValue(defaultsIdentifier()).value_or(false);
}

void QorCollectionViewGroup::setCollapsed(bool collapsed) const
{
    platform::Settings::setBool(defaultsIdentifier(), collapsed);
}

QString QorCollectionViewGroup::description() const
{
    // One multi-argument call, so a "%" in the title is never taken as a marker.
    return QStringLiteral("%1 %2 %3").arg(m_title, QString::number(m_section), m_range.toString());
}
