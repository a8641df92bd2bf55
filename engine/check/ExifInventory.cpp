// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/check/ExifInventory.h"

#include "engine/check/ExifTags.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <iterator>

namespace engine::check {

namespace {

// The blocks a page's directory names: its strips and tiles, and a JPEG
// picture (the thumbnail of a JPEG's Exif).
struct PageBlock
{
    std::uint16_t offsetTag;
    std::uint16_t lengthTag;
};
constexpr PageBlock pageBlocks[] = { { 0x0111, 0x0117 }, { 0x0144, 0x0145 }, { 0x0201, 0x0202 } };

// How a directory's entries read.
struct Frame
{
    Order order = Order::Little;
    // Where its offsets count from, in the structure.
    std::int64_t base = 0;
    DirectoryKind kind = DirectoryKind::Page;
    // For a maker note's directories: its layout, and the tag that named
    // the directory (0 for the note's first).
    const NoteLayout *layout = nullptr;
    std::uint16_t noteDirectory = 0;
};

struct Pending
{
    std::uint64_t at = 0;
    Directory directory;
    Frame frame;
};

std::string hex(std::uint16_t tag)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", tag);
    return text;
}

bool inNote(DirectoryKind kind)
{
    return kind == DirectoryKind::MakerNote || kind == DirectoryKind::NoteDirectory;
}

class Walk
{
public:
    Walk(const ExifPlace &place, ByteSpan file, ReadBudget &budget, std::span<const DecodedNoteValue> decoded,
        const ExifInventory *original, ExifInventory &out)
        : m_tiff(place.tiff)
        , m_file(file)
        , m_inFile(place.offsetInFile)
        , m_segment(place.segment)
        , m_sidecar(place.sidecar)
        , m_budget(budget)
        , m_decoded(decoded)
        , m_original(original)
        , m_out(out)
    { }

    void run();

private:
    bool fail(std::string reason);
    // Why what the Exif names past where it may lie cannot be read: in a
    // TIFF, a block (a picture) or another value.
    std::string pastTheEnd(bool block) const;
    // Where the bytes at pos of the structure lie, as far as the frame lets
    // a value lie outside it; none where they do not all lie in the file.
    std::optional<ByteSpan> bytesAt(std::int64_t pos, std::uint64_t size, bool outsideToo) const;
    std::optional<std::string> enqueue(std::int64_t pos, Directory directory, const Frame &frame);
    void drain();
    void read(Pending pending);
    std::vector<std::uint32_t> numbers(const Entry &entry, Order order) const;
    void namePointers(Directory &directory, const Frame &frame);
    void nameBlocks(Directory &directory, const Frame &frame);
    void readMakerNote(const Directory &directory, Entry &entry);
    void readInlineDirectory(
        const Directory &directory, Entry &entry, const NoteSubDirectory &sub, const Frame &frame);
    void nameDataFromFileStart(Entry &entry, const Frame &frame);
    void followNextPage(const Directory &directory, std::uint64_t end, const Frame &frame);
    bool plainDirectoryAt(std::int64_t pos, const Frame &frame);
    void findMakersDirectories();
    bool pointsToMakersDirectory(
        const Directory &directory, const Entry &entry, std::size_t occurrence, const Frame &frame);

    ByteView m_tiff;
    ByteView m_file;
    std::optional<std::uint64_t> m_inFile;
    bool m_segment = true;
    bool m_sidecar = false;
    ReadBudget &m_budget;
    std::span<const DecodedNoteValue> m_decoded;
    const ExifInventory *m_original = nullptr;
    ExifInventory &m_out;
    Order m_order = Order::Little;
    std::deque<Pending> m_pending;
    std::unordered_map<std::uint64_t, std::string> m_visited;
    std::vector<Frame> m_frames;
};

bool Walk::fail(std::string reason)
{
    if (!m_out.unreadable)
        m_out.unreadable = std::move(reason);
    return false;
}

std::string Walk::pastTheEnd(bool block) const
{
    if (!m_segment)
        return block ? "the file is cut short: its picture data ends before the file does"
                     : "the file is cut short: what its directories name lies past its end";
    return "a value of its Exif lies past the end of its Exif segment";
}

std::optional<ByteSpan> Walk::bytesAt(std::int64_t pos, std::uint64_t size, bool outsideToo) const
{
    if (pos >= 0) {
        if (const std::optional<ByteSpan> inside = m_tiff.span(std::uint64_t(pos), size))
            return inside;
    }
    if (!outsideToo || !m_inFile)
        return std::nullopt;
    const std::int64_t inFile = std::int64_t(*m_inFile) + pos;
    return inFile >= 0 ? m_file.span(std::uint64_t(inFile), size) : std::nullopt;
}

std::optional<std::string> Walk::enqueue(std::int64_t pos, Directory directory, const Frame &frame)
{
    if (pos < 0 || std::uint64_t(pos) >= m_tiff.size())
        return std::nullopt;
    const auto [seen, added] = m_visited.try_emplace(std::uint64_t(pos), directory.path);
    if (added)
        m_pending.push_back({ std::uint64_t(pos), std::move(directory), frame });
    return seen->second;
}

void Walk::drain()
{
    while (!m_pending.empty() && !m_out.unreadable) {
        Pending pending = std::move(m_pending.front());
        m_pending.pop_front();
        read(std::move(pending));
    }
}

void Walk::read(Pending pending)
{
    Directory &directory = pending.directory;
    const Frame &frame = pending.frame;
    directory.order = frame.order;
    const std::optional<std::uint16_t> count = m_tiff.u16(pending.at, frame.order);
    const std::uint64_t end = pending.at + 2 + 12 * std::uint64_t(count.value_or(0));
    if (!count || !m_tiff.span(pending.at, end - pending.at) || !m_budget.spend(end - pending.at + 16)) {
        fail(inNote(frame.kind) ? std::string("its maker note cannot be read whole") : pastTheEnd(false));
        return;
    }
    const bool note = inNote(frame.kind);
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::uint64_t at = pending.at + 2 + 12 * std::uint64_t(i);
        Entry entry { *m_tiff.u16(at, frame.order), *m_tiff.u16(at + 2, frame.order),
            *m_tiff.u32(at + 4, frame.order) };
        entry.fieldAt = at + 8;
        const std::uint64_t size = typeSize(entry.type) * entry.count;
        entry.typed = typeSize(entry.type) != 0;
        if (!entry.typed) {
            // Other readers pass it by; what it holds, none can tell.
        } else if (size <= 4) {
            entry.value = *m_tiff.span(entry.fieldAt, size);
        } else {
            entry.outOfLine = true;
            const std::int64_t pos = frame.base + std::int64_t(*m_tiff.u32(entry.fieldAt, frame.order));
            const std::optional<ByteSpan> value = bytesAt(pos, size, note);
            if (value && !m_budget.spend(size))
                return;
            if (!value) {
                fail(note ? "its maker note points past the end of the file" : pastTheEnd(false));
                return;
            }
            // A value that begins in its segment and ends past it no reader
            // finds whole.
            const bool inside = pos >= 0 && std::uint64_t(pos) < m_tiff.size();
            if (inside && std::uint64_t(pos) + size > m_tiff.size()) {
                fail("its maker note names a value across the end of its Exif segment");
                return;
            }
            entry.value = *value;
        }
        if (frame.kind == DirectoryKind::Page && directory.page == 1 && entry.tag == tags::make
            && entry.type == 2) {
            const auto text = reinterpret_cast<const char *>(entry.value.data());
            m_out.make.assign(text, std::find(text, text + entry.value.size(), '\0'));
        }
        directory.entries.push_back(std::move(entry));
    }
    directory.indexEntries();
    namePointers(directory, frame);
    nameBlocks(directory, frame);
    if (frame.kind == DirectoryKind::Page) {
        ++m_out.pages;
        followNextPage(directory, end, frame);
    }
    m_frames.push_back(frame);
    m_out.add(std::move(directory));
}

std::vector<std::uint32_t> Walk::numbers(const Entry &entry, Order order) const
{
    std::vector<std::uint32_t> found;
    const ByteView value(entry.value);
    const std::uint64_t unit = entry.type == tags::shortType ? 2 : 4;
    for (std::uint64_t at = 0; at + unit <= value.size(); at += unit)
        found.push_back(unit == 2 ? *value.u16(at, order) : *value.u32(at, order));
    return found;
}

void Walk::namePointers(Directory &directory, const Frame &frame)
{
    const bool page = frame.kind == DirectoryKind::Page || frame.kind == DirectoryKind::SubImage;
    std::uint16_t subImages = 0;
    for (Entry &entry : directory.entries) {
        if (entry.tag == tags::makerNote && frame.kind == DirectoryKind::Exif) {
            readMakerNote(directory, entry);
            continue;
        }
        // Some writers give a pointer a signed type.
        const bool pointerType = entry.type == tags::longType || entry.type == tags::directoryType
            || entry.type == tags::signedLongType;
        DirectoryKind kind = DirectoryKind::MakersOwn;
        std::string step;
        if (inNote(frame.kind)) {
            const NoteSubDirectory *named = nullptr;
            for (const NoteSubDirectory &sub :
                frame.layout ? frame.layout->subDirectories : std::span<const NoteSubDirectory>()) {
                if (sub.tag == entry.tag)
                    named = &sub;
            }
            if (named && entry.type == tags::undefinedType && entry.outOfLine) {
                readInlineDirectory(directory, entry, *named, frame);
                continue;
            }
            if (!(entry.type == tags::directoryType || (named && pointerType)))
                continue;
            kind = DirectoryKind::NoteDirectory;
        } else if (page && entry.tag == tags::exif && pointerType) {
            kind = DirectoryKind::Exif;
            step = "exif";
        } else if (page && entry.tag == tags::gps && pointerType) {
            kind = DirectoryKind::Gps;
            step = "gps";
        } else if ((page || frame.kind == DirectoryKind::Exif) && entry.tag == tags::interoperability
            && pointerType) {
            kind = DirectoryKind::Interoperability;
            step = "iop";
        } else if (page && entry.tag == tags::subImages && pointerType) {
            kind = DirectoryKind::SubImage;
        } else if (entry.type != tags::directoryType) {
            continue;
        }
        entry.names = Entry::Names::Directories;
        if (step.empty())
            step = "t" + hex(entry.tag);
        const std::vector<std::uint32_t> offsets = numbers(entry, frame.order);
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            Directory named { directory.path + "/" + step, kind, directory.page };
            Frame next { frame.order, frame.base, kind, frame.layout, entry.tag };
            if (kind == DirectoryKind::SubImage) {
                named.index = ++subImages;
                named.path = directory.path + "/sub" + std::to_string(named.index);
            } else if (offsets.size() > 1) {
                named.path += "#" + std::to_string(i);
            }
            if (!inNote(kind))
                next.base = 0;
            // A note's directory that lies nowhere in its file was left
            // behind where the note was copied from; no write can lose it.
            if (inNote(kind) && !plainDirectoryAt(next.base + std::int64_t(offsets[i]), next)) {
                entry.names = Entry::Names::Nothing;
                entry.directories.clear();
                break;
            }
            const std::optional<std::string> path
                = enqueue(next.base + std::int64_t(offsets[i]), std::move(named), next);
            if (!path) {
                fail(inNote(kind) ? std::string("its maker note cannot be read whole") : pastTheEnd(false));
                return;
            }
            entry.directories.push_back(*path);
        }
    }
}

// A directory a maker note keeps as the value of one of its entries.
void Walk::readInlineDirectory(
    const Directory &directory, Entry &entry, const NoteSubDirectory &sub, const Frame &frame)
{
    const ByteView value(entry.value);
    if (entry.value.data() < m_tiff.all().data() || !value.holds(sub.header))
        return;
    const std::int64_t pos = std::int64_t(offsetIn(m_tiff.all(), entry.value) + sub.at);
    const Frame next { frame.order, frame.base, DirectoryKind::NoteDirectory, frame.layout, entry.tag };
    if (!plainDirectoryAt(pos, next))
        return;
    const std::optional<std::string> path = enqueue(pos,
        Directory { directory.path + "/t" + hex(entry.tag), DirectoryKind::NoteDirectory, directory.page },
        next);
    if (!path)
        return;
    entry.names = Entry::Names::Directories;
    entry.inlined = true;
    entry.directories.push_back(*path);
}

// A number of the note that counts from the file's start and names data
// that gives its own length: where in the note it lies, or, outside it,
// its first bytes.
void Walk::nameDataFromFileStart(Entry &entry, const Frame &frame)
{
    constexpr std::uint64_t compared = 512;
    const std::optional<std::uint32_t> at = entry.count == 1 && entry.type == tags::longType
        ? ByteView(entry.value).u32(0, frame.order)
        : std::nullopt;
    // Nothing stands at the file's start but its own header: 0 names none.
    if (!at || *at == 0 || !m_inFile || !m_out.makerNote)
        return;
    entry.names = Entry::Names::Blocks;
    const std::uint64_t noteInFile = *m_inFile + m_out.makerNote->at;
    if (*at >= noteInFile && *at < noteInFile + m_out.makerNote->bytes.size()) {
        entry.inNote = *at - noteInFile;
        return;
    }
    if (*at < m_file.size())
        entry.blocks.push_back(*m_file.span(*at, std::min(compared, m_file.size() - *at)));
}

void Walk::nameBlocks(Directory &directory, const Frame &frame)
{
    const bool page = frame.kind == DirectoryKind::Page || frame.kind == DirectoryKind::SubImage;
    const bool note = inNote(frame.kind);
    if (!page && !note)
        return;
    const auto name = [&](std::uint16_t offsetTag, std::uint16_t lengthTag) {
        const auto offsets
            = std::find_if(directory.entries.begin(), directory.entries.end(), [&](const Entry &e) {
                  return e.tag == offsetTag && (e.type == tags::shortType || e.type == tags::longType);
              });
        const Entry *lengths = directory.find(lengthTag);
        if (offsets == directory.entries.end() || !lengths
            || (lengths->type != tags::shortType && lengths->type != tags::longType))
            return true;
        const std::vector<std::uint32_t> at = numbers(*offsets, frame.order);
        const std::vector<std::uint32_t> sizes = numbers(*lengths, frame.order);
        if (at.size() != sizes.size())
            return fail(
                note ? "its maker note cannot be read whole" : "its picture data cannot be read whole");
        offsets->names = Entry::Names::Blocks;
        for (std::size_t i = 0; i < at.size(); ++i) {
            // A block may run past its segment into the file, where readers
            // still find it: its bytes there are what a write must keep.
            const std::optional<ByteSpan> block = sizes[i] == 0
                ? std::optional<ByteSpan>(ByteSpan())
                : bytesAt(frame.base + std::int64_t(at[i]), sizes[i], true);
            if (block && !m_budget.spend(block->size()))
                return false;
            if (!block && m_sidecar) {
                // A sidecar holds no pictures: none is there to lose.
                offsets->blocks.emplace_back();
                continue;
            }
            if (!block)
                return fail(m_segment ? (note ? "a picture its maker note names lies past the end of the file"
                                              : "its thumbnail lies past the end of the file")
                                      : pastTheEnd(true));
            offsets->blocks.push_back(*block);
        }
        return true;
    };
    if (page) {
        for (const PageBlock &block : pageBlocks) {
            if (!name(block.offsetTag, block.lengthTag))
                return;
        }
        return;
    }
    if (!frame.layout)
        return;
    for (const NoteBlock &block : frame.layout->blocks) {
        if (block.directory != frame.noteDirectory)
            continue;
        if (block.fromFileStart) {
            for (Entry &entry : directory.entries) {
                if (entry.tag == block.offsetTag)
                    nameDataFromFileStart(entry, frame);
            }
        } else if (!name(block.offsetTag, block.lengthTag)) {
            return;
        }
    }
}

void Walk::readMakerNote(const Directory &directory, Entry &entry)
{
    if (!entry.typed || !entry.outOfLine || m_out.makerNote)
        return;
    entry.names = Entry::Names::MakerNote;
    const std::uint64_t noteAt = offsetIn(m_tiff.all(), entry.value);
    if (entry.value.data() < m_tiff.all().data() || noteAt >= m_tiff.size())
        return;
    MakerNote note { noteAt, entry.value };
    const ByteView bytes(entry.value);
    if (m_original && m_original->makerNote) {
        note.reading = m_original->makerNote->reading;
    } else {
        const std::int64_t before = m_inFile ? -std::int64_t(*m_inFile) : 0;
        const std::int64_t after
            = m_inFile ? std::int64_t(m_file.size()) - std::int64_t(*m_inFile) : std::int64_t(m_tiff.size());
        const NoteChoice choice
            = chooseReading({ m_tiff, noteAt, bytes, before, after }, m_out.make, m_decoded, m_budget);
        note.reading = choice.reading;
        note.unreadable = choice.unreadable;
    }
    if (const std::optional<std::uint32_t> footer = note.reading ? footerOffset(bytes) : std::nullopt) {
        note.footerDistance = std::int64_t(*footer) - std::int64_t(noteAt);
        note.offsets.push_back(bytes.size() - 4);
    }
    m_out.makerNote = note;
    if (!note.reading)
        return;
    const std::optional<std::int64_t> base = baseOf(*note.reading, bytes, noteAt);
    if (!base) {
        fail("its maker note cannot be read whole");
        return;
    }
    const Frame noteFrame { note.reading->order, *base, DirectoryKind::MakerNote, note.reading->layout, 0 };
    Directory first { directory.path + "/mn", DirectoryKind::MakerNote, directory.page };
    const std::optional<std::string> path
        = enqueue(std::int64_t(noteAt + note.reading->directoryAt), std::move(first), noteFrame);
    if (!path)
        fail("its maker note cannot be read whole");
    else
        entry.directories.push_back(*path);
}

void Walk::followNextPage(const Directory &directory, std::uint64_t end, const Frame &frame)
{
    // A next offset that names nothing readable is passed by, as other
    // readers pass it by; one that names a page read already ends the chain.
    const std::optional<std::uint32_t> next = m_tiff.u32(end, frame.order);
    if (!next || *next == 0 || m_visited.contains(*next) || !plainDirectoryAt(*next, frame))
        return;
    const std::uint16_t page = std::uint16_t(directory.page + 1);
    enqueue(*next, Directory { "p" + std::to_string(page), DirectoryKind::Page, page }, frame);
}

bool Walk::plainDirectoryAt(std::int64_t pos, const Frame &frame)
{
    const std::optional<std::uint16_t> count
        = pos >= 0 ? m_tiff.u16(std::uint64_t(pos), frame.order) : std::nullopt;
    return count && *count > 0 && m_tiff.span(std::uint64_t(pos), 2 + 12 * std::uint64_t(*count));
}

// Whether a number no table names is the offset of a directory of the
// maker's own: in the original, where a directory that plainly is one
// stands there (more than one entry, in the order of their tags, of types
// TIFF defines, whose values lie within the Exif); in the written file,
// where the original's reading found one.
bool Walk::pointsToMakersDirectory(
    const Directory &directory, const Entry &entry, std::size_t occurrence, const Frame &frame)
{
    if (entry.names != Entry::Names::Nothing || entry.type != tags::longType || entry.count != 1)
        return false;
    if (m_original) {
        const Directory *was = m_original->find(directory.path);
        const Entry *pointer = was ? was->find(entry.tag, occurrence) : nullptr;
        return pointer && pointer->foundPointer
            && plainDirectoryAt(frame.base + std::int64_t(*ByteView(entry.value).u32(0, frame.order)), frame);
    }
    // The tags TIFF, Exif and DNG define name no directory of a maker's.
    const bool standard = entry.tag < 0x8000 || (entry.tag >= 0x829a && entry.tag < 0xa500)
        || (entry.tag >= 0xc612 && entry.tag < 0xd000);
    if (!inNote(frame.kind) && frame.kind != DirectoryKind::MakersOwn && standard)
        return false;
    const std::int64_t pos = frame.base + std::int64_t(*ByteView(entry.value).u32(0, frame.order));
    const std::optional<std::uint16_t> count
        = pos >= 0 ? m_tiff.u16(std::uint64_t(pos), frame.order) : std::nullopt;
    if (!count || *count < 2 || *count > 512 || m_visited.contains(std::uint64_t(pos))
        || !m_tiff.span(std::uint64_t(pos), 2 + 12 * std::uint64_t(*count))
        || !m_budget.spend(2 + 12 * std::uint64_t(*count)))
        return false;
    const std::int64_t tableEnd = pos + 2 + 12 * std::int64_t(*count);
    std::uint32_t lastTag = 0;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::uint64_t at = std::uint64_t(pos) + 2 + 12 * std::uint64_t(i);
        const std::uint16_t tag = *m_tiff.u16(at, frame.order);
        const std::uint64_t size
            = typeSize(*m_tiff.u16(at + 2, frame.order)) * *m_tiff.u32(at + 4, frame.order);
        if ((i > 0 && tag <= lastTag) || size == 0)
            return false;
        lastTag = tag;
        if (size <= 4)
            continue;
        const std::int64_t value = frame.base + std::int64_t(*m_tiff.u32(at + 8, frame.order));
        if (value < 0 || !m_tiff.span(std::uint64_t(value), size)
            || (value < tableEnd && value + std::int64_t(size) > pos))
            return false;
    }
    return true;
}

void Walk::findMakersDirectories()
{
    for (std::size_t d = 0; d < m_out.directories.size() && !m_out.unreadable; ++d) {
        const Frame frame = m_frames[d];
        if (frame.kind == DirectoryKind::Gps || frame.kind == DirectoryKind::Interoperability
            || frame.kind == DirectoryKind::RawHeader)
            continue;
        for (std::size_t i = 0; i < m_out.directories[d].entries.size(); ++i) {
            Directory &directory = m_out.directories[d];
            Entry &entry = directory.entries[i];
            const std::size_t occurrence = std::size_t(directory.keys[i] & 0xffffffffu);
            if (!pointsToMakersDirectory(directory, entry, occurrence, frame))
                continue;
            const DirectoryKind kind
                = inNote(frame.kind) ? DirectoryKind::NoteDirectory : DirectoryKind::MakersOwn;
            const Frame next { frame.order, frame.base, kind, frame.layout, entry.tag };
            const std::int64_t pos = frame.base + std::int64_t(*ByteView(entry.value).u32(0, frame.order));
            const std::optional<std::string> path = enqueue(
                pos, Directory { directory.path + "/t" + hex(entry.tag), kind, directory.page }, next);
            if (!path) {
                fail(pastTheEnd(false));
                return;
            }
            entry.names = Entry::Names::Directories;
            entry.foundPointer = true;
            entry.directories.push_back(*path);
            drain();
        }
    }
}

void Walk::run()
{
    if (!(m_tiff.holds("II") || m_tiff.holds("MM"))) {
        fail("its Exif cannot be read");
        return;
    }
    m_order = m_tiff.holds("II") ? Order::Little : Order::Big;
    const std::optional<std::uint32_t> first = m_tiff.u32(4, m_order);
    const Frame page { m_order, 0, DirectoryKind::Page };
    if (!first || !plainDirectoryAt(*first, page)) {
        fail(m_segment ? "its Exif cannot be read"
                       : "the file is cut short: its first directory cannot be read");
        return;
    }
    enqueue(*first, Directory { "p1", DirectoryKind::Page, 1 }, page);
    drain();
    // A Canon raw file's header names its raw picture's directory.
    if (!m_segment && m_tiff.holds("CR", 8) && m_tiff.u8(10) == 2) {
        Directory header { "cr2", DirectoryKind::RawHeader };
        Entry pointer;
        pointer.names = Entry::Names::Directories;
        const std::optional<std::uint32_t> raw = m_tiff.u32(12, m_order);
        if (raw && m_visited.contains(*raw))
            pointer.directories.push_back(m_visited[*raw]);
        header.entries.push_back(pointer);
        header.indexEntries();
        m_frames.push_back(Frame { m_order, 0, DirectoryKind::RawHeader });
        m_out.add(std::move(header));
        m_out.raw = true;
    }
    findMakersDirectories();
    for (const Directory &directory : m_out.directories) {
        const bool page = directory.kind == DirectoryKind::Page || directory.kind == DirectoryKind::SubImage;
        for (const Entry &entry : directory.entries) {
            const bool rawPhotometric = page && entry.tag == tags::photometric
                && entry.type == tags::shortType && entry.value.size() == 2
                && (ByteView(entry.value).u16(0, m_order) == 32803
                    || ByteView(entry.value).u16(0, m_order) == 34892);
            if (rawPhotometric || (directory.path == "p1" && entry.tag == tags::dngVersion))
                m_out.raw = true;
        }
    }
    if (m_tiff.holds("IIRO") || m_tiff.holds("IIRS") || m_tiff.holds("MMOR"))
        m_out.raw = true;
}

} // namespace

namespace {

const Entry *byKey(const Directory &directory, std::uint64_t key)
{
    const auto found = std::lower_bound(directory.byTag.begin(), directory.byTag.end(), key,
        [](const auto &indexed, std::uint64_t k) { return indexed.first < k; });
    return found != directory.byTag.end() && found->first == key ? &directory.entries[found->second]
                                                                 : nullptr;
}

} // namespace

const Entry *Directory::find(std::uint16_t tag, std::size_t occurrence) const
{
    return byKey(*this, std::uint64_t(tag) << 32 | occurrence);
}

const Entry *Directory::counterpart(const Directory &other, std::size_t at) const
{
    return at < keys.size() ? byKey(other, keys[at]) : nullptr;
}

void Directory::indexEntries()
{
    byTag.clear();
    byTag.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        byTag.emplace_back(std::uint64_t(entries[i].tag) << 32, i);
    // Entries of one tag keep their order: the first is occurrence 0.
    std::stable_sort(
        byTag.begin(), byTag.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    keys.assign(entries.size(), 0);
    for (std::size_t i = 0; i < byTag.size(); ++i) {
        if (i > 0 && (byTag[i].first >> 32) == (byTag[i - 1].first >> 32))
            byTag[i].first = byTag[i - 1].first + 1;
        keys[byTag[i].second] = byTag[i].first;
    }
}

const Directory *ExifInventory::find(std::string_view path) const
{
    const auto found = m_byPath.find(std::string(path));
    return found != m_byPath.end() ? &directories[found->second] : nullptr;
}

void ExifInventory::add(Directory directory)
{
    m_byPath.emplace(directory.path, directories.size());
    directories.push_back(std::move(directory));
}

ExifInventory inventoryOf(const ExifPlace &place, ByteSpan file, ReadBudget &budget,
    std::span<const DecodedNoteValue> decoded, const ExifInventory *original)
{
    ExifInventory inventory;
    Walk(place, file, budget, decoded, original, inventory).run();
    if (inventory.makerNote && inventory.makerNote->reading) {
        // The numbers in the note that are offsets: those of values outside
        // their entries and of what its entries name.
        MakerNote &note = *inventory.makerNote;
        const std::uint64_t end = note.at + note.bytes.size();
        for (const Directory &directory : inventory.directories) {
            if (!inNote(directory.kind))
                continue;
            for (const Entry &entry : directory.entries) {
                if (entry.outOfLine && entry.fieldAt >= note.at && entry.fieldAt + 4 <= end)
                    note.offsets.push_back(entry.fieldAt - note.at);
                if (entry.names == Entry::Names::Nothing || entry.inlined)
                    continue;
                const std::uint64_t unit = entry.type == tags::shortType ? 2 : 4;
                const std::uint64_t first
                    = entry.outOfLine ? offsetIn(place.tiff.all(), entry.value) : entry.fieldAt;
                for (std::uint64_t at = first; at + unit <= first + entry.value.size(); at += unit) {
                    if (at >= note.at && at + unit <= end)
                        note.offsets.push_back(at - note.at);
                }
            }
        }
    }
    if (budget.spent())
        inventory.unreadable = "its Exif cannot be read within the time its size allows";
    return inventory;
}

std::string makerName(const ExifInventory &inventory)
{
    if (inventory.makerNote && inventory.makerNote->reading && inventory.makerNote->reading->layout)
        return std::string(inventory.makerNote->reading->layout->maker);
    std::string make = inventory.make;
    while (!make.empty() && make.back() == ' ')
        make.pop_back();
    const std::size_t space = make.find(' ');
    make = make.substr(0, space);
    if (make.empty())
        return "camera maker's";
    // "KODAK" and "Kodak" alike read "Kodak".
    for (std::size_t i = 1; i < make.size(); ++i)
        make[i] = char(make[i] >= 'A' && make[i] <= 'Z' ? make[i] + 32 : make[i]);
    return make;
}

} // namespace engine::check
