// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Notifier.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

using platform::Notifier;

namespace {

void drainUntil(const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

// Made first by a worker (nothing else in this program touches the centre
// earlier), yet delivering on the GUI thread.
TEST(Notifier, DeliversOnTheGuiThreadInPostingOrderFromAnyThread)
{
    std::vector<int> received;
    bool allOnGui = true;
    std::thread worker([] {
        for (int i = 0; i < 100; ++i)
            Notifier::instance().postScanViewStatus({ { Notifier::ScanViewStatus, i } });
    });
    worker.join();
    const auto connection = QObject::connect(
        &Notifier::instance(), &Notifier::scanViewStatus, [&](const QVariantMap &userInfo) {
            allOnGui = allOnGui && QThread::currentThread() == qApp->thread();
            received.push_back(userInfo.value(Notifier::ScanViewStatus).toInt());
        });
    // A post from the GUI thread queues behind the workers' posts.
    Notifier::instance().postScanViewStatus({ { Notifier::ScanViewStatus, 100 } });
    EXPECT_TRUE(received.empty());
    drainUntil([&] { return received.size() == 101; });
    QObject::disconnect(connection);
    ASSERT_EQ(received.size(), 101u);
    for (int i = 0; i <= 100; ++i)
        EXPECT_EQ(received[size_t(i)], i);
    EXPECT_TRUE(allOnGui);
}
