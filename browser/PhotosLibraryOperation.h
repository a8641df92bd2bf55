// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/PhotosLibraryDatabase.h"
#include "engine/PhotosLibraryItem.h"

#include <QList>
#include <QUrl>

#include <optional>

// Reads the photos of a photo library package as records.
class PhotosLibraryOperation
{
public:
    struct Library
    {
        PhotosLibraryDatabase::Layout layout = PhotosLibraryDatabase::Layout::Old;
        // In the order of the database's rows.
        QList<PhotosLibraryItem> items;
    };

    // Synchronous, on the caller's thread. Absent when the library's
    // database copy cannot be opened; a library without photos gives none.
    static std::optional<Library> fetchItems(const QUrl &libraryURL);

    // The image file of an item: its path below the package's photo folder.
    // None when the item names no library, or when its path would lead out
    // of the package (".." parts, an absolute path, a link to elsewhere).
    static std::optional<QUrl> imageURL(const PhotosLibraryItem &item, PhotosLibraryDatabase::Layout layout);
};
