// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

// exiftool as a second, independent reader of what the bridge wrote.
namespace secondreader {

bool hasExiftool();

// What exiftool reads from one file: every tag by "family 0:family 1:name"
// (one part when both are the same: "IPTC:City"), numbers as numbers and
// binary data in base64; and the warnings of its validation, one a line.
struct Reading
{
    QJsonObject tags;
    QStringList warnings;

    QJsonValue value(const QString &key) const { return tags.value(key); }
    bool has(const QString &key) const { return tags.contains(key); }
};

// Runs exiftool with the arguments, to make a sample of the test's own
// from a copy of another; true when it succeeded.
bool make(const QStringList &arguments);

// Reads many files in two runs; by the path given.
QHash<QString, Reading> readAll(const QStringList &paths);
Reading read(const QString &path);

// The tag name of a key ("EXIF:IFD0:Artist" gives "Artist") and its groups.
QString tagName(const QString &key);
QString family0(const QString &key);
QString family1(const QString &key);

// An image converter's text copy in a PNG of an Exif or of an XMP value, by
// the name exiftool makes of its keyword ("exif:GPSLatitude" reads as
// "PNG:ExifGPSLatitude", "photoshop:City" as "PNG:PhotoshopCity").
bool isExifTextCopy(const QString &key);
bool isXmpTextCopy(const QString &key);

// The picture itself: the decoded pixels where Qt reads the format, else
// the bytes of the image data (strips and tiles of TIFF-based files, the
// JPEG 2000 code stream, a Photoshop file's image data, the PGF data).
// Empty for a file without a picture.
QByteArray picture(const QString &path, const Reading &reading);

} // namespace secondreader
