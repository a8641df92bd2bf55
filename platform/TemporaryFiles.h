// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace platform {

// The hidden temporary files Calvorn writes beside the files it makes or
// replaces, named ".<name>.calvorn-<process id>-<six characters>". The
// process id tells whose a file is: one whose process is gone was left by
// a Calvorn that was killed, and nobody will finish it.
namespace TemporaryFiles {

// ".<name>.calvorn-<process id>-", name cut to 200 bytes so that the whole
// fits a file system's name limit; the six characters follow.
QByteArray prefix(const QByteArray &name);

// A fresh temporary name beside name: prefix(name) and six random
// characters. Nothing is created; the caller creates it exclusively and
// asks again when it is taken.
QByteArray nextName(const QByteArray &name);

// Removes the temporary files in the folder (an open descriptor) whose
// process is no longer running on this machine; never one of a running
// Calvorn. Each folder is looked through once per run: the files of a
// running Calvorn are its own business, and only a kill leaves any behind.
void removeStale(int folder);
void removeStale(const QByteArray &folderPath);

} // namespace TemporaryFiles
} // namespace platform
