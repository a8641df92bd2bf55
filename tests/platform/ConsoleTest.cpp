// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Console.h"
#include "platform/GlobalQueue.h"

#include <gtest/gtest.h>

#include <mutex>

using platform::Console;

TEST(Console, LinesStayWholeFromManyThreads)
{
    std::mutex mutex;
    std::vector<std::pair<Console::Stream, QString>> lines;
    Console::setSink([&](Console::Stream stream, const QString &line) {
        std::lock_guard lock(mutex);
        lines.emplace_back(stream, line);
    });
    for (int i = 0; i < 8; ++i)
        platform::GlobalQueue::run([i] {
            for (int j = 0; j < 50; ++j)
                Console::err(QStringLiteral("worker %1 line %2").arg(i).arg(j));
        });
    platform::GlobalQueue::waitForDone();
    Console::out(QStringLiteral("to standard output"));
    Console::log(QStringLiteral("diagnostic"));
    Console::setSink({});

    ASSERT_EQ(lines.size(), 402u);
    for (size_t i = 0; i < 400; ++i) {
        EXPECT_EQ(lines[i].first, Console::Stream::Err);
        EXPECT_TRUE(lines[i].second.startsWith(QStringLiteral("worker ")));
    }
    EXPECT_EQ(lines[400].first, Console::Stream::Out);
    EXPECT_EQ(lines[401].first, Console::Stream::Err);
    EXPECT_TRUE(lines[401].second.endsWith(QStringLiteral("] diagnostic")));
}
