// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestEnvironment.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(TestData, SharedImagesAreReachable)
{
    REQUIRE_TEST_DATA();
    EXPECT_GE(QDir(testsupport::testDataDir() + QStringLiteral("/images")).entryList(QDir::Files).size(), 60);
}
