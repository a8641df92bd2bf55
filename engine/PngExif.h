// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <exiv2/exif.hpp>

// Exiv2 0.27 writes a PNG's Exif as a "Raw profile type exif" text chunk,
// which readers take for non-standard; the PNG standard keeps Exif in an
// eXIf chunk, which the library reads as well.
namespace engine::bridge {

// The written PNG with the Exif in an eXIf chunk where the library left
// such a text chunk; null when it left none.
QByteArray withExifChunk(
    const Exiv2::byte *data, long size, const Exiv2::ExifData &exif, Exiv2::ByteOrder order);

} // namespace engine::bridge
