// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PhotosLibraryItem.h"

#include <QDateTime>

namespace {

using Layout = std::initializer_list<QString PhotosLibraryItem::*>;

// The fields each layout's columns fill, in column order.
const Layout OldLayout { &PhotosLibraryItem::model_uuid, &PhotosLibraryItem::imagePath,
    &PhotosLibraryItem::size, &PhotosLibraryItem::version_uuid, &PhotosLibraryItem::version_modelId,
    &PhotosLibraryItem::filename, &PhotosLibraryItem::albumVersion_modelid };
const Layout NewLayout { &PhotosLibraryItem::libFileName, &PhotosLibraryItem::ZDIRECTORY,
    &PhotosLibraryItem::ZADDITIONALATTRIBUTES, &PhotosLibraryItem::ZDATECREATED,
    &PhotosLibraryItem::ZMODIFICATIONDATE, &PhotosLibraryItem::size, &PhotosLibraryItem::filename,
    &PhotosLibraryItem::Z_PK, &PhotosLibraryItem::version_uuid, &PhotosLibraryItem::ZKIND,
    &PhotosLibraryItem::ZUNIFORMTYPEIDENTIFIER };

// A stamped item of the library with the columns put into layout's fields;
// missing columns read as empty texts.
PhotosLibraryItem fromColumns(const QStringList &columns, const Layout &layout, const QUrl &libraryURL)
{
    PhotosLibraryItem item;
    item.id = PhotosLibraryItem::currentStamp();
    qsizetype index = 0;
    for (QString PhotosLibraryItem::*field : layout) {
        if (index < columns.size())
            item.*field = columns.at(index);
        ++index;
    }
    item.libraryURL = libraryURL;
    return item;
}

} // namespace

quint64 PhotosLibraryItem::currentStamp()
{
    // Seconds from 0001-01-01 to 1970-01-01, then ticks of 100 ns.
    constexpr quint64 SecondsBefore1970 = 62135596800ull;
    constexpr quint64 TicksPerMillisecond = 10000;
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    return (SecondsBefore1970 * 1000 + quint64(ms)) * TicksPerMillisecond;
}

PhotosLibraryItem PhotosLibraryItem::fromOldLayout(const QStringList &columns, const QUrl &libraryURL)
{
    return fromColumns(columns, OldLayout, libraryURL);
}

PhotosLibraryItem PhotosLibraryItem::fromNewLayout(const QStringList &columns, const QUrl &libraryURL)
{
    PhotosLibraryItem item = fromColumns(columns, NewLayout, libraryURL);
    item.imagePath = item.ZDIRECTORY + QLatin1Char('/') + item.libFileName;
    if (item.filename.isEmpty())
        item.filename = item.libFileName;
    return item;
}
