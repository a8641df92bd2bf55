// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/ThermalSegments.h"

#include "engine/walks/ByteCursor.h"
#include "engine/walks/JpegSegments.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace engine::bridge {

namespace {

constexpr Exiv2::byte app1 = 0xe1;
constexpr std::string_view signature("FLIR\0", 5);
// The signature, a byte of the format, the part's number and the last
// part's number.
constexpr std::size_t partHeaderSize = 8;
constexpr std::size_t partNumberAt = 6;
constexpr std::size_t lastPartAt = 7;

// The record file opens with its kind, the program that made it, its
// version, where its directory starts and how many entries it holds.
constexpr uint32_t recordFile = 0x46464600; // "FFF\0"
constexpr uint32_t olderRecordFile = 0x41464600; // "AFF\0"
constexpr std::size_t fileHeaderSize = 64;
constexpr std::size_t versionAt = 20;
constexpr std::size_t directoryAt = 24;
constexpr std::size_t countAt = 28;
// The versions readers know: the file's byte order is the one in which
// its version reads as one of them.
constexpr uint32_t firstVersion = 100;
constexpr uint32_t pastVersions = 200;

// An entry: its record's type and subtype, version and number, where the
// record lies in the file and its length, its parent, its object's number
// and a checksum of its bytes.
constexpr std::size_t entrySize = 32;
constexpr std::size_t kindSize = 4;
constexpr std::size_t recordOffsetAt = 12;
constexpr std::size_t recordLengthAt = 16;
constexpr std::size_t checksumAt = 28;
constexpr std::size_t checksumSize = 4;
constexpr uint32_t freeEntry = 0;
constexpr uint32_t gpsRecord = 0x2b;

// The parts joined in their order into the record file, each byte of which
// is read where it lies in the JPEG, so that nothing is copied and a value
// may run from one part into the next.
class RecordFile
{
public:
    void append(std::size_t inFile, std::size_t size)
    {
        m_starts.push_back(m_size);
        m_inFile.push_back(inFile);
        m_size += size;
    }
    std::size_t size() const { return m_size; }

    // A number of width bytes (at most 4) at the offset; none past the
    // file's end.
    std::optional<uint32_t> number(
        const Exiv2::byte *jpeg, std::size_t at, std::size_t width, Exiv2::ByteOrder order) const
    {
        std::array<Exiv2::byte, 4> bytes {};
        if (width > bytes.size() || at > m_size || width > m_size - at)
            return std::nullopt;
        std::size_t read = 0;
        forEachStretch(at, width, [&](std::size_t inFile, std::size_t length) {
            std::memcpy(bytes.data() + read, jpeg + inFile, length);
            read += length;
        });
        uint32_t value = 0;
        for (std::size_t i = 0; i < width; ++i)
            value = value << 8 | bytes[order == Exiv2::littleEndian ? width - 1 - i : i];
        return value;
    }

    // Calls fill with each stretch of the JPEG (its offset and length) that
    // the count bytes from the offset take up, which lie within the file.
    template <typename Fill> void forEachStretch(std::size_t at, std::size_t count, Fill fill) const
    {
        while (count > 0) {
            const std::size_t part = partOf(at);
            const std::size_t end = part + 1 < m_starts.size() ? m_starts[part + 1] : m_size;
            const std::size_t length = std::min(count, end - at);
            fill(m_inFile[part] + (at - m_starts[part]), length);
            at += length;
            count -= length;
        }
    }

private:
    // The last part that starts at or before the offset, which holds it
    // (a part that holds nothing starts where the next does).
    std::size_t partOf(std::size_t at) const
    {
        return std::size_t(std::upper_bound(m_starts.begin(), m_starts.end(), at) - m_starts.begin()) - 1;
    }

    std::vector<std::size_t> m_starts;
    std::vector<std::size_t> m_inFile;
    std::size_t m_size = 0;
};

struct Walk
{
    ThermalSegments found;
    RecordFile file;
    // Where each GPS record's entry starts, and the record's offset and length.
    std::vector<std::size_t> gpsEntries;
    std::vector<std::pair<std::size_t, std::size_t>> gpsRecords;
};

// The parts in the order of their numbers, from 0 to the last, each once
// (cameras write them in that order); a part missing, or numbered twice or
// past the last, leaves the file unknown.
bool joinParts(const Exiv2::byte *data, long size, Walk &walk)
{
    struct Part
    {
        int number;
        std::size_t inFile;
        std::size_t size;
    };
    std::vector<Part> parts;
    int last = -1;
    bool consistent = true;
    forEachJpegSegment(const_cast<Exiv2::byte *>(data), size, [&](const JpegSegment &segment) {
        const ByteCursor payload(segment.payload, segment.payloadSize);
        if (segment.marker != app1 || !payload.startsWith(signature))
            return;
        walk.found.present = true;
        if (std::size_t(segment.payloadSize) < partHeaderSize) {
            consistent = false;
            return;
        }
        const int number = segment.payload[partNumberAt];
        const int lastPart = segment.payload[lastPartAt];
        consistent = consistent && number <= lastPart && (last < 0 || lastPart == last);
        last = lastPart;
        parts.push_back({ number, std::size_t(segment.payload - data) + partHeaderSize,
            std::size_t(segment.payloadSize) - partHeaderSize });
    });
    if (!walk.found.present || !consistent || parts.size() != std::size_t(last + 1))
        return false;
    std::sort(parts.begin(), parts.end(), [](const Part &a, const Part &b) { return a.number < b.number; });
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].number != int(i))
            return false;
        walk.file.append(parts[i].inFile, parts[i].size);
    }
    return true;
}

// The directory and each record lie within the file, apart from the
// header, the directory and one another.
void readDirectory(const Exiv2::byte *data, Walk &walk, WalkBudget &budget)
{
    const RecordFile &file = walk.file;
    if (file.size() < fileHeaderSize)
        return;
    const uint32_t kind = *file.number(data, 0, 4, Exiv2::bigEndian);
    if (kind != recordFile && kind != olderRecordFile)
        return;
    Exiv2::ByteOrder order = Exiv2::bigEndian;
    const auto known = [&](Exiv2::ByteOrder tried) {
        const uint32_t version = *file.number(data, versionAt, 4, tried);
        return version >= firstVersion && version < pastVersions;
    };
    if (!known(order)) {
        order = Exiv2::littleEndian;
        if (!known(order))
            return;
    }
    const uint64_t directory = *file.number(data, directoryAt, 4, order);
    const uint64_t directoryEnd = directory + uint64_t(*file.number(data, countAt, 4, order)) * entrySize;
    if (directory < fileHeaderSize || directoryEnd > file.size() || !budget.spend(directoryEnd - directory))
        return;
    std::vector<std::pair<uint64_t, uint64_t>> records;
    for (uint64_t entry = directory; entry < directoryEnd; entry += entrySize) {
        const uint32_t type = *file.number(data, entry, 2, order);
        if (type == freeEntry)
            continue;
        const uint64_t offset = *file.number(data, entry + recordOffsetAt, 4, order);
        const uint64_t length = *file.number(data, entry + recordLengthAt, 4, order);
        if (offset + length > file.size())
            return;
        if (length > 0) {
            if (offset < fileHeaderSize || (offset < directoryEnd && offset + length > directory))
                return;
            records.emplace_back(offset, offset + length);
        }
        if (type == gpsRecord) {
            walk.gpsEntries.push_back(entry);
            walk.gpsRecords.emplace_back(offset, length);
        }
    }
    std::sort(records.begin(), records.end());
    for (std::size_t i = 1; i < records.size(); ++i) {
        if (records[i].first < records[i - 1].second)
            return;
    }
    walk.found.readable = true;
    walk.found.position = !walk.gpsEntries.empty();
}

Walk walk(const Exiv2::byte *data, long size, WalkBudget &budget)
{
    Walk walk;
    if (joinParts(data, size, walk))
        readDirectory(data, walk, budget);
    return walk;
}

} // namespace

ThermalSegments thermalSegmentsOf(const Exiv2::byte *data, long size, WalkBudget &budget)
{
    return walk(data, size, budget).found;
}

QByteArray withoutThermalPosition(const Exiv2::byte *data, long size, WalkBudget &budget)
{
    const Walk walked = walk(data, size, budget);
    if (!walked.found.position)
        return QByteArray();
    QByteArray emptied(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto zero = [&](std::size_t at, std::size_t count) {
        walked.file.forEachStretch(at, count,
            [&](std::size_t inFile, std::size_t length) { std::memset(emptied.data() + inFile, 0, length); });
    };
    // The entry reads as an unused one: no kind, and no checksum (it was
    // the position's); where the record lies and its length stay.
    for (const std::size_t entry : walked.gpsEntries) {
        zero(entry, kindSize);
        zero(entry + checksumAt, checksumSize);
    }
    for (const auto &[offset, length] : walked.gpsRecords)
        zero(offset, length);
    return emptied;
}

} // namespace engine::bridge
