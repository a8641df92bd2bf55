// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LoginItem.h"
#include "support/ScopedIsolation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace LoginItem = platform::LoginItem;

namespace {

const QString HelperId = QStringLiteral("org.calvorn.TestHelper");

// Each test gets its own config folder and a helper program to point at.
class LoginItemTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString makeProgram(const QString &relativePath)
    {
        const QString path = m_dir.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    static QString readEntry()
    {
        QFile file(LoginItem::entryPath(HelperId));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    const QStringList &errors() const { return m_console.lines(); }

    testsupport::ScopedConfigHome m_config;
    testsupport::ConsoleCapture m_console;
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(LoginItemTest, EntryLivesInTheAutostartFolderOfTheConfigHome)
{
    EXPECT_EQ(LoginItem::entryPath(HelperId),
        m_config.path() + QStringLiteral("/autostart/org.calvorn.TestHelper.desktop"));
}

TEST_F(LoginItemTest, OnWritesAnEntryThatStartsTheHelper)
{
    const QString program = makeProgram(QStringLiteral("My Apps/50% off/Calvorn_Helper"));
    ASSERT_TRUE(LoginItem::setEnabled(HelperId, true, program));

    const QString quoted = QString(program).replace(QStringLiteral("%"), QStringLiteral("%%"));
    EXPECT_EQ(readEntry(),
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Calvorn\n"
                       "Comment=Starts Calvorn when you log in\n"
                       "Icon=" CALVORN_APP_ID "\n"
                       "Exec=\"%1\"\n"
                       "TryExec=%2\n"
                       "NoDisplay=true\n"
                       "X-GNOME-Autostart-enabled=true\n")
            .arg(quoted, program));
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(LoginItemTest, ExecSurvivesEveryCharacterAShellOrTheEntryParserWouldTake)
{
    // Quoting escapes " ` $ \ with a backslash; the string layer then
    // doubles every backslash and writes line breaks as \n.
    EXPECT_EQ(LoginItem::execValue(QStringLiteral("/a b/\"q\"/`c`/$HOME/x\\y/100%/l\nm")),
        QStringLiteral("\"/a b/\\\\\"q\\\\\"/\\\\`c\\\\`/\\\\$HOME/x\\\\\\\\y/100%%/l\\nm\""));
    EXPECT_EQ(LoginItem::execValue(QStringLiteral("/plain/Calvorn_Helper")),
        QStringLiteral("\"/plain/Calvorn_Helper\""));
}

TEST_F(LoginItemTest, EntryPassesTheDesktopFileValidator)
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed";
    const QString program = makeProgram(QStringLiteral("odd $place/with \"quotes\" & 5%/Calvorn_Helper"));
    ASSERT_TRUE(LoginItem::setEnabled(HelperId, true, program));

    QProcess validate;
    validate.start(validator, { LoginItem::entryPath(HelperId) });
    ASSERT_TRUE(validate.waitForFinished(30000));
    const QString report
        = QString::fromUtf8(validate.readAllStandardOutput() + validate.readAllStandardError());
    EXPECT_EQ(validate.exitCode(), 0) << qPrintable(report);
    EXPECT_FALSE(report.contains(QStringLiteral("error"))) << qPrintable(report);
}

TEST_F(LoginItemTest, OnAgainReplacesTheEntryAndLeavesNothingElse)
{
    const QString first = makeProgram(QStringLiteral("one/Calvorn_Helper"));
    const QString second = makeProgram(QStringLiteral("two/Calvorn_Helper"));
    const QString autostart = QFileInfo(LoginItem::entryPath(HelperId)).absolutePath();
    QDir().mkpath(autostart);
    QFile other(autostart + QStringLiteral("/someone-else.desktop"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("[Desktop Entry]\n");
    other.close();

    ASSERT_TRUE(LoginItem::setEnabled(HelperId, true, first));
    ASSERT_TRUE(LoginItem::setEnabled(HelperId, true, second));
    EXPECT_TRUE(readEntry().contains(QStringLiteral("TryExec=") + second + QLatin1Char('\n')));
    EXPECT_FALSE(readEntry().contains(first));
    EXPECT_EQ(QDir(autostart).entryList(QDir::Files | QDir::Hidden),
        QStringList(
            { QStringLiteral("org.calvorn.TestHelper.desktop"), QStringLiteral("someone-else.desktop") }));

    ASSERT_TRUE(LoginItem::setEnabled(HelperId, false, second));
    EXPECT_FALSE(QFileInfo::exists(LoginItem::entryPath(HelperId)));
    EXPECT_TRUE(QFileInfo::exists(other.fileName()));
}

TEST_F(LoginItemTest, OffWithoutAnEntryIsSuccess)
{
    EXPECT_TRUE(LoginItem::setEnabled(HelperId, false, QStringLiteral("/nowhere/Calvorn_Helper")));
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(LoginItemTest, MissingOrRelativeHelperIsRefusedWithAReason)
{
    QString why;
    EXPECT_FALSE(
        LoginItem::setEnabled(HelperId, true, m_dir.filePath(QStringLiteral("absent/Calvorn_Helper")), &why));
    EXPECT_TRUE(why.contains(QStringLiteral("absent/Calvorn_Helper")));
    EXPECT_FALSE(LoginItem::setEnabled(HelperId, true, QStringLiteral("libexec/calvorn/Calvorn_Helper")));
    EXPECT_FALSE(QFileInfo::exists(LoginItem::entryPath(HelperId)));
    ASSERT_EQ(errors().size(), 2);
    EXPECT_TRUE(errors().first().startsWith(QStringLiteral("Could not turn on start at login: ")));
}

TEST_F(LoginItemTest, UnwritableFolderFailsInsteadOfClaimingSuccess)
{
    const QString program = makeProgram(QStringLiteral("Calvorn_Helper"));
    // A file where the autostart folder should be.
    QFile blocker(m_config.path() + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QString why;
    EXPECT_FALSE(LoginItem::setEnabled(HelperId, true, program, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(errors().size(), 1);
}
