// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/FirstDirectoryPointers.h"

#include "engine/BridgeFrame.h"
#include "engine/walks/ExifContainers.h"
#include "engine/walks/TiffDirectories.h"
#include "engine/walks/WalkBudget.h"

#include <exiv2/error.hpp>
#include <exiv2/exif.hpp>

#include <algorithm>
#include <optional>

namespace engine::bridge {

namespace {

// The first directory's entries that name a directory the library does
// not read: the interoperability directory, where some cameras name it
// from there, and a Kodak professional back's own.
constexpr uint16_t kodakDirectoryTag = 0x8290;
constexpr uint16_t pointerTags[] = { interoperabilityPointerTag, kodakDirectoryTag };

constexpr uint16_t undefinedType = 7;
constexpr uint16_t directoryType = 13;
constexpr std::size_t entrySize = 12;

// The directory as bytes that read the same wherever they stand: its
// entries, no next directory, and after them each value that does not fit
// its entry, with the entry's offset counting from the bytes' start. The
// values of a sound directory lie apart, so they add up to no more than the
// structure holds; entries that name the same bytes over and over cannot be
// carried.
std::optional<std::vector<Exiv2::byte>> standaloneBytes(const TiffBytes &tiff, const TiffDirectory &directory)
{
    WalkBudget values(tiff.bytes().size());
    const std::size_t table = 2 + directory.entries.size() * entrySize;
    const std::span<const Exiv2::byte> entries = *tiff.slice(directory.at, table);
    std::vector<Exiv2::byte> bytes(entries.begin(), entries.end());
    bytes.resize(table + 4, 0);
    for (std::size_t i = 0; i < directory.entries.size(); ++i) {
        const TiffEntry &entry = directory.entries[i];
        if (!entry.size || entry.type == directoryType)
            return std::nullopt;
        if (entry.inlined())
            continue;
        const std::optional<std::span<const Exiv2::byte>> value = tiff.value(entry);
        if (!value || !values.spend(value->size()))
            return std::nullopt;
        bytes.resize(bytes.size() + (bytes.size() & 1), 0);
        Exiv2::ul2Data(bytes.data() + 2 + i * entrySize + 8, uint32_t(bytes.size()), tiff.order());
        bytes.insert(bytes.end(), value->begin(), value->end());
    }
    return bytes;
}

} // namespace

std::vector<FirstDirectoryPointer> keepFirstDirectoryPointers(Exiv2::Image &image, const ImageKind &kind)
{
    Exiv2::ExifData &exif = image.exifData();
    std::vector<FirstDirectoryPointer> carried;
    for (const uint16_t tag : pointerTags) {
        const auto pointer = exif.findKey(Exiv2::ExifKey(tag, "Image"));
        if (pointer == exif.end())
            continue;
        std::optional<TiffEntry> entry;
        std::optional<std::vector<Exiv2::byte>> bytes;
        readFileBytes(image, [&](const Exiv2::byte *data, long size) {
            const std::optional<ExifInFile> found
                = exifOfImage(std::span<const Exiv2::byte>(data, std::size_t(std::max(size, 0L))), kind);
            const std::optional<TiffDirectory> first
                = found ? exifDirectories(found->tiff).image : std::nullopt;
            const std::optional<TiffDirectory> directory
                = first ? pointedDirectory(found->tiff, &*first, tag) : std::nullopt;
            if (!directory)
                return;
            entry = *first->find(tag);
            bytes = standaloneBytes(found->tiff, *directory);
        });
        if (!entry)
            continue;
        if (!bytes)
            throw Exiv2::Error(Exiv2::kerErrorMessage,
                "the camera's data would not survive the write: a directory its first directory names holds "
                "values the write cannot carry");
        const Exiv2::Value::AutoPtr value = Exiv2::Value::create(Exiv2::undefined);
        value->read(bytes->data(), long(bytes->size()), Exiv2::invalidByteOrder);
        pointer->setValue(value.get());
        carried.push_back({ tag, entry->type });
    }
    return carried;
}

void placeFirstDirectoryPointers(
    const std::vector<FirstDirectoryPointer> &carried, Exiv2::byte *written, long size, const ImageKind &kind)
{
    if (carried.empty())
        return;
    changeFirstDirectory(written, size, kind, [&](const FirstDirectoryInFile &found) {
        const Exiv2::ByteOrder order = found.exif.tiff.order();
        bool changed = false;
        for (const FirstDirectoryPointer &pointer : carried) {
            const TiffEntry *entry = found.directory.find(pointer.tag);
            const std::optional<TiffDirectory> directory
                = entry && entry->type == undefinedType && !entry->inlined()
                ? found.exif.tiff.directory(entry->field)
                : std::nullopt;
            if (!directory)
                continue;
            Exiv2::us2Data(found.structure + entry->at + 2, pointer.type, order);
            Exiv2::ul2Data(found.structure + entry->at + 4, 1, order);
            for (const TiffEntry &value : directory->entries) {
                if (!value.inlined())
                    Exiv2::ul2Data(found.structure + value.fieldAt(), value.field + entry->field, order);
            }
            changed = true;
        }
        return changed;
    });
}

} // namespace engine::bridge
