// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

namespace {
std::unique_ptr<QTemporaryDir> &root()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

void isolateUserFolders()
{
    root() = std::make_unique<QTemporaryDir>();
    const QString base = root()->path();
    const auto setFolder = [&](const char *variable, const QString &sub) {
        const QString path = base + QLatin1Char('/') + sub;
        QDir().mkpath(path);
        qputenv(variable, QFile::encodeName(path));
    };
    setFolder("XDG_CONFIG_HOME", QStringLiteral("config"));
    setFolder("XDG_CACHE_HOME", QStringLiteral("cache"));
    setFolder("XDG_DATA_HOME", QStringLiteral("data"));
    setFolder("XDG_STATE_HOME", QStringLiteral("state"));
    QDir().mkpath(base + QStringLiteral("/data-dirs"));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(base + QStringLiteral("/data-dirs")));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString isolatedRoot()
{
    return root() ? root()->path() : QString();
}

QString testDataDir()
{
    return QStringLiteral(CALVORN_TESTDATA_DIR);
}

bool hasTestData()
{
    return QFileInfo(testDataDir() + QStringLiteral("/images")).isDir();
}

QString copyTestFile(const QString &relativePath, const QTemporaryDir &dir, const QString &newName)
{
    const QString source = testDataDir() + QLatin1Char('/') + relativePath;
    const QString name = newName.isEmpty() ? QFileInfo(source).fileName() : newName;
    const QString target = dir.path() + QLatin1Char('/') + name;
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return QString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return target;
}

bool makePipe(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool returnsPromptly(const QStringList &pipes, const std::function<void()> &call)
{
    auto done = std::async(std::launch::async, call);
    if (done.wait_for(std::chrono::seconds(10)) == std::future_status::ready)
        return true;
    do {
        for (const QString &pipe : pipes) {
            const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
    } while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready);
    return false;
}

} // namespace testsupport
