// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <exiv2/exif.hpp>

// What a written PNG needs beyond what Exiv2 0.27 does. The library writes
// a PNG's Exif as a "Raw profile type exif" text chunk, which readers take
// for non-standard; the PNG standard keeps Exif in an eXIf chunk, which the
// library reads as well. And it reads and writes the comment kept under the
// text keyword "Description", but not the one under "Comment", which
// viewers show as the image's comment just the same.
namespace engine::bridge {

// The check sum a PNG chunk ends with, of its type and data (ISO 3309).
quint32 pngChunkCrc(const QByteArray &typeAndData);

// Whether the PNG holds a text chunk (tEXt, zTXt or iTXt) under the
// keyword "Comment"; with description also, one under "Description".
bool holdsTextComment(const Exiv2::byte *data, long size, bool description = false);

// The written PNG with the Exif in an eXIf chunk where the library left
// such a text chunk, and with withoutComments, without the text chunks
// under the keyword "Comment"; null when there was nothing to change.
QByteArray finishedPng(const Exiv2::byte *data, long size, const Exiv2::ExifData &exif,
    Exiv2::ByteOrder order, bool withoutComments);

} // namespace engine::bridge
