// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clock.h"
#include "platform/GlobalQueue.h"
#include "platform/MainQueue.h"
#include "platform/Timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

using namespace platform;

namespace {

void drainUntil(const std::function<bool()> &done, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

struct ManualClock
{
    ManualClock() { Clock::setManual(true); }
    ~ManualClock() { Clock::setManual(false); }
};

} // namespace

TEST(MainQueue, PostsFromWorkersArriveOnTheGuiThreadInOrder)
{
    std::vector<int> order;
    std::atomic<bool> allOnGui { true };
    GlobalQueue::run([&] {
        for (int i = 0; i < 50; ++i)
            MainQueue::post([&, i] {
                allOnGui = allOnGui && MainQueue::isGuiThread();
                order.push_back(i);
            });
    });
    GlobalQueue::waitForDone();
    drainUntil([&] { return order.size() == 50; });
    ASSERT_EQ(order.size(), 50u);
    EXPECT_TRUE(allOnGui);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(order[size_t(i)], i);
}

TEST(MainQueue, PostIsDroppedWhenItsContextDies)
{
    bool ran = false;
    auto *context = new QObject;
    MainQueue::post(context, [&] { ran = true; });
    delete context;
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

TEST(MainQueue, AfterWaitsForTheManualClock)
{
    ManualClock clock;
    QObject context;
    std::vector<int> ran;
    MainQueue::after(300, &context, [&] { ran.push_back(300); });
    MainQueue::after(100, &context, [&] { ran.push_back(100); });
    Clock::advance(99);
    EXPECT_TRUE(ran.empty());
    Clock::advance(1);
    EXPECT_EQ(ran, std::vector<int> { 100 });
    Clock::advance(1000);
    EXPECT_EQ(ran, (std::vector<int> { 100, 300 }));
}

TEST(MainQueue, AfterIsCancelledWithItsContext)
{
    ManualClock clock;
    bool ran = false;
    {
        QObject context;
        MainQueue::after(10, &context, [&] { ran = true; });
    }
    Clock::advance(20);
    EXPECT_FALSE(ran);
}

TEST(MainQueue, AfterRunsOnTheRealClockToo)
{
    QObject context;
    bool ran = false;
    GlobalQueue::run([&] { MainQueue::after(1, &context, [&] { ran = MainQueue::isGuiThread(); }); });
    GlobalQueue::waitForDone();
    drainUntil([&] { return ran; });
    EXPECT_TRUE(ran);
}

TEST(Timer, TicksPerIntervalAndStopsAtOnce)
{
    ManualClock clock;
    int ticks = 0;
    Timer timer(1000, [&] { ++ticks; });
    timer.start();
    Clock::advance(3500);
    EXPECT_EQ(ticks, 3);
    timer.stop();
    EXPECT_FALSE(timer.isActive());
    Clock::advance(5000);
    EXPECT_EQ(ticks, 3);
}

TEST(Deferred, RunsOncePerPass)
{
    int runs = 0;
    Deferred deferred([&] { ++runs; });
    deferred.request();
    deferred.request();
    deferred.request();
    drainUntil([&] { return runs > 0; });
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1);
    deferred.request();
    deferred.cancel();
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1);
}

TEST(WorkQueue, NeverRunsMoreThanItsLimit)
{
    WorkQueue queue(3);
    std::atomic<int> running { 0 };
    std::atomic<int> peak { 0 };
    std::atomic<int> done { 0 };
    // A job running alone waits for a second one, so that overlap is seen
    // however busy the machine is.
    std::mutex mutex;
    std::condition_variable overlap;
    bool overlapped = false;
    for (int i = 0; i < 40; ++i) {
        queue.run([&] {
            const int now = ++running;
            int seen = peak.load();
            while (now > seen && !peak.compare_exchange_weak(seen, now)) { }
            {
                std::unique_lock lock(mutex);
                if (now >= 2) {
                    overlapped = true;
                    overlap.notify_all();
                } else {
                    overlap.wait_for(lock, std::chrono::seconds(10), [&] { return overlapped; });
                }
            }
            QThread::usleep(500);
            --running;
            ++done;
        });
    }
    queue.waitForDone();
    EXPECT_EQ(done, 40);
    EXPECT_LE(peak, 3);
    EXPECT_GE(peak, 2);
}
