// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/JpegTrailers.h"

#include "engine/walks/ByteCursor.h"
#include "engine/walks/WalkBudget.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace engine::bridge {

namespace {

constexpr std::string_view axsBigEndian("AXS!", 4);
constexpr std::string_view axsLittleEndian("AXS*", 4);
constexpr std::size_t axsFooterSize = 12;
constexpr std::size_t axsHeaderSize = 12;
constexpr std::size_t axsEntrySize = 12;
constexpr std::string_view iptcEntry("IPTC", 4);
constexpr uint32_t recordMark = 0xa1b2c3d4;
constexpr std::size_t recordFooterSize = 10;
constexpr uint16_t iptcRecord = 1;
constexpr std::size_t datasetHeaderSize = 5;
constexpr std::string_view cameraFooter("SEFT", 4);
constexpr std::string_view cameraDirectory("SEFH", 4);
constexpr std::size_t cameraFooterSize = 8;
constexpr std::size_t cameraEntrySize = 12;

// Whether the bytes ahead of end end as a trailer of that kind, and where
// it begins; none when it ends as one but cannot be read.
struct Trailer
{
    bool found = false;
    std::optional<std::size_t> start;
};

// The datasets of an IPTC block; only zeros may follow the last.
void readIptc(std::span<const Exiv2::byte> block, JpegTrailers &trailers)
{
    const std::vector<StoredDataset> datasets = leadingDatasets(block);
    std::size_t used = 0;
    for (const StoredDataset &dataset : datasets)
        used += datasetHeaderSize + dataset.bytes.size();
    if (std::any_of(block.begin() + std::ptrdiff_t(used), block.end(), [](Exiv2::byte b) { return b != 0; }))
        trailers.unreadable = true;
    trailers.iptc.insert(trailers.iptc.end(), datasets.begin(), datasets.end());
}

struct AxsEntry
{
    std::span<const Exiv2::byte> name;
    std::span<const Exiv2::byte> data;
};

// The entries of an AXS trailer that begins at start and whose footer is
// at footer; none when its header does not parse, an entry lies outside or
// the budget runs out.
std::optional<std::vector<AxsEntry>> axsEntries(std::span<const Exiv2::byte> file, std::size_t start,
    std::size_t footer, uint32_t recordedStart, std::string_view mark, Exiv2::ByteOrder order,
    WalkBudget &budget)
{
    const std::span<const Exiv2::byte> trailer = file.subspan(start, footer - start);
    ByteCursor header(trailer);
    if (!header.startsWith(mark) || !header.skip(mark.size() + 2))
        return std::nullopt;
    const std::optional<uint16_t> count = header.uint16(order);
    if (!count || !header.skip(4) || header.remaining() < *count * axsEntrySize)
        return std::nullopt;
    const std::size_t entriesEnd = axsHeaderSize + *count * axsEntrySize;
    std::vector<AxsEntry> entries;
    for (uint16_t i = 0; i < *count; ++i) {
        if (!budget.spend(axsEntrySize))
            return std::nullopt;
        const std::span<const Exiv2::byte> name = *header.bytes(4);
        const uint32_t size = *header.uint32(order);
        const uint32_t offset = *header.uint32(order);
        if (offset < recordedStart)
            return std::nullopt;
        const std::size_t at = offset - recordedStart;
        if (at < entriesEnd || at > trailer.size() || size > trailer.size() - at)
            return std::nullopt;
        entries.push_back({ name, trailer.subspan(at, size) });
    }
    return entries;
}

// Where the footer says the trailer begins, or else the nearest mark before
// it that begins one: marks that do not can each count up to 65,535
// entries running to the footer, which the budget, spent on every entry
// read from any of them and on the IPTC read, keeps from growing with the
// square of the trailer's size.
Trailer readAxs(std::span<const Exiv2::byte> file, std::size_t floor, std::size_t end, JpegTrailers &trailers,
    WalkBudget &budget)
{
    if (end - floor < axsHeaderSize + axsFooterSize)
        return {};
    const std::size_t footer = end - axsFooterSize;
    ByteCursor tail(file.subspan(footer, axsFooterSize));
    const bool big = tail.startsWith(axsBigEndian);
    if (!big && !tail.startsWith(axsLittleEndian))
        return {};
    const std::string_view mark = big ? axsBigEndian : axsLittleEndian;
    const Exiv2::ByteOrder order = big ? Exiv2::bigEndian : Exiv2::littleEndian;
    tail.skip(mark.size());
    const uint32_t recordedStart = *tail.uint32(order);
    std::size_t start = recordedStart;
    std::optional<std::vector<AxsEntry>> entries;
    if (recordedStart >= floor && recordedStart < footer)
        entries = axsEntries(file, start, footer, recordedStart, mark, order, budget);
    for (std::size_t at = footer - axsHeaderSize + 1; !entries && !budget.spent() && at-- > floor;) {
        if (ByteCursor(file.subspan(at, mark.size())).startsWith(mark)) {
            start = at;
            entries = axsEntries(file, start, footer, recordedStart, mark, order, budget);
        }
    }
    if (!entries)
        return { true, std::nullopt };
    for (const AxsEntry &entry : *entries) {
        if (!ByteCursor(entry.name).startsWith(iptcEntry))
            continue;
        if (!budget.spend(entry.data.size()))
            return { true, std::nullopt };
        readIptc(entry.data, trailers);
    }
    return { true, start };
}

Trailer readRecords(
    std::span<const Exiv2::byte> file, std::size_t floor, std::size_t end, JpegTrailers &trailers)
{
    if (end - floor < recordFooterSize)
        return {};
    ByteCursor footer(file.subspan(end - recordFooterSize, recordFooterSize));
    const uint16_t kind = *footer.uint16();
    const uint32_t size = *footer.uint32();
    if (*footer.uint32() != recordMark)
        return {};
    if (size < recordFooterSize || size > end - floor)
        return { true, std::nullopt };
    const std::size_t start = end - size;
    if (kind == iptcRecord)
        readIptc(file.subspan(start, size - recordFooterSize), trailers);
    return { true, start };
}

Trailer readCameraTrailer(
    std::span<const Exiv2::byte> file, std::size_t floor, std::size_t end, JpegTrailers &trailers)
{
    if (end - floor < cameraFooterSize)
        return {};
    ByteCursor footer(file.subspan(end - cameraFooterSize, cameraFooterSize));
    const uint32_t directorySize = *footer.uint32(Exiv2::littleEndian);
    if (!footer.startsWith(cameraFooter))
        return {};
    const std::size_t room = end - cameraFooterSize - floor;
    if (directorySize > room)
        return { true, std::nullopt };
    const std::size_t directory = end - cameraFooterSize - directorySize;
    ByteCursor entries(file.subspan(directory, directorySize));
    if (!entries.startsWith(cameraDirectory) || !entries.skip(cameraDirectory.size() + 4))
        return { true, std::nullopt };
    const std::optional<uint32_t> count = entries.uint32(Exiv2::littleEndian);
    if (!count || entries.remaining() / cameraEntrySize < *count)
        return { true, std::nullopt };
    // The trailer begins with the entry farthest back.
    std::size_t start = directory;
    for (uint32_t i = 0; i < *count; ++i) {
        entries.skip(4);
        const uint32_t back = *entries.uint32(Exiv2::littleEndian);
        const uint32_t size = *entries.uint32(Exiv2::littleEndian);
        if (back > directory - floor || size > back)
            return { true, std::nullopt };
        start = std::min(start, directory - back);
    }
    trailers.cameraData = true;
    return { true, start };
}

} // namespace

JpegTrailers jpegTrailers(std::span<const Exiv2::byte> file, std::size_t imageStart, WalkBudget &budget)
{
    JpegTrailers trailers;
    const std::size_t floor = std::min(imageStart, file.size());
    for (std::size_t end = file.size();;) {
        Trailer trailer = readAxs(file, floor, end, trailers, budget);
        if (!trailer.found)
            trailer = readRecords(file, floor, end, trailers);
        if (!trailer.found)
            trailer = readCameraTrailer(file, floor, end, trailers);
        if (!trailer.found)
            break;
        if (!trailer.start) {
            trailers.unreadable = true;
            break;
        }
        end = *trailer.start;
    }
    return trailers;
}

} // namespace engine::bridge
