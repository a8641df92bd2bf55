// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PhotoshopResources.h"

#include "engine/JpegSegments.h"

#include <QCryptographicHash>

#include <exiv2/iptc.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/psdimage.hpp>

#include <cstring>
#include <functional>
#include <utility>

namespace engine::bridge {

namespace {

constexpr uint16_t digestResource = 0x0425;
constexpr uint32_t digestSize = 16;

constexpr Exiv2::byte app13 = 0xed;
constexpr char photoshop[] = "Photoshop 3.0";

bool isPhotoshopSegment(const JpegSegment &segment)
{
    return segment.marker == app13 && segment.payloadSize > long(sizeof photoshop)
        && std::memcmp(segment.payload, photoshop, sizeof photoshop) == 0;
}

uint32_t bigEndian32(const Exiv2::byte *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

struct Digest
{
    Exiv2::byte *stored = nullptr;
    QByteArray current;
};

// The stored digest and that of the IPTC beside it, when a block holds both.
Digest findDigest(Exiv2::byte *data, long size, int imageType)
{
    Digest found;
    forEachResourceBlock(data, size, imageType, [&](Exiv2::byte *block, long blockSize) {
        const Exiv2::byte *record = nullptr;
        uint32_t header = 0;
        uint32_t length = 0;
        if (Exiv2::Photoshop::locateIrb(block, blockSize, digestResource, &record, &header, &length) != 0
            || length != digestSize)
            return;
        Exiv2::byte *stored = block + (record - block) + header;
        if (Exiv2::Photoshop::locateIptcIrb(block, blockSize, &record, &header, &length) != 0)
            return;
        found.stored = stored;
        found.current = QCryptographicHash::hash(
            QByteArrayView(reinterpret_cast<const char *>(record + header), qsizetype(length)),
            QCryptographicHash::Md5);
    });
    return found;
}

} // namespace

// Calls visit with each block of Photoshop resources in the file: the
// APP13 segments of a JPEG, the image resources of a Photoshop file.
void forEachResourceBlock(Exiv2::byte *data, long size, int imageType,
    const std::function<void(Exiv2::byte *block, long blockSize)> &visit)
{
    if (imageType == Exiv2::ImageType::psd) {
        constexpr long header = 26;
        if (size < header + 4)
            return;
        const long colourModeEnd = header + 4 + long(bigEndian32(data + header));
        if (colourModeEnd + 4 > size)
            return;
        const long resources = long(bigEndian32(data + colourModeEnd));
        if (resources <= size - colourModeEnd - 4)
            visit(data + colourModeEnd + 4, resources);
        return;
    }
    if (imageType != Exiv2::ImageType::jpeg)
        return;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        if (isPhotoshopSegment(segment))
            visit(segment.payload + sizeof photoshop, segment.payloadSize - long(sizeof photoshop));
    });
}

bool hasCurrentIptcDigest(const Exiv2::Image &image)
{
    Exiv2::BasicIo &io = image.io();
    if (io.open() != 0)
        return false;
    Exiv2::IoCloser closer(io);
    const Digest digest = findDigest(io.mmap(), long(io.size()), image.imageType());
    const bool current = digest.stored
        && std::memcmp(digest.stored, digest.current.constData(), size_t(digest.current.size())) == 0;
    io.munmap();
    return current;
}

void refreshIptcDigest(Exiv2::byte *data, long size, int imageType)
{
    const Digest digest = findDigest(data, size, imageType);
    if (digest.stored)
        std::memcpy(digest.stored, digest.current.constData(), size_t(digest.current.size()));
}

QByteArray withoutLeftoverIptc(Exiv2::byte *data, long size)
{
    QByteArray kept;
    long copiedTo = 0;
    bool first = true;
    bool changed = false;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        if (!isPhotoshopSegment(segment))
            return;
        const Exiv2::byte *resources = segment.payload + sizeof photoshop;
        const long resourcesSize = segment.payloadSize - long(sizeof photoshop);
        const Exiv2::byte *record = nullptr;
        uint32_t header = 0;
        uint32_t length = 0;
        const bool holdsIptc
            = Exiv2::Photoshop::locateIptcIrb(resources, resourcesSize, &record, &header, &length) == 0;
        if (std::exchange(first, false) || !holdsIptc)
            return;
        const Exiv2::DataBuf rest = Exiv2::Photoshop::setIptcIrb(resources, resourcesSize, Exiv2::IptcData());
        kept.append(reinterpret_cast<const char *>(data) + copiedTo, segment.start - copiedTo);
        copiedTo = segment.start + segment.length;
        changed = true;
        if (rest.size_ == 0)
            return;
        const long segmentLength = 2 + long(sizeof photoshop) + rest.size_;
        kept.append(char(0xff))
            .append(char(app13))
            .append(char(segmentLength >> 8))
            .append(char(segmentLength & 0xff));
        kept.append(photoshop, sizeof photoshop);
        kept.append(reinterpret_cast<const char *>(rest.pData_), rest.size_);
    });
    if (!changed)
        return QByteArray();
    kept.append(reinterpret_cast<const char *>(data) + copiedTo, size - copiedTo);
    return kept;
}

} // namespace engine::bridge
