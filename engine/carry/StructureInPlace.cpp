// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/StructureInPlace.h"

#include <exiv2/cr2image.hpp>
#include <exiv2/error.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string>

namespace engine::bridge {

namespace {

constexpr std::size_t entrySize = 12;
// Where a CR2 file's header gives its raw data's directory.
constexpr std::size_t cr2RawDirectoryAt = 12;

using Branch = DirectoryPath::Branch;

[[noreturn]] void cannotPlace(const std::string &why)
{
    throw Exiv2::Error(Exiv2::kerErrorMessage, "the file's structure could not stay where it stands: " + why);
}

bool sameValue(const TiffBytes &a, const TiffEntry &x, const TiffBytes &b, const TiffEntry &y)
{
    if (x.type != y.type || x.count != y.count)
        return false;
    const std::optional<std::span<const Exiv2::byte>> was = a.value(x);
    const std::optional<std::span<const Exiv2::byte>> is = b.value(y);
    return was && is && std::equal(was->begin(), was->end(), is->begin(), is->end());
}

// Where the entry's value lies outside it, within the structure.
std::optional<ByteRange> valueRange(const TiffBytes &tiff, const TiffEntry &entry)
{
    if (!entry.size || entry.inlined() || !tiff.slice(entry.field, *entry.size))
        return std::nullopt;
    return ByteRange { entry.field, std::size_t(entry.field + *entry.size) };
}

ByteRange tableRange(const TiffDirectory &directory)
{
    return { directory.at, directory.end };
}

// An entry of a directory written again: the original's as it stands, a
// pointer to a directory, or the written file's with its value.
struct PlannedEntry
{
    enum class From : std::uint8_t { Original, Pointer, Written } from = From::Original;
    TiffEntry entry;
    // The original's entry it is, where it is one.
    const TiffEntry *was = nullptr;
    std::optional<DirectoryPath> child = {};
    // Its twelve bytes, and a written value that does not fit them, as
    // they stand where it was taken from.
    std::array<Exiv2::byte, entrySize> bytes = {};
    std::vector<Exiv2::byte> value = {};
    // Where that value goes.
    std::size_t valueAt = 0;
};

struct PlannedDirectory
{
    DirectoryPath path;
    const TiffDirectory *was = nullptr;
    const TiffDirectory *is = nullptr;
    std::vector<PlannedEntry> entries;
    bool rewritten = false;
    // Where its entries stand in the finished file.
    std::size_t at = 0;

    std::size_t size() const { return 2 + entries.size() * entrySize + 4; }
};

// What the finished file's directory at path holds: the original's
// entries where the written file's read the same or name data the library
// laid out anew, a pointer where they name a directory, and the written
// file's where its values changed.
PlannedDirectory plan(const PlacedDirectory &written, const std::vector<PlacedDirectory> &originals,
    const TiffBytes &before, const TiffBytes &after)
{
    const TiffDirectory *was = directoryAt(originals, written.path);
    PlannedDirectory planned { written.path, was, &written.directory, {}, false, 0 };
    for (const TiffEntry &entry : written.directory.entries) {
        const TiffEntry *original = was ? was->find(entry.tag) : nullptr;
        const std::optional<DirectoryPath> child = pointedPath(written.path, entry.tag);
        if (child && (!original || directoryAt(originals, *child))) {
            planned.entries.push_back(
                { PlannedEntry::From::Pointer, original ? *original : entry, original, child });
        } else if (child) {
            // A pointer to a directory the original reads by another path
            // (some cameras name the first directory again) stays as it is.
            planned.entries.push_back({ PlannedEntry::From::Original, *original, original });
        } else if (namesLaidOutData(written.path, entry.tag)) {
            if (!original)
                cannotPlace("the library wrote picture data the file does not hold");
            planned.entries.push_back({ PlannedEntry::From::Original, *original, original });
        } else if (original && sameValue(before, *original, after, entry)) {
            planned.entries.push_back({ PlannedEntry::From::Original, *original, original });
        } else {
            if (!entry.size || (!entry.inlined() && !after.value(entry)))
                cannotPlace("the library wrote a value that cannot be read");
            planned.entries.push_back({ PlannedEntry::From::Written, entry });
        }
    }
    for (PlannedEntry &e : planned.entries) {
        const bool fromOriginal = e.from != PlannedEntry::From::Written && e.was;
        const std::span<const Exiv2::byte> from
            = *(fromOriginal ? before : after).slice(e.entry.at, entrySize);
        std::copy(from.begin(), from.end(), e.bytes.begin());
        if (e.from == PlannedEntry::From::Written && !e.entry.inlined()) {
            const std::span<const Exiv2::byte> value = *after.value(e.entry);
            e.value.assign(value.begin(), value.end());
        }
    }
    // Entries the original holds, in its order, need not be written again.
    planned.rewritten = !was || was->entries.size() != planned.entries.size();
    for (std::size_t i = 0; !planned.rewritten && i < planned.entries.size(); ++i)
        planned.rewritten = planned.entries[i].was != &was->entries[i];
    return planned;
}

} // namespace

std::optional<StructureInPlace> StructureInPlace::of(
    std::span<const Exiv2::byte> file, const ImageKind &kind, WalkBudget &budget)
{
    const std::optional<TiffBytes> tiff = kind.tiffBased ? TiffBytes::ofRawFile(file) : std::nullopt;
    if (!tiff)
        return std::nullopt;
    std::vector<PlacedDirectory> directories = libraryDirectories(*tiff, budget);
    if (!directoryAt(directories, { Branch::Chain, 0 })
        || std::any_of(directories.begin(), directories.end(), [](const PlacedDirectory &placed) {
               return placed.directory.entries.size() > mostEntriesTheLibraryReads;
           }))
        return std::nullopt;
    std::optional<std::vector<ByteRange>> inUse = rangesInUse(*tiff, directories, budget);
    if (!inUse)
        return std::nullopt;
    return StructureInPlace(QByteArray(reinterpret_cast<const char *>(file.data()), qsizetype(file.size())),
        std::move(directories), RangesInUse(std::move(*inUse)), kind.imageType == Exiv2::ImageType::cr2);
}

QByteArray StructureInPlace::place(
    std::span<Exiv2::byte> read, std::span<const Exiv2::byte> written, WalkBudget &budget)
{
    const std::span<const Exiv2::byte> original(
        reinterpret_cast<const Exiv2::byte *>(m_original.constData()), std::size_t(m_original.size()));
    const TiffBytes before = *TiffBytes::ofRawFile(original);
    const std::optional<TiffBytes> after = TiffBytes::ofRawFile(written);
    if (!after || after->order() != before.order())
        cannotPlace("the library wrote it in another byte order");
    const Exiv2::ByteOrder order = before.order();
    const std::vector<PlacedDirectory> writtenDirectories = libraryDirectories(*after, budget);
    if (!directoryAt(writtenDirectories, { Branch::Chain, 0 }))
        cannotPlace("the library's first directory cannot be read");

    std::vector<PlannedDirectory> planned;
    const auto plannedAt = [&](const DirectoryPath &path) -> const PlannedDirectory * {
        const auto found = std::find_if(
            planned.begin(), planned.end(), [&](const PlannedDirectory &p) { return p.path == path; });
        return found != planned.end() ? &*found : nullptr;
    };
    // A directory counts where the finished file's pointer leads to it;
    // its parent comes before it.
    const auto pointedTo = [&](const DirectoryPath &path) {
        return std::any_of(planned.begin(), planned.end(), [&](const PlannedDirectory &p) {
            return std::any_of(p.entries.begin(), p.entries.end(), [&](const PlannedEntry &e) {
                return e.from == PlannedEntry::From::Pointer && e.child == path;
            });
        });
    };
    for (const PlacedDirectory &placed : writtenDirectories) {
        if (placed.path.branch == Branch::Chain && !directoryAt(m_directories, placed.path))
            cannotPlace("the library wrote a page the file does not hold");
        if (placed.path.branch == Branch::Chain || pointedTo(placed.path))
            planned.push_back(plan(placed, m_directories, before, *after));
    }

    // What the change leaves unread: the entries of directories written
    // again, and the values their new entries replace or drop; the
    // directories whose pointers went with what a clear took.
    std::vector<ByteRange> takenBack;
    const auto takeBack = [&](std::optional<ByteRange> range) {
        if (range && m_inUse.alone(*range))
            takenBack.push_back(*range);
    };
    for (const PlannedDirectory &p : planned) {
        if (!p.was || !p.rewritten)
            continue;
        takeBack(tableRange(*p.was));
        for (const TiffEntry &entry : p.was->entries) {
            if (std::none_of(p.entries.begin(), p.entries.end(),
                    [&](const PlannedEntry &e) { return e.was == &entry; }))
                takeBack(valueRange(before, entry));
        }
    }
    for (const PlacedDirectory &placed : m_directories) {
        if (placed.path.branch == Branch::Chain || plannedAt(placed.path))
            continue;
        takeBack(tableRange(placed.directory));
        for (const TiffEntry &entry : placed.directory.entries)
            takeBack(valueRange(before, entry));
    }

    // Each directory written again, and each value of its own, goes where
    // the one it replaces stood when it fits there, else after the end.
    std::size_t end = original.size();
    std::vector<bool> claimed(takenBack.size(), false);
    const auto claim = [&](std::optional<ByteRange> old, std::size_t size) {
        for (std::size_t i = 0; old && i < takenBack.size(); ++i) {
            if (!claimed[i] && takenBack[i].start == old->start && takenBack[i].end == old->end
                && size <= old->end - old->start) {
                claimed[i] = true;
                return old->start;
            }
        }
        end += end & 1; // values start on a word boundary
        const std::size_t at = end;
        end += size;
        return at;
    };
    for (PlannedDirectory &p : planned) {
        if (!p.rewritten)
            continue;
        p.at = claim(p.was ? std::optional(tableRange(*p.was)) : std::nullopt, p.size());
        for (PlannedEntry &e : p.entries) {
            if (e.from != PlannedEntry::From::Written || e.entry.inlined())
                continue;
            const TiffEntry *old = p.was ? p.was->find(e.entry.tag) : nullptr;
            e.valueAt = claim(old ? valueRange(before, *old) : std::nullopt, std::size_t(*e.entry.size));
        }
    }
    if (end > std::numeric_limits<uint32_t>::max())
        cannotPlace("it would grow past the most a TIFF file's offsets reach");

    // Where each directory stands in the finished file.
    const auto finalAt = [&](const DirectoryPath &path) -> std::optional<std::size_t> {
        if (const PlannedDirectory *p = plannedAt(path))
            return p->rewritten ? p->at : p->was->at;
        const TiffDirectory *was = directoryAt(m_directories, path);
        return was ? std::optional(was->at) : std::nullopt;
    };
    const auto nextOf = [&](const PlannedDirectory &p) -> uint32_t {
        const DirectoryPath next { Branch::Chain, std::uint8_t(p.path.page + 1) };
        if (p.path.branch == Branch::Chain && directoryAt(m_directories, next))
            return uint32_t(*finalAt(next));
        return p.was ? p.was->next : 0;
    };

    // Where the header names the first directory, and a CR2 file's the raw
    // data's.
    const std::optional<uint32_t> firstNamed = before.firstDirectory();
    const std::optional<uint32_t> rawNamed = m_cr2 ? before.uint32At(cr2RawDirectoryAt) : std::nullopt;

    // The bytes the library read are the original's again; the written
    // file, which may be those same bytes, and the original's kept apart,
    // which become the finished file's, are not read from here on.
    if (read.size() == original.size() && read.data() != original.data())
        std::copy(original.begin(), original.end(), read.begin());
    QByteArray finished = std::move(m_original);
    finished.resize(qsizetype(end), '\0');
    Exiv2::byte *out = reinterpret_cast<Exiv2::byte *>(finished.data());
    for (const ByteRange &range : takenBack)
        std::memset(out + range.start, 0, range.end - range.start);
    const auto setNumber
        = [&](std::size_t at, std::size_t number) { Exiv2::ul2Data(out + at, uint32_t(number), order); };

    for (const PlannedDirectory &p : planned) {
        if (!p.rewritten) {
            // Its entries stand; a pointer in them follows a directory
            // that moved.
            for (const PlannedEntry &e : p.entries) {
                const std::optional<std::size_t> child = e.child ? finalAt(*e.child) : std::nullopt;
                if (e.child && !child)
                    cannotPlace("a directory the library wrote cannot be read");
                if (child && *child != e.entry.field)
                    setNumber(e.entry.fieldAt(), *child);
            }
            if (p.path.branch == Branch::Chain && nextOf(p) != p.was->next)
                setNumber(p.was->end - 4, nextOf(p));
            continue;
        }
        Exiv2::byte *table = out + p.at;
        Exiv2::us2Data(table, uint16_t(p.entries.size()), order);
        for (std::size_t i = 0; i < p.entries.size(); ++i) {
            const PlannedEntry &e = p.entries[i];
            Exiv2::byte *slot = table + 2 + i * entrySize;
            std::copy(e.bytes.begin(), e.bytes.end(), slot);
            if (e.from == PlannedEntry::From::Pointer) {
                const std::optional<std::size_t> child = finalAt(*e.child);
                if (!child)
                    cannotPlace("a directory the library wrote cannot be read");
                setNumber(std::size_t(slot + 8 - out), *child);
            } else if (!e.value.empty()) {
                setNumber(std::size_t(slot + 8 - out), e.valueAt);
                std::copy(e.value.begin(), e.value.end(), out + e.valueAt);
            }
        }
        setNumber(p.at + 2 + p.entries.size() * entrySize, nextOf(p));
    }

    const std::size_t first = *finalAt({ Branch::Chain, 0 });
    if (first != firstNamed)
        setNumber(4, first);
    const TiffDirectory *raw = directoryAt(m_directories, { Branch::Chain, 3 });
    if (raw && rawNamed == raw->at)
        setNumber(cr2RawDirectoryAt, *finalAt({ Branch::Chain, 3 }));
    return finished;
}

} // namespace engine::bridge
