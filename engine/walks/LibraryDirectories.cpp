// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/LibraryDirectories.h"

#include "engine/walks/ByteCursor.h"

#include <algorithm>

namespace engine::bridge {

namespace {

constexpr uint16_t stripOffsetsTag = 0x0111;
constexpr uint16_t stripByteCountsTag = 0x0117;
constexpr uint16_t tileOffsetsTag = 0x0144;
constexpr uint16_t tileByteCountsTag = 0x0145;
constexpr uint16_t subImagesTag = 0x014a;
constexpr uint16_t dngPrivateDataTag = 0xc634;

// The offset and length entries of the data a chain directory names.
constexpr std::pair<uint16_t, uint16_t> dataPairs[] = { { stripOffsetsTag, stripByteCountsTag },
    { tileOffsetsTag, tileByteCountsTag }, { thumbnailOffsetTag, thumbnailLengthTag } };

// The i-th of a short or long entry's numbers, where it lies within the
// structure.
std::optional<uint32_t> numberOf(const TiffBytes &tiff, const TiffEntry &entry, uint32_t i)
{
    const std::optional<std::size_t> at = tiff.valueAt(entry);
    if (!at || i >= entry.count)
        return std::nullopt;
    std::optional<ByteCursor> cursor = ByteCursor(tiff.bytes()).at(*at);
    if (entry.type == 3 && cursor && cursor->skip(std::size_t(i) * 2))
        return cursor->uint16(tiff.order());
    if ((entry.type == 4 || entry.type == 13) && cursor && cursor->skip(std::size_t(i) * 4))
        return cursor->uint32(tiff.order());
    return std::nullopt;
}

} // namespace

std::vector<PlacedDirectory> libraryDirectories(const TiffBytes &tiff, WalkBudget &budget)
{
    std::vector<PlacedDirectory> found;
    // Adds the directory at, when it reads as one that no path led to yet;
    // gives its place in the list.
    const auto add
        = [&](const DirectoryPath &path, std::optional<uint32_t> at) -> std::optional<std::size_t> {
        if (!at || *at < 8 || std::any_of(found.begin(), found.end(), [&](const PlacedDirectory &placed) {
                return placed.directory.at == *at;
            }))
            return std::nullopt;
        std::optional<TiffDirectory> directory = tiff.directory(*at);
        if (!directory || !budget.spend(directory->end - directory->at))
            return std::nullopt;
        found.push_back({ path, std::move(*directory) });
        return found.size() - 1;
    };
    const auto pointer = [&](std::size_t in, uint16_t tag) -> std::optional<uint32_t> {
        const TiffEntry *entry = found[in].directory.find(tag);
        return entry ? tiff.number(*entry) : std::nullopt;
    };
    std::optional<uint32_t> next = tiff.firstDirectory();
    for (std::uint8_t page = 0; page < chainTheLibraryReads; ++page) {
        const std::optional<std::size_t> chain = add({ DirectoryPath::Branch::Chain, page }, next);
        if (!chain)
            break;
        next = found[*chain].directory.next;
        if (page != 0)
            continue;
        if (const std::optional<std::size_t> exif
            = add({ DirectoryPath::Branch::Exif, 0 }, pointer(*chain, exifPointerTag)))
            add({ DirectoryPath::Branch::Interoperability, 0 }, pointer(*exif, interoperabilityPointerTag));
        add({ DirectoryPath::Branch::Gps, 0 }, pointer(*chain, gpsPointerTag));
    }
    return found;
}

const TiffDirectory *directoryAt(const std::vector<PlacedDirectory> &directories, const DirectoryPath &path)
{
    const auto found = std::find_if(directories.begin(), directories.end(),
        [&](const PlacedDirectory &placed) { return placed.path == path; });
    return found != directories.end() ? &found->directory : nullptr;
}

std::optional<DirectoryPath> pointedPath(const DirectoryPath &from, uint16_t tag)
{
    using Branch = DirectoryPath::Branch;
    if (from == DirectoryPath { Branch::Chain, 0 } && tag == exifPointerTag)
        return DirectoryPath { Branch::Exif, 0 };
    if (from == DirectoryPath { Branch::Chain, 0 } && tag == gpsPointerTag)
        return DirectoryPath { Branch::Gps, 0 };
    if (from.branch == Branch::Exif && tag == interoperabilityPointerTag)
        return DirectoryPath { Branch::Interoperability, 0 };
    return std::nullopt;
}

bool namesLaidOutData(const DirectoryPath &in, uint16_t tag)
{
    switch (in.branch) {
    case DirectoryPath::Branch::Chain:
        return std::any_of(std::begin(dataPairs), std::end(dataPairs),
                   [&](const auto &pair) { return pair.first == tag || pair.second == tag; })
            || tag == subImagesTag || (in.page == 0 && tag == dngPrivateDataTag);
    case DirectoryPath::Branch::Exif:
        return tag == makerNoteTiffTag;
    default:
        return false;
    }
}

std::optional<std::vector<ByteRange>> rangesInUse(
    const TiffBytes &tiff, const std::vector<PlacedDirectory> &directories, WalkBudget &budget)
{
    std::vector<ByteRange> ranges;
    const std::size_t size = tiff.bytes().size();
    const auto use = [&](uint64_t at, uint64_t count) {
        if (count > 0 && at < size && count <= size - at)
            ranges.push_back({ std::size_t(at), std::size_t(at + count) });
    };
    for (const PlacedDirectory &placed : directories) {
        const TiffDirectory &directory = placed.directory;
        if (!budget.spend(directory.end - directory.at))
            return std::nullopt;
        use(directory.at, directory.end - directory.at);
        for (const TiffEntry &entry : directory.entries) {
            if (entry.size && !entry.inlined())
                use(entry.field, *entry.size);
        }
        if (placed.path.branch != DirectoryPath::Branch::Chain)
            continue;
        for (const auto &[offsetTag, lengthTag] : dataPairs) {
            const TiffEntry *offsets = directory.find(offsetTag);
            const TiffEntry *lengths = directory.find(lengthTag);
            if (!offsets || !lengths)
                continue;
            const uint32_t count = std::min(offsets->count, lengths->count);
            for (uint32_t i = 0; i < count; ++i) {
                if (!budget.spend(8))
                    return std::nullopt;
                const std::optional<uint32_t> at = numberOf(tiff, *offsets, i);
                const std::optional<uint32_t> length = numberOf(tiff, *lengths, i);
                if (!at || !length)
                    break;
                use(*at, *length);
            }
        }
    }
    return ranges;
}

RangesInUse::RangesInUse(std::vector<ByteRange> ranges)
    : m_ranges(std::move(ranges))
{
    std::sort(m_ranges.begin(), m_ranges.end(), [](const ByteRange &a, const ByteRange &b) {
        return a.start != b.start ? a.start < b.start : a.end < b.end;
    });
    m_reach.reserve(m_ranges.size());
    std::size_t reach = 0;
    for (const ByteRange &range : m_ranges) {
        reach = std::max(reach, range.end);
        m_reach.push_back(reach);
    }
}

bool RangesInUse::alone(ByteRange range) const
{
    if (range.end <= range.start)
        return false;
    // The ranges that start within it; those before it reach into it when
    // the furthest of them ends past its start.
    const auto first = std::lower_bound(m_ranges.begin(), m_ranges.end(), range.start,
        [](const ByteRange &r, std::size_t at) { return r.start < at; });
    const auto last = std::lower_bound(
        first, m_ranges.end(), range.end, [](const ByteRange &r, std::size_t at) { return r.start < at; });
    if (last - first != 1 || first->start != range.start || first->end != range.end)
        return false;
    const std::size_t before = std::size_t(first - m_ranges.begin());
    return before == 0 || m_reach[before - 1] <= range.start;
}

} // namespace engine::bridge
