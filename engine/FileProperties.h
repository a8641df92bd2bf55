// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>
#include <utility>

// What the application shows about a file besides its metadata: its size,
// creation date, pixel size and a thumbnail. Safe on any thread; failures
// are absent results.

// The size attribute of the file at path (a link is followed).
std::optional<quint64> fileSizeBytes(const QString &path);

// "1022 bytes", "0.0 KB" .. "1022.0 KB", then MB and GB with one decimal,
// computed from whole kilobytes in single precision.
QString formattedByteCount(quint64 bytes);

std::optional<QString> fileSizeString(const QString &path);

// The file system's creation (birth) date; absent where it records none.
std::optional<QDateTime> fileCreationDate(const QString &path);

// Stored pixel width and height as decimal texts.
std::optional<std::pair<QString, QString>> imagePixelSize(const QString &path);

// Upright, with its longer side at most the larger of maxPixelSize's sides;
// a null image when the file does not decode.
QImage thumbnail(const QString &path, const QSize &maxPixelSize);

// The small picture most cameras embed in the Exif, upright, its longer
// side at most the larger of maxPixelSize's sides; a null image when the
// file holds none that decodes. Far cheaper than thumbnail().
QImage exifThumbnail(const QString &path, const QSize &maxPixelSize);

// The whole picture, upright; a null image when the file does not decode.
QImage picture(const QString &path);
