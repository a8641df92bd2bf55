// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/TiffDirectories.h"

#include "engine/walks/JpegSegments.h"

#include <string_view>

namespace engine::bridge {

namespace {

constexpr std::size_t entrySize = 12;
// No directory a camera or a program writes comes near this; a damaged
// count past it is taken for no directory at all.
constexpr uint16_t mostEntries = 4000;
constexpr Exiv2::byte app1 = 0xe1;

} // namespace

std::optional<std::size_t> tiffTypeSize(uint16_t type)
{
    switch (type) {
    case 1: // byte
    case 2: // ASCII
    case 6: // signed byte
    case 7: // undefined
        return 1;
    case 3: // short
    case 8: // signed short
        return 2;
    case 4: // long
    case 9: // signed long
    case 11: // float
    case 13: // directory
        return 4;
    case 5: // rational
    case 10: // signed rational
    case 12: // double
        return 8;
    default:
        return std::nullopt;
    }
}

const TiffEntry *TiffDirectory::find(uint16_t tag) const
{
    for (const TiffEntry &entry : entries) {
        if (entry.tag == tag)
            return &entry;
    }
    return nullptr;
}

std::optional<TiffBytes> TiffBytes::withHeader(std::span<const Exiv2::byte> bytes)
{
    const ByteCursor cursor(bytes);
    if (cursor.remaining() < 8)
        return std::nullopt;
    if (cursor.startsWith(std::string_view("II*\0", 4)))
        return TiffBytes(bytes, Exiv2::littleEndian);
    if (cursor.startsWith(std::string_view("MM\0*", 4)))
        return TiffBytes(bytes, Exiv2::bigEndian);
    return std::nullopt;
}

std::optional<uint32_t> TiffBytes::firstDirectory() const
{
    return uint32At(4);
}

std::optional<TiffDirectory> TiffBytes::directory(std::size_t at, bool withNext) const
{
    std::optional<ByteCursor> cursor = ByteCursor(m_bytes).at(at);
    const std::optional<uint16_t> count = cursor ? cursor->uint16(m_order) : std::nullopt;
    if (!count || *count == 0 || *count > mostEntries
        || cursor->remaining() < std::size_t(*count) * entrySize)
        return std::nullopt;
    TiffDirectory directory;
    directory.at = at;
    directory.entries.reserve(*count);
    for (uint16_t i = 0; i < *count; ++i) {
        TiffEntry entry;
        entry.at = cursor->position();
        entry.tag = *cursor->uint16(m_order);
        entry.type = *cursor->uint16(m_order);
        entry.count = *cursor->uint32(m_order);
        entry.field = *cursor->uint32(m_order);
        if (const std::optional<std::size_t> size = tiffTypeSize(entry.type))
            entry.size = uint64_t(entry.count) * *size;
        directory.entries.push_back(entry);
    }
    directory.end = cursor->position();
    if (withNext) {
        const std::optional<uint32_t> next = cursor->uint32(m_order);
        directory.next = next.value_or(0);
        directory.end = cursor->position();
    }
    return directory;
}

std::optional<std::size_t> TiffBytes::valueAt(const TiffEntry &entry, int64_t base) const
{
    if (!entry.size)
        return std::nullopt;
    if (entry.inlined())
        return entry.fieldAt();
    const int64_t at = base + int64_t(entry.field);
    if (at < 0 || uint64_t(at) > m_bytes.size())
        return std::nullopt;
    return std::size_t(at);
}

std::optional<std::span<const Exiv2::byte>> TiffBytes::value(const TiffEntry &entry, int64_t base) const
{
    const std::optional<std::size_t> at = valueAt(entry, base);
    return at ? slice(*at, *entry.size) : std::nullopt;
}

std::optional<std::span<const Exiv2::byte>> TiffBytes::slice(uint64_t at, uint64_t count) const
{
    if (at > m_bytes.size() || count > m_bytes.size() - at)
        return std::nullopt;
    return m_bytes.subspan(std::size_t(at), std::size_t(count));
}

std::optional<uint32_t> TiffBytes::uint32At(std::size_t at) const
{
    std::optional<ByteCursor> cursor = ByteCursor(m_bytes).at(at);
    return cursor ? cursor->uint32(m_order) : std::nullopt;
}

std::optional<uint32_t> TiffBytes::number(const TiffEntry &entry) const
{
    if (entry.count < 1)
        return std::nullopt;
    if (entry.type == 4 || entry.type == 9 || entry.type == 13)
        return entry.field;
    if (entry.type != 3 && entry.type != 8)
        return std::nullopt;
    std::optional<ByteCursor> cursor = ByteCursor(m_bytes).at(entry.fieldAt());
    return cursor ? cursor->uint16(m_order) : std::nullopt;
}

std::optional<TiffBytes> TiffBytes::ofRawFile(std::span<const Exiv2::byte> bytes)
{
    const ByteCursor cursor(bytes);
    if (cursor.remaining() >= 8
        && (cursor.startsWith(std::string_view("IIRO", 4)) || cursor.startsWith(std::string_view("IIRS", 4))))
        return TiffBytes(bytes, Exiv2::littleEndian);
    if (cursor.remaining() >= 8 && cursor.startsWith(std::string_view("MMOR", 4)))
        return TiffBytes(bytes, Exiv2::bigEndian);
    return withHeader(bytes);
}

std::optional<ExifInFile> exifInFile(std::span<const Exiv2::byte> file, bool tiffBased)
{
    if (tiffBased) {
        const std::optional<TiffBytes> tiff = TiffBytes::ofRawFile(file);
        return tiff ? std::optional<ExifInFile>(ExifInFile { *tiff, 0 }) : std::nullopt;
    }
    constexpr std::string_view exifHeader("Exif\0\0", 6);
    std::optional<ExifInFile> found;
    forEachJpegSegment(
        const_cast<Exiv2::byte *>(file.data()), long(file.size()), [&](const JpegSegment &segment) {
            const ByteCursor payload(segment.payload, segment.payloadSize);
            if (found || segment.marker != app1 || !payload.startsWith(exifHeader))
                return;
            const std::size_t offset = std::size_t(segment.payload - file.data()) + exifHeader.size();
            if (const std::optional<TiffBytes> tiff = TiffBytes::withHeader(
                    file.subspan(offset, std::size_t(segment.payloadSize) - exifHeader.size())))
                found = ExifInFile { *tiff, offset };
        });
    return found;
}

std::optional<TiffDirectory> pointedDirectory(const TiffBytes &tiff, const TiffDirectory *in, uint16_t tag)
{
    const TiffEntry *pointer = in ? in->find(tag) : nullptr;
    const std::optional<uint32_t> at = pointer ? tiff.number(*pointer) : std::nullopt;
    return at && *at >= 8 ? tiff.directory(*at) : std::nullopt;
}

ExifDirectories exifDirectories(const TiffBytes &tiff)
{
    ExifDirectories found;
    const std::optional<uint32_t> first = tiff.firstDirectory();
    if (!first || *first < 8)
        return found;
    found.image = tiff.directory(*first);
    if (!found.image)
        return found;
    found.photo = pointedDirectory(tiff, &*found.image, exifPointerTag);
    found.imageInteroperability = pointedDirectory(tiff, &*found.image, interoperabilityPointerTag);
    if (found.image->next >= 8 && found.image->next != found.image->at)
        found.thumbnail = tiff.directory(found.image->next);
    if (found.photo)
        found.interoperability = pointedDirectory(tiff, &*found.photo, interoperabilityPointerTag);
    return found;
}

} // namespace engine::bridge
