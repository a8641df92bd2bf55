// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/PhotosLibraryDatabase.h"

#include "browser/PhotosLibraryQueries.h"
#include "browser/SqliteReader.h"
#include "platform/Console.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <mutex>

namespace PhotosLibraryDatabase {

namespace {

Files withCompanions(const QString &database)
{
    return { database, database + QStringLiteral("-wal"), database + QStringLiteral("-shm"),
        database + QStringLiteral(".lock") };
}

QString sourceName(Layout layout)
{
    return layout == Layout::New ? QStringLiteral("database/Photos.sqlite")
                                 : QStringLiteral("database/photos.db");
}

QString copyName(Layout layout)
{
    return layout == Layout::New ? QStringLiteral("PCPhotosTemp.sqlite") : QStringLiteral("PCPhotosTemp.db");
}

void removeCopies(const Files &copies)
{
    for (const QString &copy : copies.all()) {
        QFile file(copy);
        if (file.exists() && !file.remove())
            platform::Console::out(QStringLiteral("%1: %2").arg(copy, file.errorString()));
    }
}

// The source files that exist, each to its copy; a companion the package
// lacks leaves no copy behind, since every copy was removed first. Only
// regular files are copied: a pipe in their place would hold the read, and
// the lock with it, for ever.
void copySources(const Files &sources, const Files &copies)
{
    const QStringList from = sources.all();
    const QStringList to = copies.all();
    for (qsizetype i = 0; i < from.size(); ++i) {
        if (!QFileInfo::exists(from.at(i)))
            continue;
        const platform::FileOps::Result copied = platform::FileOps::copyNew(from.at(i), to.at(i));
        if (!copied.ok())
            platform::Console::out(copied.message);
    }
}

void readRows(const SqliteReader &reader, const char *query, int columns, Layout layout,
    const std::function<void(Layout, const QStringList &)> &onRow)
{
    reader.forEachRow(query, columns, [&](const QStringList &row) {
        // Old-layout rows without a size are no photo files.
        if (layout == Layout::Old && row.at(2).isEmpty()) {
            platform::Console::out(row.at(2));
            return;
        }
        onRow(layout, row);
    });
}

// Serialises readers within this process; the lock file does it across
// processes, which share the copies' names.
std::mutex &readMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace

QString photoFolder(Layout layout)
{
    return layout == Layout::New ? QStringLiteral("originals") : QStringLiteral("Masters");
}

Files sourceFiles(const QString &libraryPath, Layout layout)
{
    return withCompanions(libraryPath + QLatin1Char('/') + sourceName(layout));
}

Files copyFiles(Layout layout)
{
    return withCompanions(platform::Paths::cacheFolder() + QLatin1Char('/') + copyName(layout));
}

std::optional<Reading> read(
    const QString &libraryPath, const std::function<void(Layout, const QStringList &columns)> &onRow)
{
    std::lock_guard guard(readMutex());
    QLockFile lock(platform::Paths::cacheFolder() + QStringLiteral("/PCPhotosTemp.inuse"));
    // Only a dead owner makes the lock stale: a long read is no reason to
    // take the copies away from the process doing it.
    lock.setStaleLockTime(0);
    if (!lock.lock()) {
        platform::Console::out(
            QStringLiteral("cannot lock the photo library copy (%1)").arg(int(lock.error())));
        return std::nullopt;
    }
    removeCopies(copyFiles(Layout::New));
    removeCopies(copyFiles(Layout::Old));

    const Files newSources = sourceFiles(libraryPath, Layout::New);
    if (QFile::exists(newSources.database)) {
        const Files copies = copyFiles(Layout::New);
        copySources(newSources, copies);
        SqliteReader reader(copies.database);
        const char *query = reader.hasTable(QString::fromLatin1(PhotosLibraryQueries::AssetTable))
            ? PhotosLibraryQueries::New
            : reader.hasTable(QString::fromLatin1(PhotosLibraryQueries::GenericAssetTable))
            ? PhotosLibraryQueries::NewGeneric
            : nullptr;
        if (query) {
            readRows(reader, query, PhotosLibraryQueries::NewColumns, Layout::New, onRow);
            return Reading { Layout::New, newSources };
        }
    }

    const Files oldSources = sourceFiles(libraryPath, Layout::Old);
    const Files copies = copyFiles(Layout::Old);
    // Only one layout's copies stay behind.
    removeCopies(copyFiles(Layout::New));
    copySources(oldSources, copies);
    if (!QFile::exists(copies.database))
        return Reading { Layout::Old, oldSources };
    SqliteReader reader(copies.database);
    if (!reader.isOpen())
        return std::nullopt;
    readRows(reader, PhotosLibraryQueries::Old, PhotosLibraryQueries::OldColumns, Layout::Old, onRow);
    return Reading { Layout::Old, oldSources };
}

} // namespace PhotosLibraryDatabase
