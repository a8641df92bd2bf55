// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/JpegPlaces.h"

#include "engine/walks/JpegSegments.h"

#include <algorithm>
#include <vector>

namespace engine::bridge {

namespace {

struct Segments
{
    std::vector<std::span<const Exiv2::byte>> all;
    // Where the image data begins, after the last segment.
    std::size_t imageData = 0;
};

Segments segmentsOf(std::span<const Exiv2::byte> file)
{
    Segments found;
    forEachJpegSegment(
        const_cast<Exiv2::byte *>(file.data()), long(file.size()), [&](const JpegSegment &segment) {
            found.all.push_back(file.subspan(std::size_t(segment.start), std::size_t(segment.length)));
            found.imageData = std::size_t(segment.start + segment.length);
        });
    return found;
}

bool same(std::span<const Exiv2::byte> a, std::span<const Exiv2::byte> b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

} // namespace

std::optional<std::size_t> placeAfterWrite(std::span<const Exiv2::byte> original,
    std::span<const Exiv2::byte> written, std::size_t at, std::size_t size)
{
    if (at > original.size() || size > original.size() - at)
        return std::nullopt;
    const std::span<const Exiv2::byte> bytes = original.subspan(at, size);
    const Segments before = segmentsOf(original);
    std::optional<std::size_t> now;
    if (at >= before.imageData && before.imageData > 0) {
        // As far from the file's end as it was.
        const int64_t moved = int64_t(written.size()) - int64_t(original.size());
        if (int64_t(at) + moved >= 0)
            now = std::size_t(int64_t(at) + moved);
    } else {
        // In the segment the write kept byte for byte, the first as often
        // as it was among its like.
        const auto within
            = std::find_if(before.all.begin(), before.all.end(), [&](std::span<const Exiv2::byte> s) {
                  return s.data() <= bytes.data() && bytes.data() + size <= s.data() + s.size();
              });
        if (within == before.all.end())
            return std::nullopt;
        const auto alike = std::count_if(
            before.all.begin(), within, [&](std::span<const Exiv2::byte> s) { return same(s, *within); });
        const Segments after = segmentsOf(written);
        long seen = 0;
        for (std::span<const Exiv2::byte> segment : after.all) {
            if (same(segment, *within) && seen++ == alike) {
                now = std::size_t(segment.data() - written.data())
                    + std::size_t(bytes.data() - within->data());
                break;
            }
        }
    }
    if (!now || *now > written.size() || size > written.size() - *now
        || !same(written.subspan(*now, size), bytes))
        return std::nullopt;
    return now;
}

} // namespace engine::bridge
