// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/AlertScript.h"
#include "support/TestEnvironment.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testsupport::isolateUserFolders();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Calvorn"));
    testing::InitGoogleTest(&argc, argv);
    testsupport::installUnexpectedAlertGuard();
    return RUN_ALL_TESTS();
}
