// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/QorIndexSet.h"

#include <QString>

// A run of consecutive items shown under one header. Its collapsed state
// is a setting named after its title, so it outlives the program and every
// group with the same title shares it.
class QorCollectionViewGroup
{
public:
    QorCollectionViewGroup() = default;
    QorCollectionViewGroup(const QString &title, QorRange range)
        : m_title(title)
        , m_range(range)
    { }
    QorCollectionViewGroup(const QString &title, qint64 section, QorRange range)
        : m_title(title)
        , m_section(section)
        , m_range(range)
    { }

    static QorCollectionViewGroup groupWithTitle(const QString &title, QorRange range)
    {
        return QorCollectionViewGroup(title, range);
    }
    static QorCollectionViewGroup groupWithTitle(const QString &title, qint64 section, QorRange range)
    {
        return QorCollectionViewGroup(title, section, range);
    }

    QString title() const { return m_title; }
    // A value of the caller's choice.
    qint64 section() const { return m_section; }
    QorRange itemRange() const { return m_range; }

    // The settings key of the collapsed state: "collectionGroup<title>Status".
    QString defaultsIdentifier() const { return defaultsIdentifier(m_title); }
    static QString defaultsIdentifier(const QString &title);

    bool isCollapsed() const;
    // Written and synced at once; views showing a group of this title
    // lay themselves out again.
    void setCollapsed(bool collapsed) const;

    // "<title> <section> {location, length}"
    QString description() const;

    bool operator==(const QorCollectionViewGroup &) const = default;

private:
    QString m_title;
    qint64 m_section = 0;
    QorRange m_range;
};
