// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileOps.h"

#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform::FileOps {

namespace {

QString systemText(int error)
{
    return QString::fromStdString(std::system_category().message(error));
}

Result failure(int error, const QString &path)
{
    Result result;
    switch (error) {
    case EEXIST:
        result.code = Result::Code::Exists;
        break;
    case ENOENT:
    case ENOTDIR:
        result.code = Result::Code::NotFound;
        break;
    default:
        result.code = Result::Code::Failed;
        break;
    }
    result.message = path + QStringLiteral(": ") + systemText(error);
    return result;
}

QDateTime fromTimestamp(const struct statx_timestamp &t)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000);
}

QFileDevice::Permissions permissionsOf(mode_t mode)
{
    QFileDevice::Permissions p;
    const auto bit = [&](mode_t m, QFileDevice::Permissions q) {
        if (mode & m)
            p |= q;
    };
    bit(S_IRUSR, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    bit(S_IWUSR, QFileDevice::WriteOwner | QFileDevice::WriteUser);
    bit(S_IXUSR, QFileDevice::ExeOwner | QFileDevice::ExeUser);
    bit(S_IRGRP, QFileDevice::ReadGroup);
    bit(S_IWGRP, QFileDevice::WriteGroup);
    bit(S_IXGRP, QFileDevice::ExeGroup);
    bit(S_IROTH, QFileDevice::ReadOther);
    bit(S_IWOTH, QFileDevice::WriteOther);
    bit(S_IXOTH, QFileDevice::ExeOther);
    return p;
}

// Closes a descriptor when it goes out of scope.
struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool copyContents(int from, int to)
{
    // copy_file_range shares extents where the file system can; plain
    // reads and writes cover the rest (other file systems, old kernels).
    for (;;) {
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (n == 0)
            return true;
        if (n > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
            break;
        return false;
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(to, buffer + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            done += w;
        }
    }
}

} // namespace

std::optional<Attributes> attributes(const QString &path, Links links, QString *error)
{
    struct statx st = {};
    const QByteArray native = QFile::encodeName(path);
    const int flags = links == Links::Follow ? 0 : AT_SYMLINK_NOFOLLOW;
    if (::statx(AT_FDCWD, native.constData(), flags, STATX_BASIC_STATS | STATX_BTIME, &st) != 0) {
        if (error)
            *error = path + QStringLiteral(": ") + systemText(errno);
        return std::nullopt;
    }
    Attributes a;
    a.size = st.stx_size;
    a.isFolder = S_ISDIR(st.stx_mode);
    a.isSymbolicLink = S_ISLNK(st.stx_mode);
    a.modified = fromTimestamp(st.stx_mtime);
    if (st.stx_mask & STATX_BTIME)
        a.created = fromTimestamp(st.stx_btime);
    a.permissions = permissionsOf(st.stx_mode);
    a.ownerId = st.stx_uid;
    return a;
}

Result copyNew(const QString &source, const QString &target)
{
    return copyNew(source, AT_FDCWD, target);
}

Result copyNew(const QString &source, int folder, const QString &target)
{
    const QByteArray to = QFile::encodeName(target);
    int error = 0;
    const std::optional<RegularFile> in = RegularFile::open(source, nullptr, &error);
    if (!in)
        return failure(error, source);
    struct stat st = {};
    if (::fstat(in->descriptor(), &st) != 0)
        return failure(errno, source);

    Descriptor out { ::openat(
        folder, to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777) };
    if (out.fd < 0)
        return failure(errno, target);
    // From here on the target is ours: any failure removes it again.
    const auto abandon = [&](int error) {
        ::close(out.fd);
        out.fd = -1;
        ::unlinkat(folder, to.constData(), 0);
        return failure(error, target);
    };
    if (!copyContents(in->descriptor(), out.fd))
        return abandon(errno);
    // The creation mask may have narrowed the mode given to open().
    if (::fchmod(out.fd, st.st_mode & 07777) != 0)
        return abandon(errno);
    const struct timespec times[2] = { { 0, UTIME_OMIT }, st.st_mtim };
    if (::futimens(out.fd, times) != 0)
        return abandon(errno);
    const int closed = ::close(out.fd);
    out.fd = -1;
    if (closed != 0) {
        const int error = errno;
        ::unlinkat(folder, to.constData(), 0);
        return failure(error, target);
    }
    return Result::success();
}

namespace {

bool writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t w = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += w;
    }
    return true;
}

// Gives the finished temporary file its name unless that name is taken.
int publish(int folder, const QByteArray &temporary, const QByteArray &target)
{
    if (::renameat2(folder, temporary.constData(), folder, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without the no-replace rename: a hard link is just as
    // exclusive.
    if (::linkat(folder, temporary.constData(), folder, target.constData(), 0) == 0) {
        ::unlinkat(folder, temporary.constData(), 0);
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP)
        return errno;
    // Neither (some removable media): check, then rename.
    struct stat st = {};
    if (::fstatat(folder, target.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(folder, temporary.constData(), folder, target.constData()) == 0 ? 0 : errno;
}

} // namespace

Result writeNewFile(const QString &target, const QByteArray &bytes)
{
    const QFileInfo info(target);
    static std::atomic<quint32> serial { 0 };
    const QString temporaryPath = info.absolutePath() + QStringLiteral("/.") + info.fileName()
        + QStringLiteral(".%1-%2.tmp").arg(::getpid()).arg(++serial);
    const QByteArray temporary = QFile::encodeName(temporaryPath);
    const QByteArray native = QFile::encodeName(target);
    Descriptor out { ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666) };
    if (out.fd < 0)
        return failure(errno, target);
    const bool written = writeAll(out.fd, bytes) && ::fsync(out.fd) == 0;
    const int writeError = errno;
    const int closed = ::close(out.fd);
    out.fd = -1;
    int error = !written ? writeError : closed != 0 ? errno : publish(AT_FDCWD, temporary, native);
    if (error == 0)
        return Result::success();
    ::unlink(temporary.constData());
    return failure(error, target);
}

Result renameNew(int folder, const QString &from, const QString &to)
{
    const int error = publish(folder, QFile::encodeName(from), QFile::encodeName(to));
    return error == 0 ? Result::success() : failure(error, to);
}

Result setModificationTime(const QString &path, const QDateTime &time)
{
    const qint64 ms = time.toMSecsSinceEpoch();
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    times[1].tv_nsec = long((ms - qint64(times[1].tv_sec) * 1000) * 1000000);
    const QByteArray native = QFile::encodeName(path);
    if (::utimensat(AT_FDCWD, native.constData(), times, 0) != 0)
        return failure(errno, path);
    return Result::success();
}

Result setCreationTime(const QString &path, const QDateTime &)
{
    Result result;
    result.code = Result::Code::Unsupported;
    result.message = path + QStringLiteral(": a file's creation date cannot be set on this system");
    return result;
}

Result remove(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st = {};
    if (::lstat(native.constData(), &st) != 0)
        return failure(errno, path);
    if (S_ISDIR(st.st_mode)) {
        if (QDir(path).removeRecursively())
            return Result::success();
        Result result;
        result.code = Result::Code::Failed;
        result.message = path + QStringLiteral(": the folder could not be removed entirely");
        return result;
    }
    if (::unlink(native.constData()) != 0)
        return failure(errno, path);
    return Result::success();
}

} // namespace platform::FileOps
