// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exiv2/image.hpp>

#include <QByteArray>

#include <functional>

// The Photoshop resources beside a JPEG or Photoshop file's IPTC.
namespace engine::bridge {

// Calls visit with each block of Photoshop resources in the file: the
// APP13 segments of a JPEG, the image resources of a Photoshop file.
void forEachResourceBlock(Exiv2::byte *data, long size, int imageType,
    const std::function<void(Exiv2::byte *block, long blockSize)> &visit);

// Photoshop keeps a digest of the IPTC, by which other programs tell
// whether the XMP still matches the IPTC. The library writes IPTC in its
// own form (one character set dataset, times with their zone), so a write
// that leaves the IPTC's content as it was would otherwise leave a digest
// that no longer matches.
//
// True when the image's file holds a digest that matches its IPTC.
bool hasCurrentIptcDigest(const Exiv2::Image &image);
// Sets the digest in a written file's bytes to that of the IPTC they hold.
void refreshIptcDigest(Exiv2::byte *data, long size, int imageType);

// The library reads and writes the IPTC of a JPEG's first Photoshop
// segment; IPTC in a later, complete one stays as it was and other readers
// take it instead. A written JPEG without that IPTC; null when it has none.
QByteArray withoutLeftoverIptc(Exiv2::byte *data, long size);

} // namespace engine::bridge
