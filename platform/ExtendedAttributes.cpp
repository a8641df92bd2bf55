// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ExtendedAttributes.h"

#include <QFile>

#include <sys/xattr.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace platform {

namespace {

QString failure(const QByteArray &what, int error)
{
    return QFile::decodeName(what) + QStringLiteral(": ")
        + QString::fromStdString(std::generic_category().message(error));
}

// Reads a list or a value whose size may change between asking and reading.
template <typename Read> ssize_t readGrowing(std::vector<char> &buffer, Read read)
{
    for (;;) {
        const ssize_t size = read(nullptr, 0);
        if (size <= 0)
            return size;
        buffer.resize(static_cast<size_t>(size));
        const ssize_t got = read(buffer.data(), buffer.size());
        if (got >= 0 || errno != ERANGE)
            return got;
    }
}

// Only the system may set these; a user's file keeps its own without them.
bool isSystemOnly(const QByteArray &name)
{
    return name.startsWith("security.") || name.startsWith("trusted.");
}

} // namespace

QString copyExtendedAttributes(const QByteArray &sourcePath, int targetFd)
{
    std::vector<char> names;
    const ssize_t listed = readGrowing(
        names, [&](char *buffer, size_t size) { return ::listxattr(sourcePath.constData(), buffer, size); });
    if (listed < 0)
        return errno == ENOTSUP ? QString() : failure(sourcePath, errno);

    std::vector<char> value;
    for (ssize_t at = 0; at < listed;) {
        const QByteArray name(names.data() + at);
        at += name.size() + 1;
        const ssize_t size = readGrowing(value, [&](char *buffer, size_t length) {
            return ::getxattr(sourcePath.constData(), name.constData(), buffer, length);
        });
        if (size < 0) {
            if (errno == ENODATA) // removed meanwhile
                continue;
            return failure(sourcePath + " (" + name + ')', errno);
        }
        if (::fsetxattr(targetFd, name.constData(), value.data(), static_cast<size_t>(size), 0) != 0) {
            if (isSystemOnly(name) && (errno == EPERM || errno == ENOTSUP))
                continue;
            return failure(name, errno);
        }
    }
    return QString();
}

} // namespace platform
