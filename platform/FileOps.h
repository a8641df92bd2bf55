// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QFileDevice>
#include <QString>

#include <optional>

namespace platform {

// File-system attributes and the few changes the application makes to
// files. Every function is safe on worker threads and reports failures with
// the system's own text instead of throwing.
namespace FileOps {

struct Attributes
{
    quint64 size = 0;
    bool isFolder = false;
    bool isSymbolicLink = false;
    QDateTime modified;
    // Absent where the file system does not record a birth time.
    std::optional<QDateTime> created;
    QFileDevice::Permissions permissions;
    uint ownerId = 0;
};

// Whether the last component of a path is followed when it is a link.
enum class Links { Follow, DoNotFollow };

struct Result
{
    enum class Code { Ok, Exists, NotFound, Unsupported, Failed };
    Code code = Code::Ok;
    QString message;

    bool ok() const { return code == Code::Ok; }
    static Result success() { return {}; }
};

// Absent when the attributes cannot be read, with the system's reason in
// *error when given.
std::optional<Attributes> attributes(
    const QString &path, Links links = Links::Follow, QString *error = nullptr);

// Copies source, a regular file, to a new file target, with the source's
// permissions and modification time. Never replaces anything: an existing target answers
// Exists and both files stay as they were. A failed copy leaves no partial
// target behind.
Result copyNew(const QString &source, const QString &target);

// The same in a folder given as an open descriptor, target being a name
// in it (AT_FDCWD: as copyNew above).
Result copyNew(const QString &source, int folder, const QString &target);

// Gives the file from in the folder (an open descriptor) the name to,
// without replacing anything: Exists when the name is taken.
Result renameNew(int folder, const QString &from, const QString &to);

// Writes bytes into a new file at target, complete or not at all: the
// bytes go to a hidden temporary file beside it first, which then takes the
// name without replacing anything (Exists when the name is taken).
Result writeNewFile(const QString &target, const QByteArray &bytes);

// Sets the modification time; the access time is left alone.
Result setModificationTime(const QString &path, const QDateTime &time);
// A file's birth time cannot be set on this platform.
Result setCreationTime(const QString &path, const QDateTime &time);

// Removes a file, a link or a whole folder.
Result remove(const QString &path);

} // namespace FileOps
} // namespace platform
