// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/IptcAsRead.h"

#include "engine/ImageStructure.h"
#include "engine/walks/ByteCursor.h"
#include "engine/walks/JpegSegments.h"
#include "engine/walks/PhotoshopResources.h"

#include <exiv2/exif.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/psdimage.hpp>

#include <algorithm>
#include <map>
#include <optional>
#include <span>
#include <utility>

namespace engine::bridge {

namespace {

// The IPTC of every IPTC resource among Photoshop resources, one after the
// other, as the library reads them.
Exiv2::Blob iptcOfResources(const Exiv2::byte *resources, long size)
{
    Exiv2::Blob iptc;
    for (std::optional<ResourceData> found = findResource(resources, size, 0, Exiv2::Photoshop::iptc_); found;
         found = findResource(resources, size, found->next, Exiv2::Photoshop::iptc_))
        iptc.insert(iptc.end(), resources + found->start, resources + found->start + found->size);
    return iptc;
}

// A JPEG's Photoshop segments up to the first whole block of resources,
// as the library joins them.
Exiv2::Blob jpegIptc(Exiv2::byte *data, long size)
{
    Exiv2::Blob resources;
    JoinedResources joined;
    bool complete = false;
    forEachJpegSegment(data, size, [&](const JpegSegment &segment) {
        const std::optional<std::span<Exiv2::byte>> block = photoshopResourcesOf(segment);
        if (complete || !block)
            return;
        resources.insert(resources.end(), block->begin(), block->end());
        complete = joined.whole(resources);
    });
    return resources.empty() ? resources : iptcOfResources(resources.data(), long(resources.size()));
}

Exiv2::Blob photoshopIptc(Exiv2::byte *data, long size)
{
    Exiv2::Blob iptc;
    forEachResourceBlock(data, size, Exiv2::ImageType::psd,
        [&](Exiv2::byte *block, long blockSize) { iptc = iptcOfResources(block, blockSize); });
    return iptc;
}

// The first directory's IPTC tag, else its Photoshop resources' IPTC.
Exiv2::Blob tiffIptc(const Exiv2::Image &image)
{
    const Exiv2::ExifData &exif = image.exifData();
    const auto bytesOf = [&](const char *key) {
        Exiv2::Blob bytes;
        const auto datum = exif.findKey(Exiv2::ExifKey(key));
        if (datum != exif.end() && datum->size() > 0) {
            bytes.resize(std::size_t(datum->size()));
            datum->copy(bytes.data(), image.byteOrder());
        }
        return bytes;
    };
    const Exiv2::Blob naa = bytesOf("Exif.Image.IPTCNAA");
    if (!naa.empty())
        return naa;
    const Exiv2::Blob resources = bytesOf("Exif.Image.ImageResources");
    return resources.empty() ? resources : iptcOfResources(resources.data(), long(resources.size()));
}

// The datasets of an IPTC stream, read as the library reads them: while
// six bytes remain, bytes up to a marker are skipped; a size that runs
// past the stream's end ends it, its dataset unread.
std::vector<StoredDataset> datasetsOf(const Exiv2::Blob &iptc)
{
    constexpr std::size_t smallestDataset = 6;
    constexpr std::size_t largestSizeOfSize = 4;
    std::vector<StoredDataset> datasets;
    ByteCursor stream(iptc);
    while (stream.remaining() >= smallestDataset) {
        if (stream.byte() != 0x1c)
            continue;
        // The six bytes hold the marker, record, number and size.
        StoredDataset dataset;
        dataset.record = *stream.byte();
        dataset.number = *stream.byte();
        std::size_t size = *stream.uint16();
        if (size & 0x8000) {
            // An extended dataset: the size of its size, then its size.
            std::size_t sizeOfSize = size & 0x7fff;
            if (sizeOfSize > largestSizeOfSize || sizeOfSize > stream.remaining())
                break;
            size = 0;
            for (; sizeOfSize > 0; --sizeOfSize)
                size = size << 8 | *stream.byte();
        }
        const std::optional<std::span<const Exiv2::byte>> bytes = stream.bytes(size);
        if (!bytes)
            break;
        dataset.bytes.assign(reinterpret_cast<const char *>(bytes->data()), bytes->size());
        datasets.push_back(std::move(dataset));
    }
    return datasets;
}

} // namespace

std::vector<StoredDataset> storedIptc(Exiv2::Image &image)
{
    Exiv2::Blob iptc;
    if (imageKind(image).tiffBased) {
        iptc = tiffIptc(image);
    } else if (image.imageType() == Exiv2::ImageType::jpeg || image.imageType() == Exiv2::ImageType::exv
        || image.imageType() == Exiv2::ImageType::psd) {
        Exiv2::BasicIo &io = image.io();
        if (io.open() != 0)
            return {};
        Exiv2::IoCloser closer(io);
        Exiv2::byte *data = io.mmap(false);
        const long size = long(io.size());
        iptc = image.imageType() == Exiv2::ImageType::psd ? photoshopIptc(data, size) : jpegIptc(data, size);
        io.munmap();
    }
    return datasetsOf(iptc);
}

std::vector<StoredDataset> leadingDatasets(std::span<const Exiv2::byte> bytes)
{
    std::vector<StoredDataset> datasets;
    ByteCursor stream(bytes);
    while (stream.peek() == 0x1c) {
        ByteCursor dataset = stream;
        dataset.skip(1);
        const std::optional<uint8_t> record = dataset.byte();
        const std::optional<uint8_t> number = record ? dataset.byte() : std::nullopt;
        const std::optional<uint16_t> size = number ? dataset.uint16() : std::nullopt;
        const std::optional<std::span<const Exiv2::byte>> data
            = size && !(*size & 0x8000) ? dataset.bytes(*size) : std::nullopt;
        if (!data)
            break;
        datasets.push_back(
            { *record, *number, std::string(reinterpret_cast<const char *>(data->data()), data->size()) });
        stream = dataset;
    }
    return datasets;
}

void keepStoredDatesAndTimes(
    Exiv2::IptcData &iptc, const std::vector<StoredDataset> &stored, const std::vector<std::string> &named)
{
    std::map<std::pair<uint16_t, uint16_t>, int> seen;
    for (Exiv2::Iptcdatum &datum : iptc) {
        const int occurrence = seen[{ datum.record(), datum.tag() }]++;
        const Exiv2::TypeId type = datum.typeId();
        if ((type != Exiv2::date && type != Exiv2::time)
            || std::find(named.begin(), named.end(), datum.key()) != named.end())
            continue;
        int found = 0;
        for (const StoredDataset &dataset : stored) {
            if (dataset.record != datum.record() || dataset.number != datum.tag() || found++ != occurrence)
                continue;
            std::string written(std::size_t(datum.size()), '\0');
            datum.copy(reinterpret_cast<Exiv2::byte *>(written.data()), Exiv2::bigEndian);
            if (written != dataset.bytes) {
                const Exiv2::StringValue asStored(dataset.bytes);
                datum.setValue(&asStored);
            }
            break;
        }
    }
}

} // namespace engine::bridge
