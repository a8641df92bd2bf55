// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileProperties.h"

#include "platform/FileOps.h"
#include "platform/ImageIO.h"

#include <QStringBuilder>

#include <cmath>

namespace {

// One decimal of a single-precision value, rounded the way C's "%.1f"
// rounds: to the nearest, an exact half to the even digit; then the unit.
// Made in one allocation of the exact size, as every file record keeps one.
QString oneDecimal(float value, QLatin1String unit)
{
    // A float times ten is exact in a double, so ties are seen as ties.
    const qint64 tenths = std::llrint(double(value) * 10.0);
    return QString::number(tenths / 10) % QLatin1Char('.') % QString::number(tenths % 10) % unit;
}

} // namespace

std::optional<quint64> fileSizeBytes(const QString &path)
{
    const auto attributes = platform::FileOps::attributes(path);
    if (!attributes)
        return std::nullopt;
    return attributes->size;
}

QString formattedByteCount(quint64 bytes)
{
    if (bytes <= 1022)
        return QString::number(bytes) % QLatin1String(" bytes");
    const float kilobytes = float(bytes / 1024);
    if (bytes <= 1047551)
        return oneDecimal(kilobytes, QLatin1String(" KB"));
    const float megabytes = kilobytes / 1024.0f;
    if (megabytes < 1023.0f)
        return oneDecimal(megabytes, QLatin1String(" MB"));
    return oneDecimal(megabytes / 1024.0f, QLatin1String(" GB"));
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
