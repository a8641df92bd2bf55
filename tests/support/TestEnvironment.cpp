#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <memory>

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

} // namespace testsupport
