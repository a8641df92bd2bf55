// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// One photo read from a photo library's database: a value, copied whole
// into the file record that stands for it. The texts stay exactly as the
// database gave them; fields the layout does not fill are empty.
struct PhotosLibraryItem
{
    // When the row was read, in 100-nanosecond ticks since 0001-01-01 UTC.
    quint64 id = 0;
    QString model_uuid;
    // Relative to the package's photo folder.
    QString imagePath;
    QString size;
    QString version_uuid;
    QString version_modelId;
    QString filename;
    QString albumVersion_modelid;
    QStringList albumNames;
    QString albumName;
    std::optional<QUrl> libraryURL;
    QString libFileName;
    QString ZDIRECTORY;
    QString ZADDITIONALATTRIBUTES;
    QString ZDATECREATED;
    QString ZMODIFICATIONDATE;
    QString Z_PK;
    QString ZKIND;
    QString ZUNIFORMTYPEIDENTIFIER;

    static constexpr int OldLayoutColumns = 7;
    static constexpr int NewLayoutColumns = 11;

    // A row of the older layout: model_uuid, imagePath, size, version_uuid,
    // version_modelId, filename, albumVersion_modelid. Missing columns read
    // as empty texts.
    static PhotosLibraryItem fromOldLayout(const QStringList &columns, const QUrl &libraryURL);
    // A row of the newer layout: libFileName, ZDIRECTORY,
    // ZADDITIONALATTRIBUTES, ZDATECREATED, ZMODIFICATIONDATE, size, filename,
    // Z_PK, version_uuid, ZKIND, ZUNIFORMTYPEIDENTIFIER; the image path is
    // the directory and the file name joined by "/". A photo without an
    // original name (its attributes row is missing) is named by the stored
    // file name.
    static PhotosLibraryItem fromNewLayout(const QStringList &columns, const QUrl &libraryURL);

    // The stamp of a row read now.
    static quint64 currentStamp();

    bool operator==(const PhotosLibraryItem &) const = default;
};
