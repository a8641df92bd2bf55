// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/LibraryCost.h"

#include "engine/walks/ByteCursor.h"
#include "engine/walks/ExifContainers.h"
#include "engine/walks/JpegSegments.h"
#include "engine/walks/MakerNoteWalk.h"

#include <exiv2/image.hpp>
#include <exiv2/webpimage.hpp>

#include <QString>

#include <set>
#include <string_view>

namespace engine::bridge {

namespace {

constexpr Exiv2::byte app13 = 0xed;
constexpr std::string_view photoshopSegment("Photoshop 3.0\0", 14);
// Photoshop data over 64 KB takes a few segments (a large preview, a
// clipping path); at this many, of the largest size, joining them takes
// the library a few tenths of a second.
constexpr int mostPhotoshopSegments = 64;
// A WebP holds one EXIF and one XMP chunk.
constexpr int mostWebpMetadataChunks = 8;
constexpr uint16_t subImagesTag = 0x014a;
constexpr uint16_t makeTag = 0x010f;
constexpr int deepestDirectory = 8;

QString megabytes(uint64_t bytes)
{
    return QString::number(double(bytes) / double(1 << 20), 'f', 1);
}

int photoshopSegments(std::span<const Exiv2::byte> file)
{
    int count = 0;
    forEachJpegSegment(
        const_cast<Exiv2::byte *>(file.data()), long(file.size()), [&](const JpegSegment &segment) {
            if (segment.marker == app13
                && ByteCursor(segment.payload, segment.payloadSize).startsWith(photoshopSegment))
                ++count;
        });
    return count;
}

int webpMetadataChunks(std::span<const Exiv2::byte> file)
{
    int count = 0;
    ByteCursor cursor(file);
    if (!cursor.skip(12))
        return 0;
    while (cursor.remaining() >= 8) {
        const std::span<const Exiv2::byte> type = *cursor.bytes(4);
        const uint32_t size = *cursor.uint32(Exiv2::littleEndian);
        const std::string_view name(reinterpret_cast<const char *>(type.data()), type.size());
        if (name == "EXIF" || name == "XMP ")
            ++count;
        // Chunks are padded to an even length.
        if (!cursor.skip(uint64_t(size) + (size & 1u)))
            break;
    }
    return count;
}

// The bytes a TIFF structure's directories name in all: each entry's value
// that lies within the structure and does not fit its entry, as often as
// entries name it, and what a maker note the library knows names. Each
// directory is counted once, as the library reads it once.
class NamedBytes
{
public:
    NamedBytes(const TiffBytes &tiff, WalkBudget &budget)
        : m_tiff(tiff)
        , m_budget(budget)
    { }

    uint64_t total() const { return m_total; }

    void directory(std::size_t at, int depth)
    {
        for (std::optional<TiffDirectory> found = m_tiff.directory(at); found && depth <= deepestDirectory
             && m_visited.insert(found->at).second && m_budget.spend(found->end - found->at);
             found = found->next >= 8 ? m_tiff.directory(found->next) : std::nullopt)
            entries(*found, depth);
    }

private:
    void entries(const TiffDirectory &read, int depth)
    {
        for (const TiffEntry &entry : read.entries) {
            // What does not fit its entry and lies within the structure.
            const std::span<const Exiv2::byte> value = entry.inlined()
                ? std::span<const Exiv2::byte>()
                : m_tiff.value(entry).value_or(std::span<const Exiv2::byte>());
            m_total += value.size();
            if (entry.tag == exifPointerTag || entry.tag == gpsPointerTag
                || entry.tag == interoperabilityPointerTag) {
                if (const std::optional<uint32_t> at = m_tiff.number(entry))
                    directory(*at, depth + 1);
            } else if (entry.tag == subImagesTag && (entry.type == 4 || entry.type == 13)) {
                subImages(entry, depth);
            } else if (entry.tag == makerNoteTiffTag && !value.empty()) {
                m_total += makerNoteNamedBytes(m_tiff, std::size_t(value.data() - m_tiff.bytes().data()),
                    value.size(), m_make, m_budget);
            } else if (entry.tag == makeTag && !value.empty()) {
                m_make.assign(reinterpret_cast<const char *>(value.data()), value.size());
            }
        }
    }

    void subImages(const TiffEntry &entry, int depth)
    {
        const std::optional<std::size_t> at = m_tiff.valueAt(entry);
        for (uint32_t i = 0; at && i < entry.count && !m_budget.spent(); ++i) {
            if (const std::optional<uint32_t> offset = m_tiff.uint32At(*at + 4 * std::size_t(i)))
                directory(*offset, depth + 1);
        }
    }

    const TiffBytes &m_tiff;
    WalkBudget &m_budget;
    std::set<std::size_t> m_visited;
    std::string m_make;
    uint64_t m_total = 0;
};

} // namespace

std::optional<std::string> beyondTheLibrary(
    std::span<const Exiv2::byte> file, const ImageKind &kind, WalkBudget &budget)
{
    if (kind.jpeg) {
        if (const int segments = photoshopSegments(file); segments > mostPhotoshopSegments)
            return QStringLiteral(
                "its IPTC and Photoshop data are split over %1 segments, more than a photo has, "
                "which the library would take too long to join")
                .arg(segments)
                .toStdString();
    }
    if (kind.imageType == Exiv2::ImageType::webp) {
        if (const int chunks = webpMetadataChunks(file); chunks > mostWebpMetadataChunks)
            return QStringLiteral(
                "it holds %1 chunks of Exif and XMP where a WebP holds one of each, which the "
                "library would take too long to read")
                .arg(chunks)
                .toStdString();
    }
    // What the walks over the file before spent of its budget, they spent
    // on structures that name the same bytes over and over.
    if (budget.spent())
        return "its structures name the same data over and over, more than a photo of its size does";
    const std::optional<ExifInFile> exif = exifOfImage(file, kind);
    if (!exif)
        return std::nullopt;
    const TiffBytes &tiff = exif->tiff;
    NamedBytes named(tiff, budget);
    if (const std::optional<uint32_t> first = tiff.firstDirectory(); first && *first >= 8)
        named.directory(*first, 0);
    // A photo's values lie apart, and a camera names a preview from a few
    // places at most: its entries name no more than a few times its bytes.
    const uint64_t most = 4 * uint64_t(tiff.bytes().size()) + (uint64_t(16) << 20);
    if (budget.spent() || named.total() > most)
        return QStringLiteral("its Exif names the same data over and over, %1 MB in all in a file of %2 MB, "
                              "which the library would take too long and too much memory to read")
            .arg(megabytes(named.total()), megabytes(file.size()))
            .toStdString();
    return std::nullopt;
}

} // namespace engine::bridge
