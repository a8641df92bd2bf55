// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

namespace engine {

// Replaces the whole content of an existing, writable regular file so that at
// every moment the file holds either its old bytes or all of its new ones: the
// new bytes go to a temporary file in the same folder, are flushed to disk and
// then renamed over the original, which keeps its permissions, its extended
// attributes (and, where allowed, its owner). A symbolic link stays a link;
// its target is replaced. A file with several hard links becomes a file of
// its own: the other names keep the old content.
// Returns an empty text on success, else the reason; on failure the original
// is untouched and the temporary file is gone.
QString replaceFileContents(const QString &path, const char *data, qint64 size);

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
