#include "engine/PhotosLibraryItem.h"

#include <QDateTime>

namespace {

QString column(const QStringList &columns, int index)
{
    return index < columns.size() ? columns.at(index) : QString();
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
    PhotosLibraryItem item;
    item.id = currentStamp();
    item.model_uuid = column(columns, 0);
    item.imagePath = column(columns, 1);
    item.size = column(columns, 2);
    item.version_uuid = column(columns, 3);
    item.version_modelId = column(columns, 4);
    item.filename = column(columns, 5);
    item.albumVersion_modelid = column(columns, 6);
    item.libraryURL = libraryURL;
    return item;
}

PhotosLibraryItem PhotosLibraryItem::fromNewLayout(const QStringList &columns, const QUrl &libraryURL)
{
    PhotosLibraryItem item;
    item.id = currentStamp();
    item.libFileName = column(columns, 0);
    item.ZDIRECTORY = column(columns, 1);
    item.ZADDITIONALATTRIBUTES = column(columns, 2);
    item.ZDATECREATED = column(columns, 3);
    item.ZMODIFICATIONDATE = column(columns, 4);
    item.size = column(columns, 5);
    item.filename = column(columns, 6);
    item.Z_PK = column(columns, 7);
    item.version_uuid = column(columns, 8);
    item.ZKIND = column(columns, 9);
    item.ZUNIFORMTYPEIDENTIFIER = column(columns, 10);
    item.imagePath = item.ZDIRECTORY + QLatin1Char('/') + item.libFileName;
    item.libraryURL = libraryURL;
    return item;
}
