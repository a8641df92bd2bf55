// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <exiv2/types.hpp>

#include <string>

// XMP too large for one JPEG segment continues in "extended XMP" segments,
// which the library neither reads nor writes: it leaves them as they were.
namespace engine::bridge {

// A written JPEG file without the extended XMP segments its XMP packet no
// longer refers to (the XMP was cleared or emptied); null when there are
// none to drop.
QByteArray withoutOrphanedExtendedXmp(Exiv2::byte *data, long size, const std::string &packet);

} // namespace engine::bridge
