// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/PhotosLibraryItem.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class Metadata;

// One loaded item of the file lists: an image file, or a photo of a photo
// library. Shared by every list and screen that holds it.
//
// A record made for a file measures the file at once (size, pixel size) and
// leaves the slower work (display properties, creation date, metadata) to a
// background job. The job computes everything first and then assigns it on
// the GUI thread in one step, so a reader on the GUI thread never sees a
// half-filled record; until then metadata and creationDate are absent.
// After creation (which may happen on any thread) records are read and
// written on the GUI thread only.
class FileInfo : public std::enable_shared_from_this<FileInfo>
{
    struct Passkey
    {
    };

public:
    // A record that stands for no file: a blank metadata record, no job.
    FileInfo();
    // Used by create(); every field at its initial value.
    explicit FileInfo(Passkey) { }

    // The record of an image file; its details arrive later.
    static std::shared_ptr<FileInfo> create(const QUrl &url);
    // The record of a library photo, named as the library names it.
    static std::shared_ptr<FileInfo> create(const PhotosLibraryItem &item, const QUrl &url);

    // Measures the file at url and queues the details job.
    void initialize(const QUrl &url);
    // Blocks until every queued details job has run (their results may
    // still wait for the GUI thread). For tests and benchmarks.
    static void waitForDetails();

    // The file's path; empty when the record has no URL.
    QString path() const;

    QString fileName;
    std::optional<QUrl> url;
    bool isMark = false;
    bool isLock = false;
    bool isPhotoLibrary = false;
    // Absent until the details job has read it; screens may replace it.
    std::shared_ptr<Metadata> metadata;
    // The library record the photo came from; null for a plain file.
    std::shared_ptr<const PhotosLibraryItem> photosLibraryItem;
    std::optional<quint64> sizeBytes;
    bool isVideo = false;
    std::optional<QString> size;
    std::optional<QString> width;
    std::optional<QString> height;
    // The file system's creation date, where it records one.
    std::optional<QDateTime> creationDate;
    // Display properties: file name, extension, folder and library names.
    QString Name;
    QString FileType;
    QString FolderName;
    QString LibraryName;
    qint64 section = 0;
    // The record's index in the displayed list, kept by the main screen.
    qint64 item = 0;

    // Writes the four display properties for a file named name at url,
    // from the library item when there is one.
    void setDisplayProperties(const QString &name, const QUrl &url, const PhotosLibraryItem *libraryItem);
};
