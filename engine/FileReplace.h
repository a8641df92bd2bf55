// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RegularFile.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace engine {

// A file opened for reading that an in-place write may replace later: the
// open file, and where it stood right after it was opened, its folder kept
// open and its name there (a name given through symbolic links leads to the
// file itself).
class ReplaceableFile
{
public:
    // None when the file cannot be opened or is no regular file; then
    // *reason says why (see platform::RegularFile::open).
    static std::optional<ReplaceableFile> open(const QString &path, QString *reason = nullptr);

    ReplaceableFile(ReplaceableFile &&other) noexcept;
    ReplaceableFile &operator=(ReplaceableFile &&other) = delete;
    ReplaceableFile(const ReplaceableFile &) = delete;
    ReplaceableFile &operator=(const ReplaceableFile &) = delete;
    ~ReplaceableFile();

    const platform::RegularFile &file() const { return m_file; }

private:
    explicit ReplaceableFile(platform::RegularFile file);
    friend QString replaceFileContents(const ReplaceableFile &, const QString &, const char *, qint64);

    platform::RegularFile m_file;
    // -1 when the file had no name left to find it by.
    int m_folder = -1;
    QByteArray m_folderPath;
    QByteArray m_name;
};

// Replaces the whole content of the writable file read (opened as path) so
// that at every moment the file holds either its old bytes or all of its new
// ones: the new bytes go to a temporary file in the file's folder, are
// flushed to disk and then renamed over the original, which keeps its
// permissions, its extended attributes (and, where allowed, its owner).
// Only the file read is replaced: when its name leads to another file by
// then (another program put a file, or a symbolic link, in its place, or
// removed it), nothing is. A file read through a symbolic link is replaced
// where it is; the link stays a link. A file with several hard links becomes
// a file of its own: the other names keep the old content.
// Returns an empty text on success, else the reason; on failure the original
// is untouched and the temporary file is gone.
QString replaceFileContents(const ReplaceableFile &read, const QString &path, const char *data, qint64 size);

// Writes all of data into the open file fd (named path in messages), the
// fault hook asked halfway (PartWritten). Returns an empty text, or the
// reason.
QString writeWhole(int fd, const QString &path, const char *data, qint64 size);
// Asks the fault hook whether a written temporary file may take its name.
bool beforeRenameAllowed(const QString &temporaryPath);

// Test seam: the hook is asked at each step of a replacement or a new
// file's writing (with the temporary file's path) and answering false makes the replacement fail at
// that step, as a full disk, a dead process or a failing rename would.
enum class ReplaceStep { PartWritten, BeforeRename };
using ReplaceFaultHook = std::function<bool(ReplaceStep step, const QString &temporaryPath)>;
void setReplaceFaultHook(ReplaceFaultHook hook);

} // namespace engine
