// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SortChoice.h"

#include <gtest/gtest.h>

TEST(SortChoice, OnlyZeroAndOneAreDirections)
{
    EXPECT_EQ(sortOrderFromRaw(0), SortOrder::ascending);
    EXPECT_EQ(sortOrderFromRaw(1), SortOrder::descending);
    EXPECT_EQ(sortOrderFromRaw(2), std::nullopt);
    EXPECT_EQ(sortOrderFromRaw(-1), std::nullopt);
    EXPECT_EQ(rawValue(SortOrder::descending), 1);
}
