// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/RenamedCopies.h"

#include "engine/FileReplace.h"
#include "platform/Calendar.h"
#include "platform/Console.h"
#include "platform/FileOps.h"
#include "platform/RegularFile.h"
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

RenamedCopies::RenamedCopies(
    const QString &destinationFolder, const Rename &rule, Now now, UniqueNames::Exists exists)
    : m_destination(destinationFolder)
    , m_folder(openFolder(destinationFolder, &m_openFailure))
    , m_rule(rule)
    , m_now(now ? std::move(now) : Now(platform::Calendar::now))
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

RenamedCopies::Pending::Pending(
    int folder, const QString &sourceName, unsigned mode, QString stem, QString extension, QString target)
    : m_folder(folder)
    , m_sourceName(sourceName)
    , m_mode(mode)
    , m_stem(std::move(stem))
    , m_extension(std::move(extension))
    , m_target(std::move(target))
{ }

RenamedCopies::Pending::Pending(Pending &&other) noexcept
    : m_folder(other.m_folder)
    , m_sourceName(std::move(other.m_sourceName))
    , m_mode(other.m_mode)
    , m_stem(std::move(other.m_stem))
    , m_extension(std::move(other.m_extension))
    , m_target(std::move(other.m_target))
    , m_name(std::move(other.m_name))
    , m_finished(std::exchange(other.m_finished, true))
{ }

RenamedCopies::Pending::~Pending()
{
    if (!m_finished && !m_name.isEmpty())
        ::unlinkat(m_folder, m_name.constData(), 0);
}

QString RenamedCopies::Pending::path() const
{
    return QStringLiteral("/proc/self/fd/%1/").arg(m_folder) + QFile::decodeName(m_name);
}

template <typename Make> QString RenamedCopies::Pending::makeTemporary(Make make)
{
    if (!m_name.isEmpty())
        return path() + QStringLiteral(": written already");
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        const QByteArray name = platform::TemporaryFiles::nextName(QFile::encodeName(m_sourceName));
        const Result result = make(name);
        if (result.ok()) {
            m_name = name;
            return QString();
        }
        if (result.code != Result::Code::Exists)
            return result.message;
    }
    return QFileInfo(m_target).path() + QStringLiteral(": no free temporary name");
}

QString RenamedCopies::Pending::write(const char *data, qint64 size)
{
    return makeTemporary([&](const QByteArray &name) -> Result {
        const QString shown = QFileInfo(m_target).path() + QLatin1Char('/') + QFile::decodeName(name);
        const auto systemFailure = [&](int error) {
            return shown + QStringLiteral(": ")
                + QString::fromStdString(std::system_category().message(error));
        };
        const int fd = ::openat(m_folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, m_mode);
        if (fd < 0) {
            const int error = errno;
            return { error == EEXIST ? Result::Code::Exists : Result::Code::Failed, systemFailure(error) };
        }
        // The creation mask may have narrowed the mode given to open().
        QString failed
            = ::fchmod(fd, m_mode) == 0 ? engine::writeWhole(fd, shown, data, size) : systemFailure(errno);
        if (::close(fd) != 0 && failed.isEmpty())
            failed = systemFailure(errno);
        if (failed.isEmpty() && !engine::beforeRenameAllowed(shown))
            failed = systemFailure(EIO);
        if (!failed.isEmpty()) {
            ::unlinkat(m_folder, name.constData(), 0);
            return { Result::Code::Failed, failed };
        }
        return Result::success();
    });
}

QString RenamedCopies::Pending::copyContent(const QString &sourcePath)
{
    return makeTemporary([&](const QByteArray &name) {
        Result result = platform::FileOps::copyNew(sourcePath, m_folder, QFile::decodeName(name));
        // The message names the source, or the temporary name in the folder.
        if (!result.ok() && !result.message.startsWith(sourcePath))
            result.message = QFileInfo(m_target).path() + QLatin1Char('/') + result.message;
        return result;
    });
}

std::optional<RenamedCopies::Pending> RenamedCopies::begin(
    const QString &sourcePath, const NameSources &sources, QString *failure)
{
    if (!isOpen()) {
        *failure = m_openFailure;
        return std::nullopt;
    }
    QString reason;
    const std::optional<platform::RegularFile> source = platform::RegularFile::open(sourcePath, &reason);
    struct stat st = {};
    if (!source || ::fstat(source->descriptor(), &st) != 0) {
        *failure = sourcePath + QStringLiteral(": ")
            + (source ? QString::fromStdString(std::system_category().message(errno)) : reason);
        return std::nullopt;
    }
    const QString sourceName = QFileInfo(sourcePath).fileName();
    const SplitName original = splitFileName(sourceName);
    std::lock_guard lock(m_mutex);
    const QString stem = newFileStem(original.stem, m_rule, sources, m_begun, m_now());
    const QString target = m_names.next(stem, original.extension);
    ++m_begun;
    return Pending(m_folder, sourceName, st.st_mode & 07777, stem, original.extension, target);
}

std::optional<QString> RenamedCopies::finish(Pending &copy, QString *failure)
{
    if (copy.m_name.isEmpty()) {
        *failure
            = m_destination + QStringLiteral(": nothing was written for the copy of ") + copy.m_sourceName;
        return std::nullopt;
    }
    QString target = copy.m_target;
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        const Result result = platform::FileOps::renameNew(
            m_folder, QFile::decodeName(copy.m_name), QFileInfo(target).fileName());
        if (result.ok()) {
            copy.m_finished = true;
            std::lock_guard lock(m_mutex);
            ++m_copied;
            return target;
        }
        if (result.code != Result::Code::Exists) {
            *failure = m_destination + QLatin1Char('/') + result.message;
            return std::nullopt;
        }
        std::lock_guard lock(m_mutex);
        target = m_names.next(copy.m_stem, copy.m_extension);
    }
    *failure = m_destination + QStringLiteral(": no free name for the copy of ") + copy.m_stem;
    return std::nullopt;
}

std::optional<QString> RenamedCopies::copy(const QString &sourcePath, const NameSources &sources)
{
    QString failure;
    std::optional<Pending> pending = begin(sourcePath, sources, &failure);
    if (pending)
        failure = pending->copyContent(sourcePath);
    std::optional<QString> made = pending && failure.isEmpty() ? finish(*pending, &failure) : std::nullopt;
    if (!made)
        platform::Console::err(failure);
    return made;
}

qint64 RenamedCopies::begun() const
{
    std::lock_guard lock(m_mutex);
    return m_begun;
}

qint64 RenamedCopies::copied() const
{
    std::lock_guard lock(m_mutex);
    return m_copied;
}
