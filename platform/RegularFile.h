// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// A file opened for reading that is known to be a regular file. The open
// never waits (a pipe named like a photo would block it for ever) and the
// kind is checked on the opened descriptor, so a name swapped for a pipe or
// a device between a check and the open cannot slip through. Closed with
// the object.
class RegularFile
{
public:
    // None when the file cannot be opened or is no regular file; then
    // *reason says why (the system's text, or "not a regular file") and
    // *error holds the system's error number (EINVAL for another kind).
    static std::optional<RegularFile> open(
        const QString &path, QString *reason = nullptr, int *error = nullptr);

    RegularFile(RegularFile &&other) noexcept;
    RegularFile &operator=(RegularFile &&other) noexcept;
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;
    ~RegularFile();

    int descriptor() const { return m_fd; }
    // A path that opens this very file again, whatever happens to its name
    // meanwhile, for libraries that take only a path. Valid while the
    // object lives.
    QByteArray reopenPath() const;

private:
    explicit RegularFile(int fd)
        : m_fd(fd)
    { }

    int m_fd = -1;
};

} // namespace platform
