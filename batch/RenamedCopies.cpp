#include "batch/RenamedCopies.h"

#include "platform/Console.h"
#include "platform/FileOps.h"
#include "platform/TemporaryFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {

using platform::FileOps::Result;

// Each failed attempt means another program created the chosen name first;
// a folder where that keeps happening is not one to keep trying in.
constexpr int maxAttempts = 1000;

int openFolder(const QString &path, QString *failure)
{
    const int folder = ::open(QFile::encodeName(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        const int error = errno;
        *failure
            = path + QStringLiteral(": ") + QString::fromStdString(std::system_category().message(error));
    }
    return folder;
}

// Whether anything, a dangling link included, takes the path's name in the
// folder.
UniqueNames::Exists existsIn(int folder)
{
    return [folder](const QString &path) {
        struct stat st = {};
        const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
        return ::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT;
    };
}

} // namespace

RenamedCopies::RenamedCopies(const QString &destinationFolder, const Rename &rule, NameSources sources,
    Now now, UniqueNames::Exists exists)
    : m_destination(destinationFolder)
    , m_folder(openFolder(destinationFolder, &m_openFailure))
    , m_rule(rule)
    , m_sources(std::move(sources))
    , m_now(now ? std::move(now) : Now([] { return QDateTime::currentDateTime(); }))
    , m_names(destinationFolder, exists ? std::move(exists) : existsIn(m_folder))
{
    if (m_folder >= 0)
        platform::TemporaryFiles::removeStale(m_folder);
}

RenamedCopies::~RenamedCopies()
{
    if (m_folder >= 0)
        ::close(m_folder);
}

RenamedCopies::Pending::Pending(int folder, QByteArray name, SplitName original)
    : m_folder(folder)
    , m_name(std::move(name))
    , m_original(std::move(original))
{ }

RenamedCopies::Pending::Pending(Pending &&other) noexcept
    : m_folder(other.m_folder)
    , m_name(std::move(other.m_name))
    , m_original(std::move(other.m_original))
    , m_finished(std::exchange(other.m_finished, true))
{ }

RenamedCopies::Pending::~Pending()
{
    if (!m_finished)
        ::unlinkat(m_folder, m_name.constData(), 0);
}

QString RenamedCopies::Pending::path() const
{
    return QStringLiteral("/proc/self/fd/%1/").arg(m_folder) + QFile::decodeName(m_name);
}

std::optional<RenamedCopies::Pending> RenamedCopies::begin(const QString &sourcePath, QString *failure)
{
    if (!isOpen()) {
        *failure = m_openFailure;
        return std::nullopt;
    }
    const QString sourceName = QFileInfo(sourcePath).fileName();
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        const QByteArray name = platform::TemporaryFiles::nextName(QFile::encodeName(sourceName));
        const Result result = platform::FileOps::copyNew(sourcePath, m_folder, QFile::decodeName(name));
        if (result.ok())
            return Pending(m_folder, name, splitFileName(sourceName));
        if (result.code != Result::Code::Exists) {
            // The message names the source, or the temporary name in the folder.
            *failure = result.message.startsWith(sourcePath)
                ? result.message
                : m_destination + QLatin1Char('/') + result.message;
            return std::nullopt;
        }
    }
    *failure = m_destination + QStringLiteral(": no free temporary name");
    return std::nullopt;
}

std::optional<QString> RenamedCopies::finish(Pending &copy, QString *failure)
{
    const QString stem = newFileStem(copy.m_original.stem, m_rule, m_sources, m_copied, m_now());
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        const QString target = m_names.next(stem, copy.m_original.extension);
        const Result result = platform::FileOps::renameNew(
            m_folder, QFile::decodeName(copy.m_name), QFileInfo(target).fileName());
        if (result.ok()) {
            copy.m_finished = true;
            ++m_copied;
            return target;
        }
        if (result.code != Result::Code::Exists) {
            *failure = m_destination + QLatin1Char('/') + result.message;
            return std::nullopt;
        }
    }
    *failure = m_destination + QStringLiteral(": no free name for the copy of ") + copy.m_original.stem;
    return std::nullopt;
}

std::optional<QString> RenamedCopies::copy(const QString &sourcePath)
{
    QString failure;
    std::optional<Pending> pending = begin(sourcePath, &failure);
    std::optional<QString> made = pending ? finish(*pending, &failure) : std::nullopt;
    if (!made)
        platform::Console::err(failure);
    return made;
}
