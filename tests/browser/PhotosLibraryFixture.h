// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

struct sqlite3;

// A photo library package made in a temporary folder, with a database of
// either layout that stays open (in WAL mode) while the fixture lives, as a
// running photo application would keep it.
class PhotosLibraryFixture
{
public:
    enum class Layout { Old, New, NewGeneric };

    PhotosLibraryFixture(const QTemporaryDir &dir, const QString &name, Layout layout);
    ~PhotosLibraryFixture();
    PhotosLibraryFixture(const PhotosLibraryFixture &) = delete;
    PhotosLibraryFixture &operator=(const PhotosLibraryFixture &) = delete;

    QString path() const { return m_path; }
    QString databasePath() const;
    QString photoFolder() const;

    // Runs statements on the library's database; fails the test on error.
    void exec(const QString &sql);
    // Moves everything written so far from the "-wal" into the database file.
    void checkpoint();

    // A photo row of the newer layout; directory and name may be null
    // (an empty QString). Returns its row key.
    int addNewPhoto(const QString &directory, const QString &fileName, const QString &originalName,
        qint64 size, bool trashed = false);
    // A master with one version of the older layout; size -1 stores NULL.
    int addOldPhoto(const QString &imagePath, const QString &fileName, qint64 size, bool trashed = false);
    // Puts the photo in an album (made on demand) of the layout.
    void addToAlbum(int photo, int album);

    // Copies a sample image to the photo folder under relativePath.
    QString placeImage(const QString &testImage, const QString &relativePath) const;

private:
    QString m_path;
    Layout m_layout;
    sqlite3 *m_db = nullptr;
    int m_next = 1;
};
