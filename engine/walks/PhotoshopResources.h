// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/walks/JpegSegments.h"

#include <exiv2/image.hpp>

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

// The Photoshop resources beside a JPEG or Photoshop file's IPTC.
namespace engine::bridge {

// Calls visit with each block of Photoshop resources in the file: the
// APP13 segments of a JPEG, the image resources of a Photoshop file.
void forEachResourceBlock(Exiv2::byte *data, long size, int imageType,
    const std::function<void(Exiv2::byte *block, long blockSize)> &visit);

// The resources a JPEG segment holds when it is a Photoshop segment.
std::optional<std::span<Exiv2::byte>> photoshopResourcesOf(const JpegSegment &segment);

// Where a resource's data lies in a block of resources, as offsets from the
// block's start, and where the next resource may start.
struct ResourceData
{
    std::size_t start = 0;
    std::size_t size = 0;
    std::size_t next = 0;
};
// The first resource of the id at or after from, found as the library finds
// it, and only when its data lies within the block.
std::optional<ResourceData> findResource(const Exiv2::byte *block, long size, std::size_t from, uint16_t id);

// A block of resources joined from segments one after the other, and
// whether it is whole as the library's check tells it (every record read
// whole, as the library reads records, up to the block's end), in time in
// proportion to the block: the records read whole stay so as it grows, so
// each is read once however many segments it is joined from.
class JoinedResources
{
public:
    // The block, grown at its end since the last call: whether it is whole.
    bool whole(std::span<const Exiv2::byte> block);

private:
    // Where the first record not yet read whole starts.
    std::size_t m_next = 0;
    // A record that is none: no bytes joined later make the block whole.
    bool m_broken = false;
};

// One resource of a block, as offsets from the block's start: where its
// record starts, where its data starts, its data's size, and where the next
// record may start.
struct Resource
{
    uint16_t id = 0;
    std::size_t at = 0;
    std::size_t start = 0;
    std::size_t size = 0;
    std::size_t next = 0;
};
// Every resource of the block, in order; none when the block does not
// parse, record after record, to its end (zero bytes may pad it).
std::optional<std::vector<Resource>> resourcesOf(std::span<const Exiv2::byte> block);
// The block with its IPTC resources in step with iptc: the first of them
// holds the IPTC as the library encodes it, the others go, and with no
// IPTC, all go. Other resources stay byte for byte. Null when the block
// holds no IPTC resource.
QByteArray withIptcResource(
    std::span<const Exiv2::byte> block, const std::vector<Resource> &resources, const Exiv2::IptcData &iptc);

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

// The library writes a JPEG's IPTC anew from what it decoded, which loses
// what it does not keep (a second coded character set, the datasets'
// order and sizes as stored) even where the write leaves the IPTC alone.
// Then the written JPEG with the original's Photoshop segments, byte for
// byte, where the library's stood; null where they are the same already,
// or where either file has none.
QByteArray withStoredPhotoshopSegments(std::span<const Exiv2::byte> original, Exiv2::byte *data, long size);

} // namespace engine::bridge
