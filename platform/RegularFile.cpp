// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace platform {

std::optional<RegularFile> RegularFile::open(const QString &path, QString *reason, int *error)
{
    const auto fail = [&](int code, const QString &why) -> std::optional<RegularFile> {
        if (reason)
            *reason = why;
        if (error)
            *error = code;
        return std::nullopt;
    };
    const auto systemText
        = [](int code) { return QString::fromStdString(std::system_category().message(code)); };

    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        return fail(code, systemText(code));
    }
    RegularFile file(fd);
    struct stat st = {};
    if (::fstat(fd, &st) != 0) {
        const int code = errno;
        return fail(code, systemText(code));
    }
    if (!S_ISREG(st.st_mode))
        return fail(EINVAL, QStringLiteral("not a regular file"));
    // Reads block as usual from here on.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return file;
}

RegularFile::RegularFile(RegularFile &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
{ }

RegularFile &RegularFile::operator=(RegularFile &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

RegularFile::~RegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray RegularFile::reopenPath() const
{
    return QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(m_fd);
}

} // namespace platform
