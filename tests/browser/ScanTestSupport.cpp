// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanTestSupport.h"

#include "engine/FileInfo.h"
#include "platform/Notifier.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace scantest {

QStringList ScanRun::recordPaths() const
{
    QStringList paths;
    for (const auto &record : result.records)
        paths << record->path();
    return paths;
}

QList<ViewControllerCellViewModel> request(const QStringList &paths)
{
    QList<ViewControllerCellViewModel> items;
    for (const QString &path : paths) {
        ViewControllerCellViewModel item;
        item.path = path;
        items << item;
    }
    return items;
}

ScanRun runScan(const QList<ViewControllerCellViewModel> &items, const std::function<void()> &onIdle)
{
    ScanRun run;
    const auto connection = QObject::connect(&platform::Notifier::instance(),
        &platform::Notifier::scanViewStatus, [&run](const QVariantMap &userInfo) {
            if (const auto status = ScanViewStatus::fromUserInfo(userInfo))
                run.statuses.push_back(*status);
        });
    std::atomic<bool> done { false };
    std::thread worker([&] {
        run.result = Scanner::shared().scan(items);
        done = true;
    });
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (onIdle)
            onIdle();
    }
    worker.join();
    // The end status was queued before the scan returned.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QObject::disconnect(connection);
    return run;
}

void waitForDetails(const FileInfoList &records)
{
    FileInfo::waitForDetails();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    for (const auto &record : records)
        EXPECT_NE(record->metadata, nullptr) << record->path().toStdString();
}

void writeJpeg(const QString &path, int width, int height)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(path, "JPEG")) << path.toStdString();
}

void placeTestImage(const QString &testImage, const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(testsupport::testDataDir() + QStringLiteral("/images/") + testImage, path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace scantest
