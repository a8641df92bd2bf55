// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileProperties.h"

#include "platform/FileOps.h"
#include "platform/ImageIO.h"

#include <QLocale>

#include <algorithm>
#include <limits>

std::optional<quint64> fileSizeBytes(const QString &path)
{
    const auto attributes = platform::FileOps::attributes(path);
    if (!attributes)
        return std::nullopt;
    return attributes->size;
}

QString formattedByteCount(quint64 bytes)
{
    // Powers of 1024 (kB, MB, GB), as file managers show them, in the
    // user's own number format.
    return QLocale().formattedDataSize(qint64(std::min<quint64>(bytes, std::numeric_limits<qint64>::max())),
        1, QLocale::DataSizeTraditionalFormat);
}

std::optional<QString> fileSizeString(const QString &path)
{
    const auto bytes = fileSizeBytes(path);
    if (!bytes)
        return std::nullopt;
    return formattedByteCount(*bytes);
}

std::optional<QDateTime> fileCreationDate(const QString &path)
{
    const auto attributes = platform::FileOps::attributes(path);
    if (!attributes)
        return std::nullopt;
    return attributes->created;
}

std::optional<std::pair<QString, QString>> imagePixelSize(const QString &path)
{
    const auto size = platform::ImageIO::pixelSize(path);
    if (!size)
        return std::nullopt;
    return std::pair(QString::number(size->width()), QString::number(size->height()));
}

QImage thumbnail(const QString &path, const QSize &maxPixelSize)
{
    return platform::ImageIO::thumbnail(path, std::max(maxPixelSize.width(), maxPixelSize.height()));
}
