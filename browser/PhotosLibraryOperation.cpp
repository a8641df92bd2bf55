// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/PhotosLibraryOperation.h"

#include <QFileInfo>

using PhotosLibraryDatabase::Layout;

std::optional<PhotosLibraryOperation::Library> PhotosLibraryOperation::fetchItems(const QUrl &libraryURL)
{
    Library library;
    const auto reading = PhotosLibraryDatabase::read(
        libraryURL.toLocalFile(), [&](Layout layout, const QStringList &columns) {
            library.items << (layout == Layout::New ? PhotosLibraryItem::fromNewLayout(columns, libraryURL)
                                                    : PhotosLibraryItem::fromOldLayout(columns, libraryURL));
        });
    if (!reading)
        return std::nullopt;
    library.layout = reading->layout;
    return library;
}

std::optional<QUrl> PhotosLibraryOperation::imageURL(const PhotosLibraryItem &item, Layout layout)
{
    if (!item.libraryURL)
        return std::nullopt;
    const QString &relative = item.imagePath;
    if (relative.startsWith(QLatin1Char('/'))
        || relative.split(QLatin1Char('/')).contains(QStringLiteral("..")))
        return std::nullopt;
    const QString package = item.libraryURL->toLocalFile();
    const QString path = package + QLatin1Char('/') + PhotosLibraryDatabase::photoFolder(layout)
        + QLatin1Char('/') + relative;
    // A link inside the package may still point elsewhere.
    const QString real = QFileInfo(path).canonicalFilePath();
    if (!real.isEmpty() && !real.startsWith(QFileInfo(package).canonicalFilePath() + QLatin1Char('/')))
        return std::nullopt;
    return QUrl::fromLocalFile(path);
}
