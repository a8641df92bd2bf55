// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileReplace.h"

#include "platform/ExtendedAttributes.h"
#include "platform/TemporaryFiles.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <system_error>

namespace engine {

namespace {

std::mutex &hookMutex()
{
    static std::mutex mutex;
    return mutex;
}

ReplaceFaultHook &currentHook()
{
    static ReplaceFaultHook hook;
    return hook;
}

bool stepAllowed(ReplaceStep step, const QByteArray &temporaryPath)
{
    ReplaceFaultHook hook;
    {
        std::lock_guard lock(hookMutex());
        hook = currentHook();
    }
    return !hook || hook(step, QFile::decodeName(temporaryPath));
}

QString systemError(const QString &what, int error)
{
    return what + QStringLiteral(": ") + QString::fromStdString(std::generic_category().message(error));
}

// The temporary file: closed and removed on every way out unless it was renamed.
class TemporaryFile
{
public:
    explicit TemporaryFile(QByteArray pathTemplate)
        : m_path(std::move(pathTemplate))
    {
        m_fd = ::mkostemp(m_path.data(), O_CLOEXEC);
        m_created = m_fd >= 0;
    }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_created && !m_renamed)
            ::unlink(m_path.constData());
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const QByteArray &path() const { return m_path; }

    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }
    void markRenamed() { m_renamed = true; }

private:
    QByteArray m_path;
    int m_fd = -1;
    bool m_created = false;
    bool m_renamed = false;
};

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void setReplaceFaultHook(ReplaceFaultHook hook)
{
    std::lock_guard lock(hookMutex());
    currentHook() = std::move(hook);
}

QString replaceFileContents(const QString &path, const char *data, qint64 size)
{
    QFileInfo info(path);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (target.isEmpty())
        return systemError(path, ENOENT);
    const QByteArray targetBytes = QFile::encodeName(target);

    struct stat original
    {
    };
    if (::stat(targetBytes.constData(), &original) != 0)
        return systemError(target, errno);
    if (!S_ISREG(original.st_mode))
        return target + QStringLiteral(": not a regular file");
    // A file the user made read-only stays as it is, as an in-place write would.
    if (::access(targetBytes.constData(), W_OK) != 0)
        return systemError(target, errno);

    const QFileInfo targetInfo(target);
    const QByteArray folder = QFile::encodeName(targetInfo.absolutePath());
    // What a killed write left behind here goes first.
    platform::TemporaryFiles::removeStale(folder);
    // Hidden, so a folder scan running meanwhile does not pick it up.
    const QByteArray name = QFile::encodeName(targetInfo.fileName());
    TemporaryFile temporary(folder + '/' + platform::TemporaryFiles::prefix(name) + "XXXXXX");
    if (!temporary.isOpen())
        return systemError(targetInfo.absolutePath(), errno);

    if (::fchmod(temporary.fd(), original.st_mode & 07777) != 0)
        return systemError(QFile::decodeName(temporary.path()), errno);
    if (::fchown(temporary.fd(), original.st_uid, original.st_gid) != 0)
        (void)::fchown(temporary.fd(), static_cast<uid_t>(-1), original.st_gid);
    // After the mode: an access control list carries its own mode bits.
    if (const QString failed = platform::copyExtendedAttributes(targetBytes, temporary.fd());
        !failed.isEmpty())
        return failed;

    if (const QString failed = writeWhole(temporary.fd(), QFile::decodeName(temporary.path()), data, size);
        !failed.isEmpty())
        return failed;
    // The new content is on disk before it takes the original's place, so a
    // crash leaves either file whole.
    if (::fsync(temporary.fd()) != 0)
        return systemError(QFile::decodeName(temporary.path()), errno);
    if (temporary.close() != 0)
        return systemError(QFile::decodeName(temporary.path()), errno);

    if (!stepAllowed(ReplaceStep::BeforeRename, temporary.path()))
        return systemError(target, EIO);
    // A file that was removed meanwhile is not brought back.
    struct stat current
    {
    };
    if (::lstat(targetBytes.constData(), &current) != 0)
        return systemError(target, errno);
    if (::rename(temporary.path().constData(), targetBytes.constData()) != 0)
        return systemError(target, errno);
    temporary.markRenamed();
    // And the new name is on disk before the batch counts the file as done.
    syncFolder(folder);
    return QString();
}

QString writeWhole(int fd, const QString &path, const char *data, qint64 size)
{
    const qint64 half = size / 2;
    const QByteArray native = QFile::encodeName(path);
    if (!writeAll(fd, data, half))
        return systemError(path, errno);
    if (!stepAllowed(ReplaceStep::PartWritten, native))
        return path + QStringLiteral(": write failed");
    if (!writeAll(fd, data + half, size - half))
        return systemError(path, errno);
    return QString();
}

bool beforeRenameAllowed(const QString &temporaryPath)
{
    return stepAllowed(ReplaceStep::BeforeRename, QFile::encodeName(temporaryPath));
}

} // namespace engine
