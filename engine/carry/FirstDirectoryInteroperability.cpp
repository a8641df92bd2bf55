// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/FirstDirectoryInteroperability.h"

#include "engine/BridgeFrame.h"
#include "engine/walks/ExifContainers.h"
#include "engine/walks/TiffDirectories.h"

#include <exiv2/error.hpp>
#include <exiv2/exif.hpp>

#include <algorithm>
#include <vector>

namespace engine::bridge {

namespace {

constexpr const char *pointerKey = "Exif.Image.0xa005";
constexpr uint16_t undefinedType = 7;
constexpr uint16_t longType = 4;

// The directory as bytes that read the same wherever they stand: its
// entries, all holding their values, and no next directory.
std::optional<std::vector<Exiv2::byte>> standaloneBytes(const TiffBytes &tiff, const TiffDirectory &directory)
{
    if (!std::all_of(directory.entries.begin(), directory.entries.end(),
            [](const TiffEntry &entry) { return entry.inlined(); }))
        return std::nullopt;
    const std::size_t size = 2 + directory.entries.size() * 12;
    std::vector<Exiv2::byte> bytes(size + 4, 0);
    const std::span<const Exiv2::byte> entries = *tiff.slice(directory.at, size);
    std::copy(entries.begin(), entries.end(), bytes.begin());
    return bytes;
}

} // namespace

void keepFirstDirectoryInteroperability(Exiv2::Image &image, const ImageKind &kind)
{
    Exiv2::ExifData &exif = image.exifData();
    const auto pointer = exif.findKey(Exiv2::ExifKey(pointerKey));
    if (pointer == exif.end())
        return;
    bool named = false;
    std::optional<std::vector<Exiv2::byte>> bytes;
    readFileBytes(image, [&](const Exiv2::byte *data, long size) {
        const std::optional<ExifInFile> found
            = exifOfImage(std::span<const Exiv2::byte>(data, std::size_t(std::max(size, 0L))), kind);
        const std::optional<TiffDirectory> directory
            = found ? exifDirectories(found->tiff).imageInteroperability : std::nullopt;
        named = directory.has_value();
        if (directory)
            bytes = standaloneBytes(found->tiff, *directory);
    });
    if (!named)
        return;
    if (!bytes)
        throw Exiv2::Error(Exiv2::kerErrorMessage,
            "the camera's data would not survive the write: the interoperability directory its first "
            "directory names holds values the write cannot carry");
    const Exiv2::Value::AutoPtr value = Exiv2::Value::create(Exiv2::undefined);
    value->read(bytes->data(), long(bytes->size()), Exiv2::invalidByteOrder);
    pointer->setValue(value.get());
}

void placeFirstDirectoryInteroperability(Exiv2::byte *written, long size, const ImageKind &kind)
{
    const std::span<Exiv2::byte> file(written, std::size_t(std::max(size, 0L)));
    const std::optional<ExifInFile> found = exifOfImage(file, kind);
    const std::optional<TiffDirectory> image
        = found && !found->decoded ? exifDirectories(found->tiff).image : std::nullopt;
    const TiffEntry *entry = image ? image->find(interoperabilityPointerTag) : nullptr;
    if (!entry || entry->type != undefinedType || entry->inlined())
        return;
    Exiv2::byte *at = written + found->offsetInFile + entry->at;
    Exiv2::us2Data(at + 2, longType, found->tiff.order());
    Exiv2::ul2Data(at + 4, 1, found->tiff.order());
    exifBytesChanged(file, kind);
}

} // namespace engine::bridge
