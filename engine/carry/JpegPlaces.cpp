// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/JpegPlaces.h"

#include "engine/walks/JpegSegments.h"

#include <algorithm>
#include <string_view>

namespace engine::bridge {

namespace {

bool same(std::span<const Exiv2::byte> a, std::span<const Exiv2::byte> b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

uint64_t hashOf(std::span<const Exiv2::byte> bytes)
{
    return std::hash<std::string_view>()(
        std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
}

} // namespace

PlacesAfterWrite::PlacesAfterWrite(
    std::span<const Exiv2::byte> original, std::span<const Exiv2::byte> written, WalkBudget &budget)
    : m_original(original)
    , m_written(written)
    , m_budget(budget)
{
    // Each segment is told from the others by its bytes, and each is the
    // first, second, ... of its kind: the write keeps that order.
    m_before = segmentsOf(original);
    std::vector<std::size_t> seen;
    for (Segment &segment : m_before.all) {
        segment.kind = kindOf(original.subspan(segment.start, segment.length), true);
        if (!segment.kind)
            continue;
        seen.resize(m_kinds.size());
        segment.ordinal = seen[*segment.kind]++;
    }
    m_writtenOfKind.resize(m_kinds.size());
    m_after = segmentsOf(written).all;
    for (std::size_t i = 0; i < m_after.size(); ++i) {
        const std::optional<std::size_t> kind
            = kindOf(written.subspan(m_after[i].start, m_after[i].length), false);
        if (kind)
            m_writtenOfKind[*kind].push_back(i);
    }
}

PlacesAfterWrite::Segments PlacesAfterWrite::segmentsOf(std::span<const Exiv2::byte> file)
{
    Segments found;
    forEachJpegSegment(
        const_cast<Exiv2::byte *>(file.data()), long(file.size()), [&](const JpegSegment &segment) {
            found.all.push_back({ std::size_t(segment.start), std::size_t(segment.length), {}, 0 });
            found.imageData = std::size_t(segment.start + segment.length);
        });
    return found;
}

std::optional<std::size_t> PlacesAfterWrite::kindOf(std::span<const Exiv2::byte> bytes, bool add)
{
    // Its bytes are read to hash them, and again to compare them with
    // those of each kind of the same hash.
    if (!m_budget.spend(bytes.size()))
        return std::nullopt;
    const uint64_t hash = hashOf(bytes);
    const auto [first, last] = m_kindsByHash.equal_range(hash);
    for (auto kind = first; kind != last; ++kind) {
        if (!m_budget.spend(bytes.size()))
            return std::nullopt;
        if (same(m_kinds[kind->second], bytes))
            return kind->second;
    }
    if (!add)
        return std::nullopt;
    m_kindsByHash.emplace(hash, m_kinds.size());
    m_kinds.push_back(bytes);
    return m_kinds.size() - 1;
}

std::optional<std::size_t> PlacesAfterWrite::place(std::size_t at, std::size_t size)
{
    if (at > m_original.size() || size > m_original.size() - at || m_budget.spent())
        return std::nullopt;
    std::optional<std::size_t> now;
    if (at >= m_before.imageData && m_before.imageData > 0) {
        // As far from the file's end as it was.
        const int64_t moved = int64_t(m_written.size()) - int64_t(m_original.size());
        if (int64_t(at) + moved >= 0)
            now = std::size_t(int64_t(at) + moved);
    } else {
        // In the segment the write kept byte for byte, the first as often
        // as it was among its like.
        const auto after = std::upper_bound(m_before.all.begin(), m_before.all.end(), at,
            [](std::size_t offset, const Segment &segment) { return offset < segment.start; });
        if (after == m_before.all.begin())
            return std::nullopt;
        const Segment &within = *std::prev(after);
        if (at + size > within.start + within.length || !within.kind)
            return std::nullopt;
        const std::vector<std::size_t> &alike = m_writtenOfKind[*within.kind];
        if (within.ordinal >= alike.size())
            return std::nullopt;
        now = m_after[alike[within.ordinal]].start + (at - within.start);
    }
    if (!now || *now > m_written.size() || size > m_written.size() - *now || !m_budget.spend(size)
        || !same(m_written.subspan(*now, size), m_original.subspan(at, size)))
        return std::nullopt;
    return now;
}

} // namespace engine::bridge
