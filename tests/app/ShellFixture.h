// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppDelegate.h"
#include "app/Screens.h"
#include "platform/Clock.h"
#include "platform/widgets/ScreenRegistry.h"
#include "support/ScopedIsolation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace shelltest {

// An empty executable standing for Calvorn_Helper in an install tree below
// dir; its path, or nothing when it cannot be made.
inline QString makeHelperProgram(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("libexec/calvorn/Calvorn_Helper"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile program(path);
    if (!program.open(QIODevice::WriteOnly))
        return QString();
    program.close();
    program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// Settings of the test's own, a Calvorn_Helper program in a temporary
// install tree, the screens of one run and a delegate that uses that helper.
class ShellFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        helper = makeHelperProgram(m_dir);
        ASSERT_FALSE(helper.isEmpty());
        registerScreens(screens);
        delegate = std::make_unique<AppDelegate>(HelperHandshake(helper));
    }

    void TearDown() override
    {
        delegate.reset();
        screens.releaseShared();
        platform::Clock::setManual(false);
    }

    testsupport::ScopedConfigHome config;
    testsupport::ConsoleCapture console;
    platform::ScreenRegistry screens;
    QTemporaryDir m_dir;
    QString helper;
    std::unique_ptr<AppDelegate> delegate;
};

} // namespace shelltest
