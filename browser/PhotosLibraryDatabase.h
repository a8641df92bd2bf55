// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The database of a photo library package ("*.photoslibrary"), read from a
// private copy in Calvorn's cache folder so the library itself is never
// opened, let alone written. The layout is chosen by what the package holds.
namespace PhotosLibraryDatabase {

// Old: "database/photos.db", photos under "Masters/". New:
// "database/Photos.sqlite" holding an asset table, photos under "originals/".
enum class Layout { Old, New };

// The database file and its "-wal", "-shm" and ".lock" companions.
struct Files
{
    QString database;
    QString wal;
    QString shm;
    QString lock;

    QStringList all() const { return { database, wal, shm, lock }; }
};

// The folder of the package that holds the photos of a layout.
QString photoFolder(Layout layout);
Files sourceFiles(const QString &libraryPath, Layout layout);
// Where the copies go.
Files copyFiles(Layout layout);

struct Reading
{
    Layout layout = Layout::Old;
    // The package's files that were copied and read.
    Files sources;
};

// Copies the database of the library at libraryPath with its companions
// (replacing every earlier copy) and hands over each photo row's column
// texts, in query order. Absent when the copy cannot be opened; a package
// without a database reads as no rows. Copy failures are printed and the
// read goes on. One read at a time across threads and Calvorn processes.
std::optional<Reading> read(
    const QString &libraryPath, const std::function<void(Layout, const QStringList &columns)> &onRow);

} // namespace PhotosLibraryDatabase
