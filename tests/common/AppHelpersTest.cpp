// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/AppHelpers.h"
#include "common/ScanFlags.h"

#include "platform/Clock.h"
#include "platform/PhotosApp.h"
#include "platform/widgets/Presenter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

QStringList relative(const QString &root, const QStringList &paths)
{
    QStringList out;
    for (const QString &p : paths)
        out << QDir(root).relativeFilePath(p);
    return out;
}

struct ManualClock
{
    ManualClock() { platform::Clock::setManual(true); }
    ~ManualClock() { platform::Clock::setManual(false); }
};

} // namespace

TEST(AppHelpers, DelayRunsOnTheGuiThreadAfterItsTime)
{
    ManualClock clock;
    std::vector<QString> ran;
    delay(1.5, [&] { ran.push_back(QStringLiteral("later")); });
    std::thread worker([&] {
        delay(0.2, [&] {
            ran.push_back(QThread::currentThread() == qApp->thread() ? QStringLiteral("gui")
                                                                     : QStringLiteral("worker"));
        });
    });
    worker.join();
    QCoreApplication::processEvents(); // the hand-off from the worker
    platform::Clock::advance(1000);
    EXPECT_EQ(ran, std::vector<QString> { QStringLiteral("gui") });
    platform::Clock::advance(499);
    EXPECT_EQ(ran.size(), 1u);
    platform::Clock::advance(1);
    EXPECT_EQ(ran.size(), 2u);
}

TEST(AppHelpers, PhotosApplicationIsNotRunningHere)
{
    EXPECT_FALSE(isPhotosAppRunning());
    terminateApplication(PhotosAppName); // nothing to quit, nothing happens

    platform::PhotosApp::Fake fake;
    fake.running = true;
    platform::PhotosApp::setFake(&fake);
    EXPECT_TRUE(isPhotosAppRunning());
    terminateApplication(QStringLiteral("Pictures"));
    EXPECT_EQ(fake.terminateRequests, 0);
    EXPECT_TRUE(isPhotosAppRunning());
    terminateApplication(PhotosAppName);
    EXPECT_EQ(fake.terminateRequests, 1);
    EXPECT_FALSE(isPhotosAppRunning());
    platform::PhotosApp::setFake(nullptr);
}

TEST(AppHelpers, CollectFilesOfNothingAFileAndAFolder)
{
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("one.jpg")));
    touch(dir.filePath(QStringLiteral("sub/two.CR2")));
    touch(dir.filePath(QStringLiteral("sub/.three.jpg")));
    touch(dir.filePath(QStringLiteral("Lib.photoslibrary/originals/A/four.jpg")));
    touch(dir.filePath(QStringLiteral("Lib.photoslibrary/database/Photos.sqlite")));

    EXPECT_EQ(
        collectFiles(dir.filePath(QStringLiteral("nothing"))), std::optional<QStringList>(QStringList()));
    EXPECT_EQ(collectFiles(dir.filePath(QStringLiteral("one.jpg"))),
        std::optional<QStringList>(QStringList { dir.filePath(QStringLiteral("one.jpg")) }));

    const auto all = collectFiles(dir.path());
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(relative(dir.path(), *all),
        (QStringList { QStringLiteral("Lib.photoslibrary"), QStringLiteral("one.jpg"), QStringLiteral("sub"),
            QStringLiteral("sub/two.CR2") }));

    // Walking a library itself leaves its photo folder to the library reader;
    // a folder inside the library, given itself, is walked as any other.
    const QString library = dir.filePath(QStringLiteral("Lib.photoslibrary"));
    EXPECT_EQ(relative(library, *collectFiles(library)),
        (QStringList { QStringLiteral("database"), QStringLiteral("database/Photos.sqlite"),
            QStringLiteral("originals") }));
    EXPECT_EQ(relative(library, *collectFiles(library + QStringLiteral("/originals"))),
        (QStringList { QStringLiteral("originals/A"), QStringLiteral("originals/A/four.jpg") }));
    EXPECT_EQ(relative(library, *collectFiles(library + QStringLiteral("/originals/A"))),
        QStringList { QStringLiteral("originals/A/four.jpg") });
}

TEST(AppHelpers, CollectFilesStopsWithWhatItHasWhenTheScanIsStopped)
{
    QTemporaryDir dir;
    for (int i = 0; i < 5; ++i)
        touch(dir.filePath(QStringLiteral("f%1.jpg").arg(i)));
    ScanFlags::shared().setScanStopped(true);
    const auto stopped = collectFiles(dir.path());
    ScanFlags::shared().setScanStopped(false);
    EXPECT_EQ(stopped, std::optional<QStringList>(QStringList()));
    EXPECT_EQ(collectFiles(dir.path())->size(), 5);
}

TEST(ScanFlags, WaitingForTheQuestionEndsWhenItIsAnsweredOrTheScanStops)
{
    ScanFlags &flags = ScanFlags::shared();
    for (const bool stop : { false, true }) {
        flags.setAskingToQuitPhotos(true);
        bool carriedOn = false;
        std::thread scan([&] { carriedOn = flags.waitWhileAskingToQuitPhotos(); });
        if (stop)
            flags.setScanStopped(true);
        else
            flags.setAskingToQuitPhotos(false);
        scan.join();
        EXPECT_EQ(carriedOn, !stop);
        flags.setAskingToQuitPhotos(false);
        flags.setScanStopped(false);
    }
    EXPECT_TRUE(flags.waitWhileAskingToQuitPhotos());
}

TEST(AppHelpers, PinnedSubviewFillsItsContainer)
{
    QWidget container;
    container.resize(300, 200);
    auto *child = new QLabel(QStringLiteral("child"));
    pinSubview(&container, child);
    container.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(child->parentWidget(), &container);
    EXPECT_EQ(child->geometry(), container.rect());
    container.resize(500, 400);
    container.layout()->activate();
    EXPECT_EQ(child->geometry(), container.rect());
}

TEST(AppHelpers, OverlayAndIcons)
{
    QWidget window;
    window.resize(400, 300);
    QLabel sheet(QStringLiteral("sheet"));
    QWidget *backdrop = makeOverlayWindow(&window, &sheet);
    ASSERT_NE(backdrop, nullptr);
    EXPECT_EQ(backdrop->objectName(), QStringLiteral("MineLoard1"));
    platform::Presenter::dismiss(&sheet);

    EXPECT_FALSE(fileIcon(QString()).has_value());
    ASSERT_TRUE(fileIcon(QStringLiteral("/tmp/photo.jpg")).has_value());
    EXPECT_FALSE(fileIcon(QStringLiteral("/tmp/photo.jpg"))->isNull());
}
