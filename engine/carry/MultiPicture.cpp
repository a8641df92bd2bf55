// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/MultiPicture.h"

#include "engine/carry/JpegPlaces.h"
#include "engine/walks/JpegSegments.h"
#include "engine/walks/TiffDirectories.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace engine::bridge {

namespace {

constexpr Exiv2::byte app2 = 0xe2;
constexpr uint16_t pictureEntriesTag = 0xb002;
constexpr std::size_t pictureEntrySize = 16;

// The further pictures an index names: where each entry's offset stands
// in the file, and where the picture's bytes are.
struct FurtherPicture
{
    std::size_t offsetAt = 0;
    std::size_t at = 0;
    std::size_t size = 0;
    // Whether the picture lies within the file.
    bool found = false;
};

struct PictureIndex
{
    // Where the offsets count from, and where the file's image data begins.
    std::size_t header = 0;
    std::size_t imageData = 0;
    Exiv2::ByteOrder order = Exiv2::bigEndian;
    std::vector<FurtherPicture> pictures;
};

std::optional<PictureIndex> indexOf(std::span<const Exiv2::byte> file)
{
    constexpr std::string_view signature("MPF\0", 4);
    std::optional<PictureIndex> found;
    std::size_t imageData = 0;
    forEachJpegSegment(
        const_cast<Exiv2::byte *>(file.data()), long(file.size()), [&](const JpegSegment &segment) {
            imageData = std::size_t(segment.start + segment.length);
            const ByteCursor payload(segment.payload, segment.payloadSize);
            if (found || segment.marker != app2 || !payload.startsWith(signature))
                return;
            const std::size_t header = std::size_t(segment.payload - file.data()) + signature.size();
            const std::optional<TiffBytes> tiff = TiffBytes::withHeader(
                file.subspan(header, std::size_t(segment.payloadSize) - signature.size()));
            const std::optional<uint32_t> first = tiff ? tiff->firstDirectory() : std::nullopt;
            const std::optional<TiffDirectory> directory = first ? tiff->directory(*first) : std::nullopt;
            const TiffEntry *entries = directory ? directory->find(pictureEntriesTag) : nullptr;
            const std::optional<std::size_t> entriesAt = entries ? tiff->valueAt(*entries) : std::nullopt;
            if (!entriesAt || !tiff->value(*entries))
                return;
            PictureIndex index { header, 0, tiff->order(), {} };
            for (std::size_t i = 1; (i + 1) * pictureEntrySize <= *entries->size; ++i) {
                const std::size_t entry = *entriesAt + i * pictureEntrySize;
                const uint32_t size = *tiff->uint32At(entry + 4);
                const uint32_t offset = *tiff->uint32At(entry + 8);
                const bool within = size > 0 && offset > 0 && header + uint64_t(offset) + size <= file.size();
                index.pictures.push_back({ header + entry + 8, header + offset, size, within });
            }
            found = index;
        });
    if (found)
        found->imageData = imageData;
    return found;
}

} // namespace

void placeFurtherPictures(
    std::span<const Exiv2::byte> original, std::span<Exiv2::byte> written, WalkBudget &budget)
{
    const std::optional<PictureIndex> before = indexOf(original);
    const std::optional<PictureIndex> after = indexOf(written);
    if (!before || !after || before->pictures.size() != after->pictures.size())
        return;
    PlacesAfterWrite places(original, written, budget);
    for (std::size_t i = 0; i < before->pictures.size(); ++i) {
        const FurtherPicture &picture = before->pictures[i];
        if (!picture.found || picture.at < before->imageData)
            continue;
        const std::optional<std::size_t> now = places.place(picture.at, picture.size);
        if (!now || *now < after->header)
            continue;
        Exiv2::ul2Data(
            written.data() + after->pictures[i].offsetAt, uint32_t(*now - after->header), after->order);
    }
}

} // namespace engine::bridge
