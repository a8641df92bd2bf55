// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/MakerNoteWalk.h"

#include "engine/walks/ByteCursor.h"
#include "engine/walks/WalkBudget.h"

#include <algorithm>
#include <set>

namespace engine::bridge {

namespace {

// What a note may point to past its own count and still be carried with
// it; a camera keeps its previews right after the note, not megabytes on.
constexpr std::size_t mostBeyondCount = std::size_t(4) << 20;
constexpr std::size_t mostDirectories = 64;
constexpr int deepestDirectory = 3;
// How much of data that gives its own length is compared after a write.
constexpr std::size_t comparedUnmeasured = 4096;

bool isPointer(const TiffEntry &entry)
{
    return (entry.type == 4 || entry.type == 9 || entry.type == 13) && entry.count == 1;
}

// One reading of the note in one byte order, with its offsets counting
// from one base. It spends the file's budget on the directories it reads,
// each read once, and never on the values it only points at: those the
// check after a write spends on as it compares them.
class Walk
{
public:
    Walk(const TiffBytes &tiff, const StructurePlace &place, const MakerNoteLayout &layout, std::size_t start,
        std::size_t count, int64_t base, OffsetBase counting, WalkBudget &budget)
        : m_tiff(tiff)
        , m_place(place)
        , m_layout(layout)
        , m_start(start)
        , m_count(count)
        , m_base(base)
        , m_budget(budget)
    {
        m_found.reading.layout = &layout;
        m_found.reading.counting = counting;
        m_found.reading.base = base;
        m_found.reading.order = tiff.order();
        m_found.reading.extent = { start, count, start + count, {} };
    }

    // Whether the note's first directory reads plausibly at directoryAt:
    // its entries within the note, of types TIFF knows; then walks it and
    // every directory and value it names.
    bool read(std::size_t directoryAt)
    {
        const std::optional<TiffDirectory> first = m_tiff.directory(directoryAt, m_layout.nextOffset);
        if (!first || first->at < m_start || first->end > m_start + m_count + (m_layout.nextOffset ? 4 : 0)
            || !plausible(*first) || (!m_layout.known() && !asTiffHasIt(*first)))
            return false;
        // Some notes' values start where a next directory's offset would.
        m_entries = { first->at, first->at + 2 + first->entries.size() * 12 };
        readDirectory(*first, 0);
        if (m_layout.footer && m_count >= 8) {
            const auto footer = m_tiff.slice(m_start + m_count - 8, 8);
            if (footer && TiffBytes::withHeader(*footer))
                offsetAt(m_start + m_count - 4, false);
        }
        return true;
    }

    // Whether every value lies within the note's own count, past its
    // first directory's entries.
    bool withinCount() const
    {
        return m_found.beyond == 0 && !m_found.before && !m_found.unmeasuredOutside
            && !m_found.overlapsEntries && m_found.dangling == 0 && !m_found.outsideTheExif
            && !m_budget.spent();
    }
    // Whether the note can be carried with what it points to.
    bool carriable() const
    {
        return !m_found.before && !m_found.unmeasuredOutside && m_found.beyond <= mostBeyondCount
            && !m_budget.spent();
    }

    std::size_t dangling() const { return m_found.dangling; }
    // The bytes its entries name within the structure, as often as they
    // name them, each directory read once: what a reader that copies each
    // value copies.
    uint64_t named() const { return m_named; }
    // Whether some value lies where no value of the note can: before it,
    // over its entries, or outside the structure. Values past its count
    // are the previews some cameras keep after it.
    // Whether most of its values are misplaced, as all are where its
    // offsets count from elsewhere than this reading takes; one entry
    // pointing astray is damage, not another base.
    bool mostlyMisplaced() const { return m_found.misplacedValues * 2 > m_found.outOfLine; }

    MakerNoteReading take(bool asItsLayoutSays)
    {
        // Entries of directories that overlap name the same offsets.
        for (std::vector<std::size_t> *offsets : { &m_found.reading.offsets, &m_found.reading.fileOffsets }) {
            std::sort(offsets->begin(), offsets->end());
            offsets->erase(std::unique(offsets->begin(), offsets->end()), offsets->end());
        }
        m_found.reading.whole = m_found.unreached == 0 && m_found.dangling == 0 && !m_found.before
            && !m_found.unmeasuredOutside;
        m_found.reading.asItsLayoutSays = asItsLayoutSays;
        return std::move(m_found.reading);
    }

private:
    // A directory read in the wrong byte order, or at the wrong place,
    // counts more entries than the note holds or gives them types TIFF does
    // not have; a camera's own note now and then holds an entry of no type,
    // never many.
    static bool plausible(const TiffDirectory &directory)
    {
        const auto unknown = std::count_if(directory.entries.begin(), directory.entries.end(),
            [](const TiffEntry &entry) { return !entry.size.has_value(); });
        return std::size_t(unknown) * 8 <= directory.entries.size();
    }

    // The directory of a maker no layout knows must read as TIFF's rules
    // have it: every entry of a known type, in the order of its tags.
    static bool asTiffHasIt(const TiffDirectory &directory)
    {
        const auto &entries = directory.entries;
        return entries.size() >= 2 && std::all_of(entries.begin(), entries.end(), [](const TiffEntry &e) {
            return e.size.has_value();
        }) && std::adjacent_find(entries.begin(), entries.end(), [](const TiffEntry &a, const TiffEntry &b) {
            return a.tag >= b.tag;
        }) == entries.end();
    }

    // Where a value lies: past the file's end, where no reader finds
    // anything; in the file but outside the structure; before the note; or
    // where the note can carry it.
    enum class Place { Nowhere, Dangling, Before, Within, InFile };

    // Whether [at, at + size) runs past the file's end, where a reader
    // finds no whole value.
    bool pastTheFile(uint64_t at, uint64_t size = 1) const
    {
        return at >= m_place.fileEnd || size > m_place.fileEnd - at;
    }

    // Takes the span [at, at + size) into the note's extent.
    Place take(uint64_t at, uint64_t size)
    {
        const uint64_t structure = m_tiff.bytes().size();
        if (at > structure || size > structure - at) {
            if (pastTheFile(at, size))
                return Place::Nowhere;
            if (!m_place.file.empty() && at >= structure) {
                m_found.outsideTheExif = true;
                return Place::InFile;
            }
            ++m_found.dangling;
            return Place::Dangling;
        }
        if (at < m_start) {
            m_found.before = true;
            return Place::Before;
        }
        const uint64_t end = at + size;
        const std::size_t counted = m_start + m_count;
        if (end > counted) {
            const std::size_t from = std::size_t(std::max<uint64_t>(at, counted));
            m_found.reading.extent.beyondCount.emplace_back(from, std::size_t(end));
            m_found.reading.extent.end = std::max(m_found.reading.extent.end, std::size_t(end));
            m_found.beyond = m_found.reading.extent.end - counted;
        }
        return Place::Within;
    }

    void offsetAt(std::size_t fieldAt, bool fromFileStart)
    {
        std::vector<std::size_t> &offsets
            = fromFileStart ? m_found.reading.fileOffsets : m_found.reading.offsets;
        offsets.push_back(fieldAt - m_start);
    }

    void value(std::size_t directory, const TiffEntry &entry, std::span<const Exiv2::byte> bytes)
    {
        m_found.reading.values.push_back({ directory, entry.tag, entry.type, entry.count, bytes });
    }

    // An entry whose value was not found: it is not compared, and it may
    // lie anywhere.
    void unreached(std::size_t directory, const TiffEntry &entry)
    {
        ++m_found.unreached;
        value(directory, entry, {});
    }

    const DataPointer *pointerOf(uint16_t tag) const
    {
        const auto found = std::find_if(m_layout.pointers.begin(), m_layout.pointers.end(),
            [&](const DataPointer &pointer) { return pointer.offsetTag == tag; });
        return found != m_layout.pointers.end() ? &*found : nullptr;
    }

    void readDirectory(const TiffDirectory &directory, int depth)
    {
        std::vector<std::size_t> &visited = m_found.visited;
        if (std::find(visited.begin(), visited.end(), directory.at) != visited.end())
            return;
        visited.push_back(directory.at);
        if (visited.size() > mostDirectories || !m_budget.spend(directory.end - directory.at))
            return;
        const std::size_t ordinal = m_found.visited.size() - 1;
        take(directory.at, directory.end - directory.at);
        for (const TiffEntry &entry : directory.entries) {
            if (m_budget.spent())
                return;
            if (const SubDirectory *sub = subDirectoryOf(entry.tag); sub && depth < deepestDirectory) {
                readSubDirectory(entry, *sub, depth, ordinal);
                continue;
            }
            if (const DataPointer *pointer = pointerOf(entry.tag); pointer && isPointer(entry)) {
                readData(directory, entry, *pointer, ordinal);
                continue;
            }
            readValue(entry, ordinal);
        }
    }

    // An entry's own value: in its field, or where its offset says. One
    // of no type has no value a reader finds; only its field travels.
    void readValue(const TiffEntry &entry, std::size_t ordinal)
    {
        if (!entry.size || entry.inlined()) {
            value(ordinal, entry, *m_tiff.slice(entry.fieldAt(), entry.size ? *entry.size : 4));
            return;
        }
        const int64_t at = valueStart(entry);
        const bool overEntries
            = at >= 0 && uint64_t(at) < m_entries.second && uint64_t(at) + *entry.size > m_entries.first;
        m_found.overlapsEntries = m_found.overlapsEntries || overEntries;
        ++m_found.outOfLine;
        const Place place = found(ordinal, entry, at, *entry.size);
        if (place == Place::InFile)
            outside(entry, at, *entry.size, false);
        else
            offsetAt(entry.fieldAt(), false);
        if (overEntries || place == Place::Before || place == Place::Dangling)
            ++m_found.misplacedValues;
    }

    // A value outside the structure, whose offset is set after the write.
    void outside(const TiffEntry &entry, int64_t at, std::size_t size, bool fromFileStart)
    {
        using Counting = OutsideValue::Counting;
        const OffsetBase counting = m_found.reading.counting;
        const int64_t from = fromFileStart      ? -int64_t(m_place.offsetInFile)
            : counting == OffsetBase::EachEntry ? int64_t(entry.at)
                                                : m_base;
        const Counting counts = fromFileStart    ? Counting::FileStart
            : counting == OffsetBase::TiffHeader ? Counting::Fixed
                                                 : Counting::InNote;
        m_found.reading.outside.push_back({ entry.fieldAt() - m_start, at, size, from, counts });
    }

    // The value at [at, at + size), which a reading of the written note
    // must find there as well: nothing where it lies past the file's end.
    Place found(std::size_t ordinal, const TiffEntry &entry, int64_t at, uint64_t size)
    {
        if (at >= 0 && m_tiff.slice(uint64_t(at), size))
            m_named += size;
        const Place place = at >= 0 ? take(uint64_t(at), size) : Place::Before;
        if (place == Place::Within)
            value(ordinal, entry, *m_tiff.slice(uint64_t(at), size));
        else if (place == Place::InFile)
            value(ordinal, entry, m_place.file.subspan(m_place.offsetInFile + std::size_t(at), size));
        else if (place == Place::Nowhere)
            value(ordinal, entry, {});
        else
            unreached(ordinal, entry);
        return place;
    }

    // Where the value an entry's offset names starts.
    int64_t valueStart(const TiffEntry &entry) const
    {
        const int64_t from = m_found.reading.counting == OffsetBase::EachEntry ? int64_t(entry.at) : m_base;
        return from + int64_t(entry.field);
    }

    const SubDirectory *subDirectoryOf(uint16_t tag) const
    {
        const auto found = std::find_if(m_layout.directories.begin(), m_layout.directories.end(),
            [&](const SubDirectory &sub) { return sub.tag == tag; });
        return found != m_layout.directories.end() ? &*found : nullptr;
    }

    void readSubDirectory(const TiffEntry &entry, const SubDirectory &sub, int depth, std::size_t ordinal)
    {
        if (isPointer(entry) && entry.field == 0) {
            value(ordinal, entry, *m_tiff.slice(entry.fieldAt(), 4));
            return;
        }
        int64_t at = valueStart(entry);
        if (!isPointer(entry)) {
            // The directory's own bytes stand as the entry's value, after
            // its header.
            const std::optional<ByteCursor> blob = entry.size && !entry.inlined() && at >= 0
                ? ByteCursor(m_tiff.bytes()).at(std::size_t(at))
                : std::nullopt;
            if (!blob || !blob->startsWith(sub.header)) {
                readValue(entry, ordinal);
                return;
            }
            at += int64_t(sub.at);
        }
        const std::optional<TiffDirectory> directory
            = at >= 0 ? m_tiff.directory(std::size_t(at), m_layout.nextOffset) : std::nullopt;
        if (!directory || !plausible(*directory)) {
            if (isPointer(entry)) {
                // Where no directory reads at all, no reader finds one,
                // before the write or after it; one that reads, though
                // not plausibly, some reader may take entries from.
                offsetAt(entry.fieldAt(), false);
                if (directory)
                    unreached(ordinal, entry);
                else
                    value(ordinal, entry, {});
            } else {
                readValue(entry, ordinal);
            }
            return;
        }
        offsetAt(entry.fieldAt(), false);
        if (!isPointer(entry)) {
            take(uint64_t(at) - sub.at, *entry.size);
            m_named += *entry.size;
        }
        value(ordinal, entry, {});
        // Some models' directories count their offsets otherwise (from
        // their own start): one whose values do not lie where the note's
        // offsets say is carried as its bytes, with nothing in it moved;
        // so is one that another entry named and that was gone back from,
        // without a second walk.
        const auto asItsBytes = [&] {
            if (isPointer(entry))
                ++m_found.unreached;
            else
                m_found.reading.values.back().bytes = *m_tiff.slice(uint64_t(at) - sub.at, *entry.size);
        };
        if (m_goneBack.contains(directory->at)) {
            asItsBytes();
            return;
        }
        const Mark before = mark();
        readDirectory(*directory, depth + 1);
        if (m_found.before && !before.tally.before) {
            goBack(before);
            m_goneBack.insert(directory->at);
            asItsBytes();
        }
    }

    void readData(
        const TiffDirectory &in, const TiffEntry &entry, const DataPointer &pointer, std::size_t ordinal)
    {
        if (entry.field == 0) {
            value(ordinal, entry, *m_tiff.slice(entry.fieldAt(), 4));
            return;
        }
        const int64_t at = pointer.fromFileStart ? int64_t(entry.field) - int64_t(m_place.offsetInFile)
                                                 : valueStart(entry);
        const TiffEntry *lengthEntry = pointer.lengthTag ? in.find(pointer.lengthTag) : nullptr;
        // No length, or none given, is no data.
        const uint32_t length = lengthEntry ? m_tiff.number(*lengthEntry).value_or(0) : 0;
        if (length > 0 && at >= 0) {
            // Data of a known length goes where its offset names it, in the
            // note or outside the structure.
            if (found(ordinal, entry, at, length) == Place::InFile)
                outside(entry, at, length, pointer.fromFileStart);
            else
                offsetAt(entry.fieldAt(), pointer.fromFileStart);
            return;
        }
        offsetAt(entry.fieldAt(), pointer.fromFileStart);
        if (at < 0) {
            m_found.before = true;
            unreached(ordinal, entry);
            return;
        }
        if (pointer.lengthTag && length == 0) {
            value(ordinal, entry, {});
            return;
        }
        if (!pointer.lengthTag) {
            // Data that gives its own length must lie within the note.
            const std::size_t counted = m_start + m_count;
            if (uint64_t(at) > m_tiff.bytes().size()) {
                if (pastTheFile(uint64_t(at))) {
                    value(ordinal, entry, {});
                    return;
                }
                ++m_found.dangling;
                unreached(ordinal, entry);
                return;
            }
            if (uint64_t(at) < m_start || uint64_t(at) >= counted) {
                m_found.unmeasuredOutside = true;
                unreached(ordinal, entry);
                return;
            }
            value(ordinal, entry,
                *m_tiff.slice(uint64_t(at), std::min(counted - std::size_t(at), comparedUnmeasured)));
        }
    }

    const TiffBytes &m_tiff;
    const StructurePlace &m_place;
    const MakerNoteLayout &m_layout;
    std::size_t m_start;
    std::size_t m_count;
    int64_t m_base;
    // The first directory's entries, which no value of a sound reading
    // overlaps.
    std::pair<std::size_t, std::size_t> m_entries;
    // What the walk found so far.
    struct Tally
    {
        std::size_t beyond = 0;
        // Values that lie outside the structure, which no reader finds.
        std::size_t dangling = 0;
        // Entries whose value or directory was not found.
        std::size_t unreached = 0;
        // Values outside their entries, and those of them that lie where
        // no value of the note can.
        std::size_t outOfLine = 0;
        std::size_t misplacedValues = 0;
        bool before = false;
        bool unmeasuredOutside = false;
        bool overlapsEntries = false;
        bool outsideTheExif = false;
    };
    struct Found : Tally
    {
        MakerNoteReading reading;
        // The directories read, in order: no more than mostDirectories.
        std::vector<std::size_t> visited;
    } m_found;
    // The directories gone back from, which no entry walks again.
    std::set<std::size_t> m_goneBack;
    uint64_t m_named = 0;
    WalkBudget &m_budget;

    // How far the walk had come. Going back drops what it found since from
    // the end of each list: a copy of all it had found, taken at each
    // directory, would cost as much as every entry read before it. What
    // the walk spent stays spent.
    struct Mark
    {
        Tally tally;
        std::size_t values = 0;
        std::size_t offsets = 0;
        std::size_t fileOffsets = 0;
        std::size_t outside = 0;
        std::size_t beyondCount = 0;
        std::size_t end = 0;
        std::size_t visited = 0;
    };

    Mark mark() const
    {
        const MakerNoteReading &reading = m_found.reading;
        return { m_found, reading.values.size(), reading.offsets.size(), reading.fileOffsets.size(),
            reading.outside.size(), reading.extent.beyondCount.size(), reading.extent.end,
            m_found.visited.size() };
    }

    void goBack(const Mark &mark)
    {
        MakerNoteReading &reading = m_found.reading;
        static_cast<Tally &>(m_found) = mark.tally;
        reading.values.resize(mark.values);
        reading.offsets.resize(mark.offsets);
        reading.fileOffsets.resize(mark.fileOffsets);
        reading.outside.resize(mark.outside);
        reading.extent.beyondCount.resize(mark.beyondCount);
        reading.extent.end = mark.end;
        m_found.visited.resize(mark.visited);
    }
};

std::optional<Exiv2::ByteOrder> markedOrder(const TiffBytes &exif, std::size_t at)
{
    const std::optional<std::span<const Exiv2::byte>> mark = exif.slice(at, 2);
    if (!mark)
        return std::nullopt;
    if ((*mark)[0] == 'I' && (*mark)[1] == 'I')
        return Exiv2::littleEndian;
    if ((*mark)[0] == 'M' && (*mark)[1] == 'M')
        return Exiv2::bigEndian;
    return std::nullopt;
}

Exiv2::ByteOrder otherOrder(Exiv2::ByteOrder order)
{
    return order == Exiv2::littleEndian ? Exiv2::bigEndian : Exiv2::littleEndian;
}

// A note read as its bytes only: whole when they are all it holds.
MakerNoteReading unread(std::size_t start, std::size_t count, const TiffBytes &exif, bool whole)
{
    MakerNoteReading reading;
    reading.extent = { start, count, start + count, {} };
    reading.order = exif.order();
    reading.values.push_back({ 0, 0, 7, uint32_t(count), *exif.slice(start, count) });
    reading.whole = whole;
    return reading;
}

// Where the note's directory starts, the byte order its layout gives it,
// and where its offsets count from as its layout says.
struct Origin
{
    Exiv2::ByteOrder order;
    std::size_t directory;
    int64_t base;
};

std::optional<Origin> originOf(const TiffBytes &exif, const MakerNoteLayout &layout, std::size_t start)
{
    Origin origin { exif.order(), start + layout.at, 0 };
    switch (layout.order) {
    case NoteByteOrder::File:
        break;
    case NoteByteOrder::Marked:
        origin.order = markedOrder(exif, start + layout.orderAt).value_or(exif.order());
        break;
    case NoteByteOrder::LittleEndian:
        origin.order = Exiv2::littleEndian;
        break;
    }
    switch (layout.directoryStart) {
    case DirectoryStart::Fixed:
        break;
    case DirectoryStart::OffsetAtEight: {
        const std::optional<uint32_t> at = TiffBytes(exif.bytes(), Exiv2::littleEndian).uint32At(start + 8);
        if (!at)
            return std::nullopt;
        origin.directory = start + *at;
        break;
    }
    case DirectoryStart::InnerTiffHeader: {
        const std::optional<std::span<const Exiv2::byte>> header = exif.slice(start + layout.at, 8);
        const std::optional<TiffBytes> inner = header ? TiffBytes::withHeader(*header) : std::nullopt;
        if (!inner)
            return std::nullopt;
        origin.order = inner->order();
        origin.directory = start + layout.at + *inner->firstDirectory();
        break;
    }
    }
    switch (layout.base) {
    case OffsetBase::TiffHeader:
    case OffsetBase::EachEntry:
        break;
    case OffsetBase::NoteStart:
        origin.base = int64_t(start);
        break;
    case OffsetBase::InnerTiffHeader:
        origin.base = int64_t(start + layout.at);
        break;
    }
    return origin;
}

// The constants a note moved without its offsets may be off by: those that
// put its first value right after its directory, with or without a next
// directory's offset.
std::vector<int64_t> corrections(const TiffBytes &tiff, std::size_t directoryAt)
{
    const std::optional<TiffDirectory> directory = tiff.directory(directoryAt);
    if (!directory)
        return {};
    std::optional<uint32_t> first;
    for (const TiffEntry &entry : directory->entries) {
        if (entry.size && !entry.inlined())
            first = std::min(first.value_or(entry.field), entry.field);
    }
    if (!first)
        return {};
    return { int64_t(directory->end) - int64_t(*first), int64_t(directory->end) - 4 - int64_t(*first) };
}

// The constant a note was moved by without its offsets, as its footer
// tells: the TIFF header mark of its order and where it stood.
std::optional<int64_t> footerCorrection(
    const TiffBytes &tiff, const MakerNoteLayout &layout, std::size_t start, std::size_t count)
{
    const std::optional<std::span<const Exiv2::byte>> footer
        = layout.footer && count >= 8 ? tiff.slice(start + count - 8, 8) : std::nullopt;
    const std::optional<TiffBytes> header = footer ? TiffBytes::withHeader(*footer) : std::nullopt;
    if (!header || header->order() != tiff.order())
        return std::nullopt;
    const uint32_t stood = *header->uint32At(4);
    return stood != start ? std::optional<int64_t>(int64_t(start) - int64_t(stood)) : std::nullopt;
}

// What reading a note by one layout found.
struct ByLayout
{
    enum class Outcome { Read, CannotCarry, Unreadable } outcome = Outcome::Unreadable;
    std::optional<MakerNoteReading> reading;
};

// Reads the note by the layout, in the order its first directory
// plausibly reads in (its mark or its file's first, as the layout says),
// from the base its values land on.
ByLayout readByLayout(const TiffBytes &exif, const StructurePlace &place, const MakerNoteLayout &layout,
    std::size_t start, std::size_t count, WalkBudget &budget)
{
    const std::optional<Origin> origin = originOf(exif, layout, start);
    if (!origin)
        return {};
    for (const Exiv2::ByteOrder order : { origin->order, otherOrder(origin->order) }) {
        const TiffBytes tiff(exif.bytes(), order);
        const bool declared = order == origin->order;
        Walk walk(tiff, place, layout, start, count, origin->base, layout.base, budget);
        if (!walk.read(origin->directory))
            continue;
        if (walk.withinCount())
            return { ByLayout::Outcome::Read, walk.take(declared) };
        if (layout.base == OffsetBase::TiffHeader) {
            // A note whose footer says it stood elsewhere was moved
            // without its offsets, by as far.
            if (const std::optional<int64_t> correction = footerCorrection(tiff, layout, start, count)) {
                Walk corrected(tiff, place, layout, start, count, *correction, layout.base, budget);
                if (corrected.read(origin->directory) && corrected.withinCount())
                    return { ByLayout::Outcome::Read, corrected.take(false) };
            }
        }
        if (layout.base == OffsetBase::TiffHeader && walk.mostlyMisplaced()) {
            // Some models count their note's offsets from its own start,
            // or from each entry's.
            for (const OffsetBase own : { OffsetBase::NoteStart, OffsetBase::EachEntry }) {
                Walk walkOwn(tiff, place, layout, start, count, int64_t(start), own, budget);
                if (walkOwn.read(origin->directory) && walkOwn.withinCount())
                    return { ByLayout::Outcome::Read, walkOwn.take(false) };
            }
            const std::vector<int64_t> constants
                = layout.known() ? corrections(tiff, origin->directory) : std::vector<int64_t>();
            for (const int64_t correction : constants) {
                Walk corrected(tiff, place, layout, start, count, correction, layout.base, budget);
                if (correction != 0 && corrected.read(origin->directory) && corrected.withinCount()
                    && corrected.dangling() <= walk.dangling())
                    return { ByLayout::Outcome::Read, corrected.take(false) };
            }
        }
        if (walk.carriable())
            return { ByLayout::Outcome::Read, walk.take(declared) };
        return { ByLayout::Outcome::CannotCarry, std::nullopt };
    }
    return {};
}

} // namespace

bool MakerNoteValue::operator==(const MakerNoteValue &other) const
{
    return directory == other.directory && tag == other.tag && type == other.type && count == other.count
        && std::equal(bytes.begin(), bytes.end(), other.bytes.begin(), other.bytes.end());
}

std::optional<MakerNoteReading> readMakerNote(const TiffBytes &exif, const StructurePlace &place,
    std::size_t start, std::size_t count, std::string_view make, WalkBudget &budget)
{
    const std::optional<std::span<const Exiv2::byte>> note = exif.slice(start, count);
    if (!note || count == 0)
        return std::nullopt;
    const MakerNoteLayout *layout = makerNoteLayout(*note, make);
    if (layout) {
        ByLayout read = readByLayout(exif, place, *layout, start, count, budget);
        if (read.outcome == ByLayout::Outcome::Read)
            return std::move(read.reading);
        if (read.outcome == ByLayout::Outcome::CannotCarry)
            return std::nullopt;
        // A note that starts as a maker's does but is no directory of
        // theirs is damaged: what it points to cannot be told.
        if (!layout->signature.empty())
            return unread(start, count, exif, false);
    }
    for (const MakerNoteLayout &unknown : unknownMakerLayouts()) {
        if (unknown.at + 2 > count)
            break;
        ByLayout read = readByLayout(exif, place, unknown, start, count, budget);
        if (read.outcome == ByLayout::Outcome::Read)
            return std::move(read.reading);
        if (read.outcome == ByLayout::Outcome::CannotCarry)
            return std::nullopt;
    }
    // No directory at all: the camera's own record, which readers read by
    // where each value stands in it, wherever the note stands.
    return unread(start, count, exif, true);
}

std::optional<MakerNoteReading> readCarriedMakerNote(const MakerNoteReading &original, const TiffBytes &exif,
    const StructurePlace &place, std::size_t start, std::size_t count, WalkBudget &budget)
{
    if (!exif.slice(start, count))
        return std::nullopt;
    if (!original.layout)
        return unread(start, std::min(count, original.extent.count), exif, original.whole);
    const std::optional<Origin> origin = originOf(exif, *original.layout, start);
    if (!origin)
        return std::nullopt;
    const int64_t moved = int64_t(start) - int64_t(original.extent.start);
    const int64_t base = original.movesWithItsOffsets() ? original.base : original.base + moved;
    const TiffBytes tiff(exif.bytes(), original.order);
    Walk walk(tiff, place, *original.layout, start, count, base, original.counting, budget);
    if (!walk.read(origin->directory) || budget.spent())
        return std::nullopt;
    return walk.take(original.asItsLayoutSays);
}

uint64_t makerNoteNamedBytes(
    const TiffBytes &exif, std::size_t start, std::size_t count, std::string_view make, WalkBudget &budget)
{
    const std::optional<std::span<const Exiv2::byte>> note = exif.slice(start, count);
    const MakerNoteLayout *layout = note ? makerNoteLayout(*note, make) : nullptr;
    const std::optional<Origin> origin = layout ? originOf(exif, *layout, start) : std::nullopt;
    if (!origin)
        return 0;
    // A note's values count from no other base than its layout gives, and
    // a reader of the file around it is not needed to count them.
    const StructurePlace place { 0, exif.bytes().size() };
    for (const Exiv2::ByteOrder order : { origin->order, otherOrder(origin->order) }) {
        const TiffBytes tiff(exif.bytes(), order);
        Walk walk(tiff, place, *layout, start, count, origin->base, layout->base, budget);
        if (walk.read(origin->directory))
            return walk.named();
    }
    return 0;
}

std::optional<std::pair<std::size_t, std::size_t>> makerNoteEntry(const TiffBytes &exif)
{
    const ExifDirectories directories = exifDirectories(exif);
    const TiffEntry *entry = directories.photo ? directories.photo->find(makerNoteTiffTag) : nullptr;
    if (!entry || !entry->size || *entry->size == 0)
        return std::nullopt;
    const std::optional<std::size_t> at = exif.valueAt(*entry);
    if (!at || !exif.slice(*at, *entry->size))
        return std::nullopt;
    return std::pair { *at, std::size_t(*entry->size) };
}

} // namespace engine::bridge
