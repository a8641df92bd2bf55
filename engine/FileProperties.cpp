// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileProperties.h"

#include "engine/BridgeFrame.h"
#include "platform/ImageIO.h"

#include <QFile>
#include <QLocale>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <limits>

namespace {

// Only what is asked for: each of the other attributes' dates would cost a
// conversion to local time, under a lock every thread shares.
std::optional<struct statx> fileStatus(const QString &path, unsigned int mask)
{
    struct statx st = {};
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, mask, &st) != 0)
        return std::nullopt;
    return st;
}

} // namespace

std::optional<quint64> fileSizeBytes(const QString &path)
{
    const auto status = fileStatus(path, STATX_SIZE);
    if (!status)
        return std::nullopt;
    return status->stx_size;
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
    const auto status = fileStatus(path, STATX_BTIME);
    if (!status || !(status->stx_mask & STATX_BTIME))
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(
        qint64(status->stx_btime.tv_sec) * 1000 + status->stx_btime.tv_nsec / 1000000);
}

std::optional<std::pair<QString, QString>> imagePixelSize(const QString &path)
{
    const auto size = platform::ImageIO::pixelSize(path, engine::bridge::libraryMayRead);
    if (!size)
        return std::nullopt;
    return std::pair(QString::number(size->width()), QString::number(size->height()));
}

QImage thumbnail(const QString &path, const QSize &maxPixelSize)
{
    return platform::ImageIO::thumbnail(
        path, std::max(maxPixelSize.width(), maxPixelSize.height()), engine::bridge::libraryMayRead);
}

QImage exifThumbnail(const QString &path, const QSize &maxPixelSize)
{
    return platform::ImageIO::exifThumbnail(
        path, std::max(maxPixelSize.width(), maxPixelSize.height()), engine::bridge::libraryMayRead);
}

QImage picture(const QString &path)
{
    return platform::ImageIO::image(path, engine::bridge::libraryMayRead);
}
