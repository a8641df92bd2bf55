// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileReplace.h"

#include "platform/ExtendedAttributes.h"
#include "platform/TemporaryFiles.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <mutex>
#include <system_error>
#include <utility>

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

// The temporary file, made in the folder beside the file it replaces:
// closed and removed on every way out unless it was renamed.
class TemporaryFile
{
public:
    TemporaryFile(int folder, const QByteArray &folderPath, const QByteArray &besideName)
        : m_folder(folder)
    {
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            m_name = platform::TemporaryFiles::nextName(besideName);
            m_fd = ::openat(m_folder, m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        m_created = m_fd >= 0;
        m_path = folderPath + '/' + m_name;
    }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_created && !m_renamed)
            ::unlinkat(m_folder, m_name.constData(), 0);
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const QByteArray &name() const { return m_name; }
    const QByteArray &path() const { return m_path; }

    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }
    void markRenamed() { m_renamed = true; }

private:
    int m_folder;
    QByteArray m_name;
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

} // namespace

void setReplaceFaultHook(ReplaceFaultHook hook)
{
    std::lock_guard lock(hookMutex());
    currentHook() = std::move(hook);
}

std::optional<ReplaceableFile> ReplaceableFile::open(const QString &path, QString *reason)
{
    std::optional<platform::RegularFile> file = platform::RegularFile::open(path, reason);
    if (!file)
        return std::nullopt;
    return ReplaceableFile(std::move(*file));
}

ReplaceableFile::ReplaceableFile(platform::RegularFile file)
    : m_file(std::move(file))
{
    // Where the system says the open file is, right after the open.
    QByteArray location(PATH_MAX, Qt::Uninitialized);
    const ssize_t length
        = ::readlink(m_file.reopenPath().constData(), location.data(), size_t(location.size()));
    struct stat st = {};
    if (length <= 0 || length >= location.size() || location.at(0) != '/'
        || ::fstat(m_file.descriptor(), &st) != 0 || st.st_nlink == 0)
        return;
    location.truncate(length);
    const qsizetype slash = location.lastIndexOf('/');
    m_folderPath = slash > 0 ? location.left(slash) : QByteArrayLiteral("/");
    m_name = location.mid(slash + 1);
    m_folder = ::open(m_folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

ReplaceableFile::ReplaceableFile(ReplaceableFile &&other) noexcept
    : m_file(std::move(other.m_file))
    , m_folder(std::exchange(other.m_folder, -1))
    , m_folderPath(std::move(other.m_folderPath))
    , m_name(std::move(other.m_name))
{ }

ReplaceableFile::~ReplaceableFile()
{
    if (m_folder >= 0)
        ::close(m_folder);
}

QString replaceFileContents(const ReplaceableFile &read, const QString &path, const char *data, qint64 size)
{
    if (read.m_folder < 0)
        return systemError(path, ENOENT);
    const int folder = read.m_folder;
    const QByteArray &name = read.m_name;
    const QString target = QFile::decodeName(read.m_folderPath + '/' + name);
    struct stat original
    {
    };
    if (::fstat(read.file().descriptor(), &original) != 0)
        return systemError(target, errno);
    // A file the user made read-only stays as it is, as an in-place write would.
    if (::access(read.file().reopenPath().constData(), W_OK) != 0)
        return systemError(target, errno);

    // What a killed write left behind here goes first.
    platform::TemporaryFiles::removeStale(folder);
    // Hidden, so a folder scan running meanwhile does not pick it up.
    TemporaryFile temporary(folder, read.m_folderPath, name);
    if (!temporary.isOpen())
        return systemError(QFile::decodeName(read.m_folderPath), errno);
    const QString temporaryPath = QFile::decodeName(temporary.path());

    if (::fchmod(temporary.fd(), original.st_mode & 07777) != 0)
        return systemError(temporaryPath, errno);
    if (::fchown(temporary.fd(), original.st_uid, original.st_gid) != 0)
        (void)::fchown(temporary.fd(), static_cast<uid_t>(-1), original.st_gid);
    // After the mode: an access control list carries its own mode bits.
    if (const QString failed = platform::copyExtendedAttributes(read.file().reopenPath(), temporary.fd());
        !failed.isEmpty())
        return failed;

    if (const QString failed = writeWhole(temporary.fd(), temporaryPath, data, size); !failed.isEmpty())
        return failed;
    // The new content is on disk before it takes the original's place, so a
    // crash leaves either file whole.
    if (::fsync(temporary.fd()) != 0)
        return systemError(temporaryPath, errno);
    if (temporary.close() != 0)
        return systemError(temporaryPath, errno);

    if (!stepAllowed(ReplaceStep::BeforeRename, temporary.path()))
        return systemError(target, EIO);
    // Only the file that was read is replaced: the name, not followed if it
    // is a link now, must still lead to that very file. A file removed
    // meanwhile is not brought back; one another program put in its place,
    // or a link to another file, is left as it is.
    struct stat current
    {
    };
    if (::fstatat(folder, name.constData(), &current, AT_SYMLINK_NOFOLLOW) != 0)
        return systemError(target, errno);
    if (current.st_dev != original.st_dev || current.st_ino != original.st_ino)
        return target + QStringLiteral(": another file took its name while it was written; left as it is");
    if (::renameat(folder, temporary.name().constData(), folder, name.constData()) != 0)
        return systemError(target, errno);
    temporary.markRenamed();
    // And the new name is on disk before the batch counts the file as done.
    ::fsync(folder);
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
