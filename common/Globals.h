// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>

#include <memory>

class FileInfo;
using FileInfoList = QList<std::shared_ptr<FileInfo>>;

// The module-level lists every screen shares. Each is made once, on first
// use, safely when two threads get there together, and lives until the
// process ends.

// The file extensions the application accepts, lower case, without a dot.
const QStringList &supportedExtensions();

// The folders a scan leaves out unless the user's settings say otherwise:
// system folders, then the user's trash, caches, application data and
// cloud folder below the home folder.
const QStringList &defaultExclusionPaths();

// Every loaded file in load order, and those shown in the grid after search
// and sort. Both start empty; only the main screen changes them, on the GUI
// thread, in place or by replacing them whole.
FileInfoList &allFiles();
FileInfoList &displayedFiles();

// The entries of files whose mark is set, in list order (the same records).
FileInfoList markedFiles(const FileInfoList &files);
