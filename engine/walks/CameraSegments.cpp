// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/CameraSegments.h"

#include "engine/walks/ByteCursor.h"
#include "engine/walks/WalkBudget.h"

#include <optional>
#include <set>
#include <span>
#include <string_view>
#include <tuple>

namespace engine::bridge {

namespace {

constexpr Exiv2::byte app0 = 0xe0;
constexpr Exiv2::byte app1 = 0xe1;
constexpr Exiv2::byte app7 = 0xe7;
constexpr std::string_view ciffLittleEndian("II\x1a\0\0\0HEAPJPGM", 14);
constexpr std::string_view ciffBigEndian("MM\0\0\0\x1aHEAPJPGM", 14);
constexpr std::size_t ciffHeaderSize = 0x1a;
constexpr std::string_view qvci("QVCI\0", 5);
constexpr std::string_view qualcomm("\x1aQualcomm Camera Attributes", 27);

// A CIFF entry's tag says where its value is (in the heap, or in the entry
// itself) and what it holds; a heap of its own is a further directory.
constexpr uint16_t locationBits = 0xc000;
constexpr uint16_t inHeap = 0x0000;
constexpr uint16_t inEntry = 0x4000;
constexpr uint16_t typeBits = 0x3800;
constexpr uint16_t subHeap = 0x2800;
constexpr uint16_t otherSubHeap = 0x3000;
constexpr std::size_t entrySize = 10;
constexpr int deepestHeap = 8;

// Entries may name one sub-heap many times, at every level: a walk that
// judged it for each would take time growing with the number of ways down
// to it. A heap judged sound at a depth is not judged there again, and the
// entries the walk reads are spent from the file's budget.
struct HeapWalk
{
    Exiv2::ByteOrder order;
    WalkBudget &budget;
    // The heaps judged sound, each with the depth it was judged at.
    std::set<std::tuple<const Exiv2::byte *, std::size_t, int>> sound;
};

// A heap ends with where its directory starts; the directory counts its
// entries, and each value in the heap lies before the directory.
bool isHeap(std::span<const Exiv2::byte> heap, HeapWalk &walk, int depth)
{
    if (depth > deepestHeap || heap.size() < 4)
        return false;
    if (walk.sound.contains({ heap.data(), heap.size(), depth }))
        return true;
    ByteCursor end(heap.subspan(heap.size() - 4));
    const uint32_t directory = *end.uint32(walk.order);
    const std::optional<ByteCursor> at = ByteCursor(heap.first(heap.size() - 4)).at(directory);
    if (!at)
        return false;
    ByteCursor entries = *at;
    const std::optional<uint16_t> count = entries.uint16(walk.order);
    if (!count || entries.remaining() < *count * entrySize || !walk.budget.spend(*count * entrySize))
        return false;
    for (uint16_t i = 0; i < *count; ++i) {
        const uint16_t tag = *entries.uint16(walk.order);
        const uint32_t size = *entries.uint32(walk.order);
        const uint32_t offset = *entries.uint32(walk.order);
        const uint16_t location = tag & locationBits;
        if (location == inEntry)
            continue;
        if (location != inHeap || offset > directory || size > directory - offset)
            return false;
        const uint16_t type = tag & typeBits;
        if ((type == subHeap || type == otherSubHeap) && !isHeap(heap.subspan(offset, size), walk, depth + 1))
            return false;
    }
    walk.sound.insert({ heap.data(), heap.size(), depth });
    return true;
}

} // namespace

CameraSegment cameraSegmentOf(const JpegSegment &segment, WalkBudget &budget)
{
    const ByteCursor payload(segment.payload, segment.payloadSize);
    if (segment.marker == app1)
        return payload.startsWith(qvci) ? CameraSegment::Readable : CameraSegment::None;
    if (segment.marker == app7)
        return payload.startsWith(qualcomm) ? CameraSegment::Readable : CameraSegment::None;
    if (segment.marker != app0)
        return CameraSegment::None;
    const bool little = payload.startsWith(ciffLittleEndian);
    if (!little && !payload.startsWith(ciffBigEndian))
        return CameraSegment::None;
    const std::span<const Exiv2::byte> bytes(segment.payload, std::size_t(segment.payloadSize));
    HeapWalk walk { little ? Exiv2::littleEndian : Exiv2::bigEndian, budget, {} };
    const bool readable = bytes.size() >= ciffHeaderSize && isHeap(bytes.subspan(ciffHeaderSize), walk, 0);
    return readable ? CameraSegment::Readable : CameraSegment::Unreadable;
}

bool holdsCameraSegment(const Exiv2::byte *data, long size, WalkBudget &budget)
{
    bool holds = false;
    forEachJpegSegment(const_cast<Exiv2::byte *>(data), size, [&](const JpegSegment &segment) {
        holds = holds || cameraSegmentOf(segment, budget) == CameraSegment::Readable;
    });
    return holds;
}

QByteArray withoutCameraSegments(Exiv2::byte *data, long size, WalkBudget &budget)
{
    return withoutJpegSegments(data, size, [&](const JpegSegment &segment) {
        return cameraSegmentOf(segment, budget) == CameraSegment::Readable;
    });
}

QString markerName(Exiv2::byte marker)
{
    return QStringLiteral("APP%1").arg(int(marker) - int(app0));
}

} // namespace engine::bridge
