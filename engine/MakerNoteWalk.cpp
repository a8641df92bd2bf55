// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MakerNoteWalk.h"

#include "engine/ByteCursor.h"
#include "engine/WalkBudget.h"

#include <algorithm>

namespace engine::bridge {

namespace {

// What a note may point to past its own count and still be carried with
// it; a camera keeps its previews right after the note, not megabytes on.
constexpr std::size_t mostBeyondCount = std::size_t(4) << 20;
constexpr std::size_t mostDirectories = 64;
constexpr int deepestDirectory = 3;
// How much of data that gives its own length is compared after a write.
constexpr std::size_t comparedUnmeasured = 4096;
// The values of a sound note lie apart within the structure, so their
// bytes add up to no more than it holds, and to a few times that where a
// camera names a preview from more than one directory. A note whose
// entries name the same bytes over and over adds up to many times more,
// which the check after a write, comparing every value, would take as
// many times longer to read: it is taken for one that cannot be carried.
constexpr std::size_t mostValueBytesPerByte = 4;

bool isPointer(const TiffEntry &entry)
{
    return (entry.type == 4 || entry.type == 9 || entry.type == 13) && entry.count == 1;
}

// One reading of the note with its offsets counting from one base.
class Walk
{
public:
    Walk(const TiffBytes &tiff, const MakerNoteLayout &layout, std::size_t start, std::size_t count,
        int64_t base, std::size_t offsetInFile)
        : m_tiff(tiff)
        , m_layout(layout)
        , m_start(start)
        , m_count(count)
        , m_base(base)
        , m_offsetInFile(offsetInFile)
        , m_valueBytes(mostValueBytesPerByte * tiff.bytes().size())
    {
        m_found.reading.layout = &layout;
        m_found.reading.base = base;
        m_found.reading.order = tiff.order();
        m_found.reading.extent = { start, count, start + count, {} };
    }

    bool read(std::size_t directoryAt)
    {
        const std::optional<TiffDirectory> first = m_tiff.directory(directoryAt, m_layout.nextOffset);
        if (!first || first->end > m_start + m_count + (m_layout.nextOffset ? 4 : 0) || !plausible(*first))
            return false;
        m_entries = { first->at, first->end };
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
            && !m_found.overlapsEntries && !m_valueBytes.spent();
    }
    // Whether the note can be carried with what it points to.
    bool carriable() const
    {
        return !m_found.before && !m_found.unmeasuredOutside && m_found.beyond <= mostBeyondCount
            && !m_valueBytes.spent();
    }

    std::size_t dangling() const { return m_found.dangling; }

    MakerNoteReading take()
    {
        // Entries of directories that overlap name the same offsets.
        for (std::vector<std::size_t> *offsets : { &m_found.reading.offsets, &m_found.reading.fileOffsets }) {
            std::sort(offsets->begin(), offsets->end());
            offsets->erase(std::unique(offsets->begin(), offsets->end()), offsets->end());
        }
        return std::move(m_found.reading);
    }

private:
    // Half the entries of a damaged or foreign block read as directory
    // entries of types TIFF does not have.
    static bool plausible(const TiffDirectory &directory)
    {
        const auto known = std::count_if(directory.entries.begin(), directory.entries.end(),
            [](const TiffEntry &entry) { return entry.size.has_value(); });
        return std::size_t(known) * 2 >= directory.entries.size();
    }

    enum class Place { Dangling, Before, Within };

    // Takes the span [at, at + size) into the note's extent.
    Place take(uint64_t at, uint64_t size)
    {
        const uint64_t structure = m_tiff.bytes().size();
        if (at > structure || size > structure - at) {
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
        m_valueBytes.spend(bytes.size());
        m_found.reading.values.push_back({ directory, entry.tag, entry.type, entry.count, bytes });
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
        if (visited.size() > mostDirectories)
            return;
        const std::size_t ordinal = m_found.visited.size() - 1;
        take(directory.at, directory.end - directory.at);
        for (const TiffEntry &entry : directory.entries) {
            if (const SubDirectory *sub = subDirectoryOf(entry.tag); sub && depth < deepestDirectory) {
                readSubDirectory(entry, *sub, depth, ordinal);
                continue;
            }
            if (const DataPointer *pointer = pointerOf(entry.tag); pointer && isPointer(entry)) {
                readData(directory, entry, *pointer, ordinal);
                continue;
            }
            if (!entry.size)
                continue;
            if (entry.inlined()) {
                value(ordinal, entry, *m_tiff.slice(entry.fieldAt(), *entry.size));
                continue;
            }
            offsetAt(entry.fieldAt(), false);
            const int64_t at = m_base + int64_t(entry.field);
            if (at >= 0 && uint64_t(at) < m_entries.second && uint64_t(at) + *entry.size > m_entries.first)
                m_found.overlapsEntries = true;
            if (at >= 0 && take(uint64_t(at), *entry.size) == Place::Within)
                value(ordinal, entry, *m_tiff.slice(uint64_t(at), *entry.size));
            else
                value(ordinal, entry, {});
        }
    }

    const SubDirectory *subDirectoryOf(uint16_t tag) const
    {
        const auto found = std::find_if(m_layout.directories.begin(), m_layout.directories.end(),
            [&](const SubDirectory &sub) { return sub.tag == tag; });
        return found != m_layout.directories.end() ? &*found : nullptr;
    }

    void readSubDirectory(const TiffEntry &entry, const SubDirectory &sub, int depth, std::size_t ordinal)
    {
        value(ordinal, entry, {});
        int64_t at = 0;
        if (isPointer(entry)) {
            if (entry.field == 0)
                return;
            offsetAt(entry.fieldAt(), false);
            at = m_base + int64_t(entry.field);
        } else if (entry.size && !entry.inlined()) {
            // The directory's own bytes stand as the entry's value.
            offsetAt(entry.fieldAt(), false);
            at = m_base + int64_t(entry.field);
            const std::optional<ByteCursor> blob
                = at >= 0 ? ByteCursor(m_tiff.bytes()).at(std::size_t(at)) : std::nullopt;
            if (!blob || !blob->startsWith(sub.header))
                return;
            at += int64_t(sub.at);
        } else {
            return;
        }
        if (at < 0)
            return;
        const std::optional<TiffDirectory> directory = m_tiff.directory(std::size_t(at), m_layout.nextOffset);
        if (!directory)
            return;
        // Some models' directories count their offsets otherwise (from
        // their own start): one whose values do not lie where the note's
        // offsets say is carried as its bytes, with nothing in it moved.
        const Mark before = mark();
        readDirectory(*directory, depth + 1);
        if (m_found.before && !before.before) {
            goBack(before);
            if (entry.size && !entry.inlined())
                m_found.reading.values.back().bytes
                    = m_tiff.value(entry, m_base).value_or(std::span<const Exiv2::byte>());
        }
    }

    void readData(
        const TiffDirectory &in, const TiffEntry &entry, const DataPointer &pointer, std::size_t ordinal)
    {
        if (entry.field == 0) {
            value(ordinal, entry, *m_tiff.slice(entry.fieldAt(), 4));
            return;
        }
        offsetAt(entry.fieldAt(), pointer.fromFileStart);
        const int64_t at = pointer.fromFileStart ? int64_t(entry.field) - int64_t(m_offsetInFile)
                                                 : m_base + int64_t(entry.field);
        const TiffEntry *lengthEntry = pointer.lengthTag ? in.find(pointer.lengthTag) : nullptr;
        // No length, or none given, is no data.
        const uint32_t length = lengthEntry ? m_tiff.number(*lengthEntry).value_or(0) : 0;
        if (at < 0) {
            m_found.before = true;
            value(ordinal, entry, {});
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
                value(ordinal, entry, {});
                return;
            }
            if (uint64_t(at) < m_start || uint64_t(at) >= counted) {
                m_found.unmeasuredOutside = true;
                value(ordinal, entry, {});
                return;
            }
            value(ordinal, entry,
                *m_tiff.slice(uint64_t(at), std::min(counted - std::size_t(at), comparedUnmeasured)));
            return;
        }
        if (take(uint64_t(at), length) == Place::Within)
            value(ordinal, entry, *m_tiff.slice(uint64_t(at), length));
        else
            value(ordinal, entry, {});
    }

    const TiffBytes &m_tiff;
    const MakerNoteLayout &m_layout;
    std::size_t m_start;
    std::size_t m_count;
    int64_t m_base;
    std::size_t m_offsetInFile;
    // The first directory's entries, which no value of a sound reading
    // overlaps.
    std::pair<std::size_t, std::size_t> m_entries;
    WalkBudget m_valueBytes;
    // What the walk found so far.
    struct Found
    {
        MakerNoteReading reading;
        // The directories read, in order: no more than mostDirectories.
        std::vector<std::size_t> visited;
        std::size_t beyond = 0;
        // Values that lie outside the structure, which no reader finds.
        std::size_t dangling = 0;
        bool before = false;
        bool unmeasuredOutside = false;
        bool overlapsEntries = false;
    } m_found;

    // How far the walk had come. Going back drops what it found since from
    // the end of each list: a copy of all it had found, taken at each
    // directory, would cost as much as every entry read before it.
    struct Mark
    {
        std::size_t values = 0;
        std::size_t offsets = 0;
        std::size_t fileOffsets = 0;
        std::size_t beyondCount = 0;
        std::size_t visited = 0;
        std::size_t end = 0;
        std::size_t beyond = 0;
        std::size_t dangling = 0;
        bool before = false;
        bool unmeasuredOutside = false;
        bool overlapsEntries = false;
        WalkBudget valueBytes;
    };

    Mark mark() const
    {
        const MakerNoteReading &reading = m_found.reading;
        return { reading.values.size(), reading.offsets.size(), reading.fileOffsets.size(),
            reading.extent.beyondCount.size(), m_found.visited.size(), reading.extent.end, m_found.beyond,
            m_found.dangling, m_found.before, m_found.unmeasuredOutside, m_found.overlapsEntries,
            m_valueBytes };
    }

    void goBack(const Mark &mark)
    {
        MakerNoteReading &reading = m_found.reading;
        reading.values.resize(mark.values);
        reading.offsets.resize(mark.offsets);
        reading.fileOffsets.resize(mark.fileOffsets);
        reading.extent.beyondCount.resize(mark.beyondCount);
        reading.extent.end = mark.end;
        m_found.visited.resize(mark.visited);
        m_found.beyond = mark.beyond;
        m_found.dangling = mark.dangling;
        m_found.before = mark.before;
        m_found.unmeasuredOutside = mark.unmeasuredOutside;
        m_found.overlapsEntries = mark.overlapsEntries;
        m_valueBytes = mark.valueBytes;
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

MakerNoteReading opaque(std::size_t start, std::size_t count, const TiffBytes &exif)
{
    MakerNoteReading reading;
    reading.extent = { start, count, start + count, {} };
    reading.order = exif.order();
    reading.values.push_back({ 0, 0, 7, uint32_t(count), *exif.slice(start, count) });
    return reading;
}

// Where the note's directory starts, in which byte order, and where its
// offsets count from, as its layout says.
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
    const TiffBytes note(exif.bytes(), origin.order);
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

} // namespace

bool MakerNoteValue::operator==(const MakerNoteValue &other) const
{
    return directory == other.directory && tag == other.tag && type == other.type && count == other.count
        && std::equal(bytes.begin(), bytes.end(), other.bytes.begin(), other.bytes.end());
}

std::optional<MakerNoteReading> readMakerNote(const TiffBytes &exif, std::size_t start, std::size_t count,
    std::string_view make, std::size_t offsetInFile)
{
    const std::optional<std::span<const Exiv2::byte>> note = exif.slice(start, count);
    if (!note || count == 0)
        return std::nullopt;
    const MakerNoteLayout *layout = makerNoteLayout(*note, make);
    const std::optional<Origin> origin = layout ? originOf(exif, *layout, start) : std::nullopt;
    if (!origin)
        return opaque(start, count, exif);
    const TiffBytes tiff(exif.bytes(), origin->order);
    Walk walk(tiff, *layout, start, count, origin->base, offsetInFile);
    if (!walk.read(origin->directory))
        return opaque(start, count, exif);
    if (walk.withinCount())
        return walk.take();
    if (layout->base == OffsetBase::TiffHeader) {
        for (const int64_t correction : corrections(tiff, origin->directory)) {
            Walk corrected(tiff, *layout, start, count, correction, offsetInFile);
            if (correction != 0 && corrected.read(origin->directory) && corrected.withinCount()
                && corrected.dangling() <= walk.dangling())
                return corrected.take();
        }
    }
    if (walk.carriable())
        return walk.take();
    return std::nullopt;
}

std::optional<MakerNoteReading> readCarriedMakerNote(const MakerNoteReading &original, const TiffBytes &exif,
    std::size_t start, std::size_t count, std::size_t offsetInFile)
{
    if (!exif.slice(start, count))
        return std::nullopt;
    if (!original.layout)
        return opaque(start, std::min(count, original.extent.count), exif);
    const std::optional<Origin> origin = originOf(exif, *original.layout, start);
    if (!origin)
        return std::nullopt;
    const int64_t moved = int64_t(start) - int64_t(original.extent.start);
    const int64_t base = original.movesWithItsOffsets() ? original.base : original.base + moved;
    const TiffBytes tiff(exif.bytes(), origin->order);
    Walk walk(tiff, *original.layout, start, count, base, offsetInFile);
    if (!walk.read(origin->directory))
        return std::nullopt;
    return walk.take();
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
