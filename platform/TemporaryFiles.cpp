// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TemporaryFiles.h"

#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <type_traits>
#include <unistd.h>

namespace platform::TemporaryFiles {

namespace {

const QByteArray Marker = QByteArrayLiteral(".calvorn-");
constexpr int RandomLength = 6;

// The process that made a temporary file, from its name; 0 for a name of
// another kind.
pid_t ownerOf(const QByteArray &name)
{
    if (!name.startsWith('.'))
        return 0;
    const qsizetype marker = name.lastIndexOf(Marker);
    if (marker <= 0)
        return 0;
    const qsizetype digits = marker + Marker.size();
    const qsizetype dash = name.indexOf('-', digits);
    if (dash <= digits || name.size() - dash - 1 != RandomLength)
        return 0;
    bool ok = false;
    const qlonglong pid = name.mid(digits, dash - digits).toLongLong(&ok);
    return ok && pid > 0 ? pid_t(pid) : 0;
}

bool isRunning(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

// The folders looked through in this run, by device, inode and birth, so
// that a folder made again where one was removed counts as new.
bool firstVisit(int folder)
{
    struct statx st = {};
    if (::statx(folder, "", AT_EMPTY_PATH, STATX_INO | STATX_BTIME, &st) != 0)
        return false;
    const auto key = std::make_tuple(
        st.stx_dev_major, st.stx_dev_minor, st.stx_ino, st.stx_btime.tv_sec, st.stx_btime.tv_nsec);
    static std::mutex mutex;
    static std::set<std::remove_const_t<decltype(key)>> visited;
    std::lock_guard lock(mutex);
    return visited.insert(key).second;
}

} // namespace

QByteArray prefix(const QByteArray &name)
{
    return '.' + name.left(200) + Marker + QByteArray::number(qint64(::getpid())) + '-';
}

QByteArray nextName(const QByteArray &name)
{
    static const char characters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray random(RandomLength, '0');
    for (char &c : random)
        c = characters[QRandomGenerator::global()->bounded(int(sizeof characters - 1))];
    return prefix(name) + random;
}

void removeStale(int folder)
{
    if (!firstVisit(folder))
        return;
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return;
    DIR *entries = ::fdopendir(listing);
    if (!entries) {
        ::close(listing);
        return;
    }
    const pid_t self = ::getpid();
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        const pid_t owner = ownerOf(name);
        if (owner == 0 || owner == self || isRunning(owner))
            continue;
        struct stat st = {};
        if (::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(folder, name.constData(), 0);
    }
    ::closedir(entries);
}

void removeStale(const QByteArray &folderPath)
{
    const int folder = ::open(folderPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    removeStale(folder);
    ::close(folder);
}

} // namespace platform::TemporaryFiles
