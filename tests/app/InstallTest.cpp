// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelperHandshake.h"
#include "launcher/Handshake.h"
#include "platform/LoginItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString AppId = QStringLiteral(CALVORN_APP_ID);

// This build, installed once into a temporary prefix as `cmake --install`
// puts it there.
class InstallTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_prefix = std::make_unique<QTemporaryDir>();
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(CALVORN_CMAKE),
            { QStringLiteral("--install"), QStringLiteral(CALVORN_BUILD_DIR), QStringLiteral("--prefix"),
                s_prefix->path() });
        install.waitForFinished(120000);
        s_installLog = QString::fromLocal8Bit(install.readAll());
        s_installed = install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0;
    }
    static void TearDownTestSuite() { s_prefix.reset(); }

    void SetUp() override { ASSERT_TRUE(s_installed) << s_installLog.toStdString(); }

    static QString installed(const QString &relativePath) { return s_prefix->filePath(relativePath); }

    // Runs a validator on a file; absent when the tool is not installed.
    static std::optional<QString> validate(const QString &tool, const QStringList &arguments)
    {
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty())
            return std::nullopt;
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(program, arguments);
        run.waitForFinished(60000);
        const QString output = QString::fromLocal8Bit(run.readAll());
        if (run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0)
            return QStringLiteral("failed: ") + output;
        return QString();
    }

    static inline std::unique_ptr<QTemporaryDir> s_prefix;
    static inline QString s_installLog;
    static inline bool s_installed = false;
};

TEST_F(InstallTest, BothProgramsTheDesktopEntryMetadataAndIconsLandUnderThePrefix)
{
    const QString calvorn = installed(QStringLiteral("bin/Calvorn"));
    const QString helper = installed(QStringLiteral("libexec/calvorn/Calvorn_Helper"));
    EXPECT_TRUE(QFileInfo(calvorn).isExecutable());
    EXPECT_TRUE(QFileInfo(helper).isExecutable());
    // Each finds the other by the same relative path as in the build tree.
    EXPECT_EQ(launcher::helperProgramFrom(QFileInfo(calvorn).absolutePath()), helper);
    EXPECT_EQ(launcher::mainProgramFrom(QFileInfo(helper).absolutePath()), calvorn);

    QFile entry(installed(QStringLiteral("share/applications/%1.desktop").arg(AppId)));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=") + calvorn + QLatin1Char('\n'))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nIcon=") + AppId + QLatin1Char('\n')));
    // Docks match the window (its X11 class is the application's name) to
    // this entry.
    EXPECT_TRUE(text.contains(QStringLiteral("\nStartupWMClass=Calvorn\n")));
    EXPECT_TRUE(QFile::exists(installed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId))));
    EXPECT_TRUE(
        QFile::exists(installed(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(AppId))));
    for (int side : { 16, 24, 32, 48, 64, 128, 256 })
        EXPECT_TRUE(QFile::exists(
            installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(AppId))))
            << side;

    // The login item of the installed Calvorn starts the installed helper.
    const HelperHandshake handshake(launcher::helperProgramFrom(QFileInfo(calvorn).absolutePath()));
    ASSERT_TRUE(handshake.setLoginItemEnabled(true));
    QFile autostart(platform::LoginItem::entryPath(QStringLiteral(CALVORN_HELPER_ID)));
    ASSERT_TRUE(autostart.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(autostart.readAll())
                    .contains(QStringLiteral("\nExec=") + platform::LoginItem::execValue(helper)
                        + QLatin1Char('\n')));
    autostart.close();
    EXPECT_TRUE(handshake.setLoginItemEnabled(false));
}

TEST_F(InstallTest, DesktopEntryAndMetadataPassTheirValidators)
{
    const auto entry = validate(QStringLiteral("desktop-file-validate"),
        { installed(QStringLiteral("share/applications/%1.desktop").arg(AppId)) });
    const auto metadata = validate(QStringLiteral("appstreamcli"),
        { QStringLiteral("validate"), QStringLiteral("--no-net"),
            installed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId)) });
    if (entry) {
        EXPECT_EQ(*entry, QString());
    }
    if (metadata) {
        EXPECT_EQ(*metadata, QString());
    }
    if (!entry || !metadata)
        GTEST_SKIP() << "desktop-file-validate or appstreamcli is not installed";
}

} // namespace
