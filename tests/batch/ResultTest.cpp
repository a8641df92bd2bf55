#include "batch/Result.h"

#include <gtest/gtest.h>

TEST(BatchResult, NoneUntilABatchEndsThenTheLastOne)
{
    ASSERT_EQ(batchResult(), std::nullopt);
    const Result inPlace{4, 4, 1.0, 3, 0, std::nullopt, true};
    batchResult() = inPlace;
    const Result copies{2, 5, 12.0, 2, 3, QUrl::fromLocalFile(QStringLiteral("/tmp/out")), false};
    batchResult() = copies;
    EXPECT_EQ(batchResult(), copies);
    batchResult().reset();
}
