// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Workspace.h"
#include "support/QtPrinters.h"
#include "support/UrlRecorder.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Stands in for the desktop's file manager on the session bus.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList calls;

public slots:
    void ShowItems(const QStringList &uris, const QString &) { calls << "items " + uris.join(','); }
    void ShowItemProperties(const QStringList &uris, const QString &)
    {
        calls << "properties " + uris.join(',');
    }
};

bool fileManagerActivatable()
{
    const auto names = QDBusConnection::sessionBus().interface()->activatableServiceNames();
    return names.isValid() && names.value().contains(platform::Workspace::FileManagerService);
}

} // namespace

TEST(WorkspaceTest, TheFileManagerShowsFilesAndPropertiesOnTheBus)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        GTEST_SKIP() << "no session bus";
    FakeFileManager manager;
    ASSERT_TRUE(bus.registerObject(
        QStringLiteral("/org/freedesktop/FileManager1"), &manager, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(platform::Workspace::FileManagerService));

    UrlRecorder opened(QStringLiteral("file"));
    EXPECT_TRUE(platform::Workspace::reveal({ QStringLiteral("/photos/a b.jpg") }));
    EXPECT_TRUE(platform::Workspace::showProperties(QStringLiteral("/photos/c.jpg")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return manager.calls.size() == 2; }, 30000));
    manager.calls.sort();
    EXPECT_EQ(
        manager.calls, QStringList({ "items file:///photos/a%20b.jpg", "properties file:///photos/c.jpg" }));
    EXPECT_TRUE(opened.urls.isEmpty());

    bus.unregisterService(platform::Workspace::FileManagerService);
    bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
}

TEST(WorkspaceTest, WithoutAFileManagerTheFolderOpens)
{
    if (QDBusConnection::sessionBus().isConnected() && fileManagerActivatable())
        GTEST_SKIP() << "a file manager would start on this bus";
    UrlRecorder opened(QStringLiteral("file"));
    EXPECT_TRUE(platform::Workspace::reveal({ QStringLiteral("/photos/trip/a.jpg") }));
    EXPECT_TRUE(platform::Workspace::showProperties(QStringLiteral("/photos/b.jpg")));
    EXPECT_EQ(
        opened.urls, QList<QUrl>({ QUrl::fromLocalFile("/photos/trip"), QUrl::fromLocalFile("/photos") }));
    EXPECT_FALSE(platform::Workspace::reveal({}));
}

#include "WorkspaceTest.moc"
