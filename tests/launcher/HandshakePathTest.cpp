// SPDX-License-Identifier: GPL-3.0-or-later
#include "launcher/Handshake.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using launcher::helperProgramFrom;
using launcher::mainProgramFrom;

TEST(HandshakePath, EachProgramFindsTheOtherInAnInstallTree)
{
    EXPECT_EQ(mainProgramFrom(QStringLiteral("/usr/libexec/calvorn")), QStringLiteral("/usr/bin/Calvorn"));
    EXPECT_EQ(
        helperProgramFrom(QStringLiteral("/usr/bin")), QStringLiteral("/usr/libexec/calvorn/Calvorn_Helper"));
    EXPECT_EQ(mainProgramFrom(QStringLiteral("/home/a b/.local/libexec/calvorn")),
        QStringLiteral("/home/a b/.local/bin/Calvorn"));
    EXPECT_EQ(helperProgramFrom(QStringLiteral("/opt/50% off/bin")),
        QStringLiteral("/opt/50% off/libexec/calvorn/Calvorn_Helper"));
}

TEST(HandshakePath, TheBuildTreeIsLaidOutLikeAnInstallation)
{
    const QString calvorn = QStringLiteral(CALVORN_PROGRAM);
    const QString helper = QStringLiteral(CALVORN_HELPER_PROGRAM);
    EXPECT_EQ(mainProgramFrom(QFileInfo(helper).absolutePath()), calvorn);
    EXPECT_EQ(helperProgramFrom(QFileInfo(calvorn).absolutePath()), helper);
}
