// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/walks/WalkBudget.h"

#include <exiv2/types.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

// Where bytes of a JPEG that lie outside its Exif stand after a write. The
// library copies the picture, and what follows it, as they are, and the
// segments it does not write it copies byte for byte; data another part of
// the file points to there (a camera's preview after the picture, a further
// picture, a value in a segment of the camera's) moves with them.
namespace engine::bridge {

class PlacesAfterWrite
{
public:
    // Reads both files' segments once, spending the budget on their bytes;
    // where it runs out, nothing is found anywhere.
    PlacesAfterWrite(
        std::span<const Exiv2::byte> original, std::span<const Exiv2::byte> written, WalkBudget &budget);

    // Where the size bytes at at in the original stand in the written file;
    // none where the write did not keep them as they were.
    std::optional<std::size_t> place(std::size_t at, std::size_t size);

private:
    struct Segment
    {
        std::size_t start = 0;
        std::size_t length = 0;
        // Which of the original's distinct segments it is, and how many
        // alike came before it; none for a segment the original lacks.
        std::optional<std::size_t> kind;
        std::size_t ordinal = 0;
    };
    struct Segments
    {
        std::vector<Segment> all;
        // Where the image data begins, after the last segment.
        std::size_t imageData = 0;
    };
    Segments segmentsOf(std::span<const Exiv2::byte> file);
    std::optional<std::size_t> kindOf(std::span<const Exiv2::byte> bytes, bool add);

    std::span<const Exiv2::byte> m_original;
    std::span<const Exiv2::byte> m_written;
    WalkBudget &m_budget;
    // The distinct segments, by their bytes' hash.
    std::unordered_multimap<uint64_t, std::size_t> m_kindsByHash;
    std::vector<std::span<const Exiv2::byte>> m_kinds;
    Segments m_before;
    // The written file's segments of each kind, in order.
    std::vector<std::vector<std::size_t>> m_writtenOfKind;
    std::vector<Segment> m_after;
};

} // namespace engine::bridge
