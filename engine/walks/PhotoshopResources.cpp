// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/PhotoshopResources.h"

#include "engine/walks/ByteCursor.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <exiv2/iptc.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/psdimage.hpp>

#include <algorithm>
#include <cstring>
#include <functional>
#include <span>
#include <utility>
#include <vector>

namespace engine::bridge {

namespace {

constexpr uint16_t digestResource = 0x0425;
constexpr uint32_t digestSize = 16;

constexpr Exiv2::byte app13 = 0xed;
constexpr char photoshop[] = "Photoshop 3.0";
constexpr long largestSegment = 0xffff;

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
        const std::optional<ResourceData> digest = findResource(block, blockSize, 0, digestResource);
        if (!digest || digest->size != digestSize)
            return;
        const std::optional<ResourceData> iptc = findResource(block, blockSize, 0, Exiv2::Photoshop::iptc_);
        if (!iptc)
            return;
        found.stored = block + digest->start;
        found.current = QCryptographicHash::hash(
            QByteArrayView(reinterpret_cast<const char *>(block + iptc->start), qsizetype(iptc->size)),
            QCryptographicHash::Md5);
    });
    return found;
}

// The block without its IPTC resources, as the library makes it. After each
// IPTC resource it skips, the library looks for the next within the size the
// block had left before the skip, so it reads up to as far past the block's
// end as it has skipped, however the block ends. It is handed a copy
// followed by that many zero bytes and more, where no resource starts.
Exiv2::DataBuf withoutIptcResources(std::span<const Exiv2::byte> block)
{
    constexpr std::size_t signatureAndPadding = 16;
    std::vector<Exiv2::byte> roomy(2 * block.size() + signatureAndPadding, 0);
    std::copy(block.begin(), block.end(), roomy.begin());
    return Exiv2::Photoshop::setIptcIrb(roomy.data(), long(block.size()), Exiv2::IptcData());
}

} // namespace

std::optional<std::span<Exiv2::byte>> photoshopResourcesOf(const JpegSegment &segment)
{
    ByteCursor payload(segment.payload, segment.payloadSize);
    if (segment.marker != app13 || payload.remaining() <= sizeof photoshop
        || !payload.startsWith(std::string_view(photoshop, sizeof photoshop)))
        return std::nullopt;
    return std::span<Exiv2::byte>(segment.payload + sizeof photoshop, payload.remaining() - sizeof photoshop);
}

bool JoinedResources::whole(std::span<const Exiv2::byte> block)
{
    // As the library reads a record: its mark, its id, its name padded to
    // an even size (counted in one byte, which a name of 255 wraps to
    // nothing), its data's size and its data, padded to an even size.
    constexpr std::size_t smallestRecord = 12;
    const std::size_t size = block.size();
    while (!m_broken && m_next < size && size - m_next >= smallestRecord) {
        if (!Exiv2::Photoshop::isIrb(block.data() + m_next, 4)) {
            m_broken = true;
            break;
        }
        auto name = uint8_t(block[m_next + 6] + 1);
        name = uint8_t(name + (name & 1));
        const std::size_t sizeAt = m_next + 6 + name;
        if (sizeAt + 4 > size)
            return false;
        const uint32_t dataSize = Exiv2::getULong(block.data() + sizeAt, Exiv2::bigEndian);
        if (dataSize > size - (sizeAt + 4))
            return false;
        m_next = sizeAt + 4 + dataSize + (dataSize & 1);
    }
    return !m_broken && m_next >= size;
}

std::optional<ResourceData> findResource(const Exiv2::byte *block, long size, std::size_t from, uint16_t id)
{
    const ByteCursor whole(block, size);
    if (from >= whole.remaining())
        return std::nullopt;
    const Exiv2::byte *record = nullptr;
    uint32_t header = 0;
    uint32_t length = 0;
    if (Exiv2::Photoshop::locateIrb(
            block + from, long(whole.remaining() - from), id, &record, &header, &length)
        != 0)
        return std::nullopt;
    // Where the library found it, held against the block's end.
    std::optional<ByteCursor> resource = whole.at(std::size_t(record - block));
    if (!resource || !resource->skip(header))
        return std::nullopt;
    const std::size_t start = resource->position();
    if (!resource->skip(length))
        return std::nullopt;
    // Data of an odd size is padded, where the block holds the padding.
    resource->skip(length & 1);
    return ResourceData { start, length, resource->position() };
}

std::optional<std::vector<Resource>> resourcesOf(std::span<const Exiv2::byte> block)
{
    std::vector<Resource> resources;
    ByteCursor records(block);
    while (records.remaining() > 0) {
        const std::size_t at = records.position();
        if (records.remaining() < 4 || !Exiv2::Photoshop::isIrb(block.data() + at, 4)) {
            // Only zero bytes may follow the last record.
            const std::optional<std::span<const Exiv2::byte>> rest = records.bytes(records.remaining());
            if (std::any_of(rest->begin(), rest->end(), [](Exiv2::byte b) { return b != 0; }))
                return std::nullopt;
            break;
        }
        records.skip(4);
        const std::optional<uint16_t> id = records.uint16();
        // The name: a length, then as many characters, padded to an even size.
        const std::optional<uint8_t> nameLength = id ? records.byte() : std::nullopt;
        if (!nameLength || !records.skip(*nameLength + ((*nameLength + 1) & 1)))
            return std::nullopt;
        const std::optional<uint32_t> size = records.uint32();
        const std::size_t start = records.position();
        if (!size || !records.skip(*size))
            return std::nullopt;
        // Data of an odd size is padded, where the block holds the padding.
        if (*size & 1)
            records.skip(1);
        resources.push_back({ *id, at, start, *size, records.position() });
    }
    return resources;
}

QByteArray withIptcResource(
    std::span<const Exiv2::byte> block, const std::vector<Resource> &resources, const Exiv2::IptcData &iptc)
{
    const auto isIptc = [](const Resource &r) { return r.id == Exiv2::Photoshop::iptc_; };
    const auto first = std::find_if(resources.begin(), resources.end(), isIptc);
    if (first == resources.end())
        return QByteArray();
    const auto bytesOf = [&](std::size_t from, std::size_t to) {
        return QByteArray(reinterpret_cast<const char *>(block.data() + from), qsizetype(to - from));
    };
    const Exiv2::DataBuf encoded = Exiv2::IptcParser::encode(iptc);
    QByteArray rebuilt = bytesOf(0, first->at);
    if (encoded.size_ > 0) {
        // Its signature, id and name as they were, then the new data.
        rebuilt.append(bytesOf(first->at, first->start - 4));
        const auto size = quint32(encoded.size_);
        char sizeBytes[4];
        qToBigEndian(size, sizeBytes);
        rebuilt.append(sizeBytes, 4);
        rebuilt.append(reinterpret_cast<const char *>(encoded.pData_), encoded.size_);
        if (size & 1)
            rebuilt.append('\0');
    }
    for (auto resource = first; resource != resources.end(); ++resource) {
        if (!isIptc(*resource))
            rebuilt.append(bytesOf(resource->at, resource->next));
    }
    return rebuilt.append(bytesOf(resources.back().next, block.size()));
}

void forEachResourceBlock(Exiv2::byte *data, long size, int imageType,
    const std::function<void(Exiv2::byte *block, long blockSize)> &visit)
{
    if (imageType == Exiv2::ImageType::psd) {
        // The header, then the colour mode's data and the image resources,
        // each after its length.
        constexpr std::size_t header = 26;
        ByteCursor psd(data, size);
        if (!psd.skip(header))
            return;
        const std::optional<uint32_t> colourMode = psd.uint32();
        if (!colourMode || !psd.skip(*colourMode))
            return;
        const std::optional<uint32_t> resources = psd.uint32();
        const std::size_t start = psd.position();
        if (resources && psd.skip(*resources))
            visit(data + start, long(*resources));
        return;
    }
    if (imageType != Exiv2::ImageType::jpeg)
        return;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        if (const auto resources = photoshopResourcesOf(segment))
            visit(resources->data(), long(resources->size()));
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

namespace {

// The whole segments of a JPEG that hold Photoshop resources, in order.
std::vector<std::span<const Exiv2::byte>> photoshopSegmentsOf(Exiv2::byte *data, long size)
{
    std::vector<std::span<const Exiv2::byte>> segments;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        if (photoshopResourcesOf(segment))
            segments.emplace_back(data + segment.start, std::size_t(segment.length));
    });
    return segments;
}

} // namespace

QByteArray withStoredPhotoshopSegments(std::span<const Exiv2::byte> original, Exiv2::byte *data, long size)
{
    // The walk reads the bytes only.
    const auto stored
        = photoshopSegmentsOf(const_cast<Exiv2::byte *>(original.data()), long(original.size()));
    const auto written = photoshopSegmentsOf(data, size);
    const auto same = [](std::span<const Exiv2::byte> a, std::span<const Exiv2::byte> b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    };
    if (stored.empty() || written.empty()
        || std::equal(stored.begin(), stored.end(), written.begin(), written.end(), same))
        return QByteArray();
    const auto bytes = [](std::span<const Exiv2::byte> span) {
        return QByteArray(reinterpret_cast<const char *>(span.data()), qsizetype(span.size()));
    };
    QByteArray kept;
    std::size_t copiedTo = 0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const std::size_t start = std::size_t(written[i].data() - data);
        kept.append(reinterpret_cast<const char *>(data) + copiedTo, qsizetype(start - copiedTo));
        if (i == 0) {
            for (const std::span<const Exiv2::byte> segment : stored)
                kept.append(bytes(segment));
        }
        copiedTo = start + written[i].size();
    }
    kept.append(reinterpret_cast<const char *>(data) + copiedTo, qsizetype(std::size_t(size) - copiedTo));
    return kept;
}

QByteArray withoutLeftoverIptc(Exiv2::byte *data, long size)
{
    QByteArray kept;
    long copiedTo = 0;
    bool first = true;
    bool changed = false;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        const std::optional<std::span<Exiv2::byte>> resources = photoshopResourcesOf(segment);
        if (!resources)
            return;
        const long resourcesSize = long(resources->size());
        const bool holdsIptc
            = findResource(resources->data(), resourcesSize, 0, Exiv2::Photoshop::iptc_).has_value();
        if (std::exchange(first, false) || !holdsIptc)
            return;
        const Exiv2::DataBuf rest = withoutIptcResources(*resources);
        const long segmentLength = 2 + long(sizeof photoshop) + rest.size_;
        // What no segment can hold stays as it was.
        if (segmentLength > largestSegment)
            return;
        kept.append(reinterpret_cast<const char *>(data) + copiedTo, segment.start - copiedTo);
        copiedTo = segment.start + segment.length;
        changed = true;
        if (rest.size_ == 0)
            return;
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
