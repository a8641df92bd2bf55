// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestEnvironment.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testsupport::isolateUserFolders();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Calvorn"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
