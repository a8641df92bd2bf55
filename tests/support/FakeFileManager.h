// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusContext>
#include <QObject>
#include <QStringList>

namespace testsupport {

// Stands for the desktop's file manager on the session bus while it lives:
// records what it is asked to show.
// Use it on a private bus only.
class FakeFileManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    FakeFileManager();
    ~FakeFileManager() override;

    // False without a session bus, or when another program holds the name.
    bool isRegistered() const { return m_registered; }

    QStringList shownFolders;
    QStringList shownItems;

public slots:
    void ShowFolders(const QStringList &uris, const QString &startupId);
    void ShowItems(const QStringList &uris, const QString &startupId);

private:
    bool answer(QStringList &record, const QStringList &uris);

    bool m_registered = false;
};

} // namespace testsupport
