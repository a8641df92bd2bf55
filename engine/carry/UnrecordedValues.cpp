// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/UnrecordedValues.h"

#include "engine/walks/ExifContainers.h"
#include "engine/walks/TiffDirectories.h"

#include <exiv2/exif.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/pngimage.hpp>
#include <exiv2/psdimage.hpp>
#include <exiv2/webpimage.hpp>

#include <algorithm>
#include <array>

namespace engine::bridge {

namespace {

constexpr uint16_t unrecordedTags[] = { 0x0106, 0x0116 }; // photometric interpretation, rows per strip
// A private tag no camera or program gives the first directory.
constexpr uint16_t standInBase = 0xfd00;
constexpr std::size_t entrySize = 12;

// The formats whose Exif the library writes as a compressed picture's.
bool recordsNoStrips(const ImageKind &kind)
{
    switch (kind.imageType) {
    case Exiv2::ImageType::jpeg:
    case Exiv2::ImageType::exv:
    case Exiv2::ImageType::png:
    case Exiv2::ImageType::psd:
    case Exiv2::ImageType::webp:
        return true;
    default:
        return false;
    }
}

} // namespace

std::vector<StandIn> keepUnrecordedValues(Exiv2::Image &image, const ImageKind &kind)
{
    std::vector<StandIn> carried;
    if (!recordsNoStrips(kind))
        return carried;
    Exiv2::ExifData &exif = image.exifData();
    for (const uint16_t tag : unrecordedTags) {
        const uint16_t standIn = uint16_t(standInBase | (tag & 0xff));
        const auto datum = exif.findKey(Exiv2::ExifKey(tag, "Image"));
        if (datum == exif.end() || exif.findKey(Exiv2::ExifKey(standIn, "Image")) != exif.end())
            continue;
        const Exiv2::Value::AutoPtr value = datum->getValue();
        exif.erase(datum);
        exif.add(Exiv2::ExifKey(standIn, "Image"), value.get());
        carried.push_back({ tag, standIn });
    }
    return carried;
}

void placeUnrecordedValues(
    const std::vector<StandIn> &carried, Exiv2::byte *written, long size, const ImageKind &kind)
{
    if (carried.empty())
        return;
    changeFirstDirectory(written, size, kind, [&](const FirstDirectoryInFile &found) {
        const Exiv2::ByteOrder order = found.exif.tiff.order();
        bool renamed = false;
        for (const StandIn &standIn : carried) {
            if (const TiffEntry *entry = found.directory.find(standIn.standIn)) {
                Exiv2::us2Data(found.structure + entry->at, standIn.tag, order);
                renamed = true;
            }
        }
        if (!renamed)
            return false;
        // The entries in the order of their tags again; their values stay.
        std::vector<std::array<Exiv2::byte, entrySize>> entries;
        for (const TiffEntry &entry : found.directory.entries) {
            std::array<Exiv2::byte, entrySize> bytes;
            std::copy_n(found.structure + entry.at, entrySize, bytes.begin());
            entries.push_back(bytes);
        }
        std::stable_sort(entries.begin(), entries.end(), [&](const auto &a, const auto &b) {
            return Exiv2::getUShort(a.data(), order) < Exiv2::getUShort(b.data(), order);
        });
        for (std::size_t i = 0; i < entries.size(); ++i)
            std::copy(entries[i].begin(), entries[i].end(), found.structure + found.directory.entries[i].at);
        return true;
    });
}

} // namespace engine::bridge
