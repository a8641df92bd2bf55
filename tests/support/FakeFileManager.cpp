// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FakeFileManager.h"

#include <QDBusConnection>

namespace testsupport {

namespace {
const QString Service = QStringLiteral("org.freedesktop.FileManager1");
const QString Path = QStringLiteral("/org/freedesktop/FileManager1");
} // namespace

FakeFileManager::FakeFileManager()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    m_registered = bus.isConnected() && bus.registerObject(Path, this, QDBusConnection::ExportAllSlots)
        && bus.registerService(Service);
}

FakeFileManager::~FakeFileManager()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(Service);
    bus.unregisterObject(Path);
}

bool FakeFileManager::answer(QStringList &record, const QStringList &uris)
{
    record << uris;
    return true;
}

void FakeFileManager::ShowFolders(const QStringList &uris, const QString &)
{
    answer(shownFolders, uris);
}

void FakeFileManager::ShowItems(const QStringList &uris, const QString &)
{
    answer(shownItems, uris);
}

} // namespace testsupport
