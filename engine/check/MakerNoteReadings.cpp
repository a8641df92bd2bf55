// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/check/MakerNoteReadings.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

namespace engine::check {

namespace {

using namespace std::string_view_literals;
using Start = NoteLayout::Start;

// Olympus notes and their kin keep further directories (equipment, camera
// settings, raw development, image processing, focus, ...) and name a
// preview in the first or in the camera settings.
constexpr NoteSubDirectory olympusDirectories[] = { { 0x2010 }, { 0x2020 }, { 0x2030 }, { 0x2031 },
    { 0x2040 }, { 0x2050 }, { 0x3000 }, { 0x4000 }, { 0x5000 } };
constexpr NoteBlock olympusBlocks[] = { { 0, 0x0088, 0x0089 }, { 0x2020, 0x0101, 0x0102 } };
// A Nikon note's preview directory, which names its picture as a TIFF
// directory does.
constexpr NoteSubDirectory nikonDirectories[] = { { 0x0011 } };
// A Ricoh note's camera information, after a header of its own.
constexpr NoteSubDirectory ricohDirectories[] = { { 0x2001, "[Ricoh Camera Info]", 20 } };
// A Canon note's original decision data, which says its own length.
constexpr NoteBlock canonBlocks[] = { { 0, 0x0083, 0, true } };
constexpr NoteBlock nikonBlocks[] = { { 0x0011, 0x0201, 0x0202 } };
constexpr NoteBlock pentaxBlocks[] = { { 0, 0x0004, 0x0003 } };
constexpr NoteBlock casioBlocks[] = { { 0, 0x0004, 0x0003 } };
constexpr NoteBlock minoltaBlocks[] = { { 0, 0x0088, 0x0089 } };
constexpr NoteBlock sigmaBlocks[] = { { 0, 0x001a, 0x001b } };

constexpr NoteLayout layouts[] = {
    { "Nikon", "Nikon\0\2"sv, {}, Start::InnerHeader, 10, NoteBase::InnerHeader, {}, false, false,
        nikonDirectories, nikonBlocks },
    { "Nikon", "Nikon\0\1"sv, {}, Start::Fixed, 8, NoteBase::Tiff, {}, false, false, nikonDirectories,
        nikonBlocks },
    { "Olympus", "OLYMPUS\0"sv, {}, Start::Fixed, 12, NoteBase::NoteStart, 8, false, false,
        olympusDirectories, olympusBlocks },
    { "Olympus", "OM SYSTEM\0"sv, {}, Start::Fixed, 16, NoteBase::NoteStart, 12, false, false,
        olympusDirectories, olympusBlocks },
    { "Olympus", "OLYMP\0"sv, {}, Start::Fixed, 8, NoteBase::Tiff, {}, false, false, olympusDirectories,
        olympusBlocks },
    { "Epson", "EPSON\0"sv, {}, Start::Fixed, 8, NoteBase::Tiff, {}, false, false, olympusDirectories,
        olympusBlocks },
    { "Minolta", "MINOL\0"sv, {}, Start::Fixed, 8, NoteBase::Tiff, {}, false, false, olympusDirectories,
        olympusBlocks },
    { "Fujifilm", "FUJIFILM"sv, {}, Start::LittleOffset, 8, NoteBase::NoteStart, {}, true },
    { "General Imaging", "GENERALE"sv, {}, Start::LittleOffset, 8, NoteBase::NoteStart, {}, true },
    { "General Imaging", "GE\0\0"sv, {}, Start::InnerHeader, 10, NoteBase::InnerHeader },
    { "Pentax", "AOC\0"sv, {}, Start::Fixed, 6, NoteBase::Tiff, 4, false, false, {}, pentaxBlocks },
    { "Pentax", "PENTAX \0"sv, {}, Start::Fixed, 10, NoteBase::NoteStart, 8, false, false, {}, pentaxBlocks },
    { "Panasonic", "Panasonic\0\0\0"sv, {}, Start::Fixed, 12 },
    { "Sony", "SONY DSC \0\0\0"sv, {}, Start::Fixed, 12 },
    { "Sony", "SONY CAM \0\0\0"sv, {}, Start::Fixed, 12 },
    { "Sigma", "SIGMA\0\0\0"sv, {}, Start::Fixed, 10, NoteBase::Tiff, {}, false, false, {}, sigmaBlocks },
    { "Sigma", "FOVEON\0\0"sv, {}, Start::Fixed, 10, NoteBase::Tiff, {}, false, false, {}, sigmaBlocks },
    { "Sanyo", "SANYO\0"sv, {}, Start::Fixed, 8 },
    { "Casio", "QVC\0"sv, {}, Start::Fixed, 6, NoteBase::Tiff, {}, false, false, {}, casioBlocks },
    { "JVC", "JVC "sv, {}, Start::Fixed, 4 },
    { "Ricoh", "RICOH\0"sv, {}, Start::Fixed, 8, NoteBase::Tiff, {}, false, false, ricohDirectories },
    { "Ricoh", "Ricoh"sv, {}, Start::Fixed, 8, NoteBase::Tiff, {}, false, false, ricohDirectories },
    { "Motorola", "MOT\0"sv, {}, Start::Fixed, 8, NoteBase::NoteStart },
    { "Apple", "Apple iOS\0"sv, {}, Start::Fixed, 14, NoteBase::NoteStart, 12 },
    { "Kodak", "KDK"sv, {}, Start::None },
    // Bare directories, told by the camera's make.
    { "Canon", {}, "Canon"sv, Start::Fixed, 0, NoteBase::Tiff, {}, false, true, {}, canonBlocks },
    { "Minolta", {}, "Minolta"sv, Start::Fixed, 0, NoteBase::Tiff, {}, false, false, {}, minoltaBlocks },
    { "Minolta", {}, "Konica Minolta"sv, Start::Fixed, 0, NoteBase::Tiff, {}, false, false, {},
        minoltaBlocks },
    { "Casio", {}, "Casio"sv },
    { "Nikon", {}, "Nikon"sv, Start::Fixed, 0, NoteBase::Tiff, {}, false, false, nikonDirectories,
        nikonBlocks },
    { "Sony", {}, "Sony"sv },
    { "FLIR", {}, "FLIR"sv },
    { "Pentax", {}, "Pentax"sv, Start::Fixed, 0, NoteBase::Tiff, {}, false, false, {}, pentaxBlocks },
    { "Pentax", {}, "Asahi"sv, Start::Fixed, 0, NoteBase::Tiff, {}, false, false, {}, pentaxBlocks },
    { "Samsung", {}, "Samsung"sv, Start::Fixed, 0, NoteBase::NoteStart },
};

bool startsWithFolded(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size()
        && std::equal(prefix.begin(), prefix.end(), text.begin(),
            [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

std::optional<Order> orderMark(ByteView bytes, std::uint64_t at)
{
    if (bytes.holds("II", at))
        return Order::Little;
    if (bytes.holds("MM", at))
        return Order::Big;
    return std::nullopt;
}

Order other(Order order)
{
    return order == Order::Little ? Order::Big : Order::Little;
}

// One entry as a trial reading finds it.
struct TrialEntry
{
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    // Its value, where it lies outside the entry.
    std::optional<std::int64_t> valueAt = {};
    ByteSpan inlineValue = {};
    std::uint64_t size = 0;
};

// How well a trial reading's values lie: all within the note, all within
// the Exif, all within the file; or some nowhere.
enum class Fit : std::uint8_t { InNote, InStructure, InFile, Nowhere };

struct Trial
{
    NoteReading reading;
    Fit fit = Fit::Nowhere;
    std::vector<TrialEntry> entries;
    // Whether the layout itself gives this reading, rather than a guess.
    bool primary = false;
};

// The entries of the directory at the reading's start, where each is of a
// type TIFF defines and the table lies within the note.
std::optional<std::vector<TrialEntry>> trialEntries(
    const NotePlace &place, std::uint64_t directoryAt, Order order, ReadBudget &budget)
{
    const std::optional<std::uint16_t> count = place.note.u16(directoryAt, order);
    if (!count || *count == 0 || !place.note.span(directoryAt, 2 + 12 * std::uint64_t(*count))
        || !budget.spend(2 + 12 * std::uint64_t(*count)))
        return std::nullopt;
    std::vector<TrialEntry> entries;
    entries.reserve(*count);
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::uint64_t at = directoryAt + 2 + 12 * std::uint64_t(i);
        TrialEntry entry { *place.note.u16(at, order), *place.note.u16(at + 2, order),
            *place.note.u32(at + 4, order) };
        const std::uint64_t unit = typeSize(entry.type);
        if (unit == 0)
            return std::nullopt;
        entry.size = unit * entry.count;
        if (entry.size <= 4)
            entry.inlineValue = *place.note.span(at + 8, entry.size);
        else
            entry.valueAt = std::int64_t(*place.note.u32(at + 8, order));
        entries.push_back(entry);
    }
    return entries;
}

Fit fitOf(
    const NotePlace &place, std::int64_t base, std::uint64_t directoryAt, std::vector<TrialEntry> &entries)
{
    const std::int64_t noteAt = std::int64_t(place.noteAt);
    const std::int64_t tableStart = noteAt + std::int64_t(directoryAt);
    const std::int64_t tableEnd = tableStart + 2 + 12 * std::int64_t(entries.size());
    Fit fit = Fit::InNote;
    for (const TrialEntry &entry : entries) {
        if (!entry.valueAt)
            continue;
        const std::int64_t start = base + *entry.valueAt;
        const std::int64_t end = start + std::int64_t(entry.size);
        if (start < tableEnd && end > tableStart)
            return Fit::Nowhere;
        Fit here = Fit::Nowhere;
        if (start >= noteAt && end <= noteAt + std::int64_t(place.note.size()))
            here = Fit::InNote;
        else if (start >= 0 && end <= std::int64_t(place.structure.size()))
            here = Fit::InStructure;
        else if (start >= place.fileStart && end <= place.fileEnd)
            here = Fit::InFile;
        fit = std::max(fit, here);
        if (fit == Fit::Nowhere)
            return fit;
    }
    return fit;
}

// The value bytes of an entry as the reading finds them, in little-endian
// order, as the library hands its own over.
std::vector<Byte> littleEndianValue(
    const NotePlace &place, std::int64_t base, const TrialEntry &entry, Order order)
{
    ByteSpan bytes = entry.inlineValue;
    if (entry.valueAt) {
        const std::int64_t at = base + *entry.valueAt;
        const std::optional<ByteSpan> found
            = at >= 0 ? place.structure.span(std::uint64_t(at), entry.size) : std::nullopt;
        if (!found)
            return {};
        bytes = *found;
    }
    std::vector<Byte> value(bytes.begin(), bytes.end());
    const std::uint64_t unit = entry.type == 5 || entry.type == 10 ? 4 : typeSize(entry.type);
    if (order == Order::Big && unit > 1) {
        for (std::size_t at = 0; at + unit <= value.size(); at += unit)
            std::reverse(value.begin() + long(at), value.begin() + long(at + unit));
    }
    return value;
}

// Whether the library's decoding agrees with the trial: some of the
// values whose place the reading decides read the same in both, and none
// reads otherwise.
bool libraryAgrees(const NotePlace &place, const Trial &trial, std::span<const DecodedNoteValue> decoded)
{
    const std::optional<std::int64_t> base = baseOf(trial.reading, place.note, place.noteAt);
    if (!base || decoded.empty())
        return false;
    int same = 0;
    for (const TrialEntry &entry : trial.entries) {
        if (!entry.valueAt)
            continue;
        bool found = false;
        bool equal = false;
        const std::vector<Byte> value = littleEndianValue(place, *base, entry, trial.reading.order);
        for (const DecodedNoteValue &library : decoded) {
            if (library.tag != entry.tag || library.type != entry.type || library.count != entry.count)
                continue;
            found = true;
            equal = equal || library.bytes == value;
        }
        if (found && !equal)
            return false;
        same += equal ? 1 : 0;
    }
    return same > 0;
}

bool sameValues(const NotePlace &place, const Trial &a, const Trial &b)
{
    const std::optional<std::int64_t> baseA = baseOf(a.reading, place.note, place.noteAt);
    const std::optional<std::int64_t> baseB = baseOf(b.reading, place.note, place.noteAt);
    if (!baseA || !baseB || a.entries.size() != b.entries.size())
        return false;
    for (std::size_t i = 0; i < a.entries.size(); ++i) {
        const TrialEntry &x = a.entries[i];
        const TrialEntry &y = b.entries[i];
        if (x.tag != y.tag || x.type != y.type || x.count != y.count
            || littleEndianValue(place, *baseA, x, a.reading.order)
                != littleEndianValue(place, *baseB, y, b.reading.order))
            return false;
    }
    return true;
}

// Whether entries read where no layout says a directory starts are plainly
// one: more than one, in the order of their tags.
bool plainlyADirectory(const std::vector<TrialEntry> &entries)
{
    return entries.size() >= 2
        && std::adjacent_find(entries.begin(), entries.end(),
               [](const TrialEntry &a, const TrialEntry &b) { return a.tag >= b.tag; })
        == entries.end();
}

// The readings to try: the layout's own first, then every order and base
// it could have been given by a guess; for a note of no known layout, a
// directory at each of the first even offsets, bare or after a header of
// its maker's.
std::vector<NoteReading> readingsToTry(const NotePlace &place, const NoteLayout *layout, Order fileOrder)
{
    std::vector<NoteReading> readings;
    const auto add = [&](NoteReading reading) {
        if (std::find(readings.begin(), readings.end(), reading) == readings.end())
            readings.push_back(reading);
    };
    std::vector<NoteBase> bases { NoteBase::Tiff, NoteBase::NoteStart };
    if (footerOffset(place.note))
        bases.push_back(NoteBase::Footer);
    if (layout) {
        NoteReading own { layout, layout->at, fileOrder, layout->base };
        if (layout->littleEndian)
            own.order = Order::Little;
        if (layout->orderMark)
            own.order = orderMark(place.note, *layout->orderMark).value_or(fileOrder);
        if (layout->start == Start::InnerHeader) {
            const std::optional<Order> inner = orderMark(place.note, layout->at);
            const std::optional<std::uint32_t> first
                = inner ? place.note.u32(layout->at + 4, *inner) : std::nullopt;
            if (!first)
                return readings;
            own = { layout, layout->at + std::uint64_t(*first), *inner, layout->base, layout->at };
            bases.push_back(NoteBase::InnerHeader);
        } else if (layout->start == Start::LittleOffset) {
            const std::optional<std::uint32_t> first = place.note.u32(layout->at, Order::Little);
            if (!first)
                return readings;
            own.directoryAt = *first;
        }
        if (own.base == NoteBase::Tiff && layout->footer && footerOffset(place.note))
            own.base = NoteBase::Footer;
        add(own);
        for (const Order order : { own.order, other(own.order) }) {
            for (const NoteBase base : bases)
                add({ layout, own.directoryAt, order, base, own.innerAt });
        }
        return readings;
    }
    for (std::uint64_t at = 0; at <= 32 && at + 2 <= place.note.size(); at += 2) {
        for (const Order order : { fileOrder, other(fileOrder) }) {
            for (const NoteBase base : bases)
                add({ nullptr, at, order, base });
            if (at > 0)
                add({ nullptr, at, order, NoteBase::InnerHeader, at });
        }
    }
    return readings;
}

} // namespace

std::uint64_t typeSize(std::uint16_t type)
{
    switch (type) {
    case 1: // byte
    case 2: // ascii
    case 6: // signed byte
    case 7: // undefined
        return 1;
    case 3: // short
    case 8: // signed short
        return 2;
    case 4: // long
    case 9: // signed long
    case 11: // float
    case 13: // directory
        return 4;
    case 5: // rational
    case 10: // signed rational
    case 12: // double
        return 8;
    default:
        return 0;
    }
}

const NoteLayout *noteLayout(ByteView note, std::string_view make)
{
    const auto found = std::find_if(std::begin(layouts), std::end(layouts), [&](const NoteLayout &layout) {
        return layout.signature.empty() ? startsWithFolded(make, layout.make) : note.holds(layout.signature);
    });
    return found != std::end(layouts) ? &*found : nullptr;
}

std::optional<std::uint32_t> footerOffset(ByteView note)
{
    if (note.size() < 8)
        return std::nullopt;
    const std::uint64_t at = note.size() - 8;
    if (note.holds(std::string_view("II*\0", 4), at))
        return note.u32(at + 4, Order::Little);
    if (note.holds(std::string_view("MM\0*", 4), at))
        return note.u32(at + 4, Order::Big);
    return std::nullopt;
}

std::optional<std::int64_t> baseOf(const NoteReading &reading, ByteView note, std::uint64_t noteAt)
{
    switch (reading.base) {
    case NoteBase::Tiff:
        return 0;
    case NoteBase::NoteStart:
        return std::int64_t(noteAt);
    case NoteBase::InnerHeader:
        return std::int64_t(noteAt + reading.innerAt);
    case NoteBase::Footer:
        if (const std::optional<std::uint32_t> footer = footerOffset(note))
            return std::int64_t(noteAt) - std::int64_t(*footer);
        return std::nullopt;
    }
    return std::nullopt;
}

NoteChoice chooseReading(const NotePlace &place, std::string_view make,
    std::span<const DecodedNoteValue> decoded, ReadBudget &budget)
{
    const NoteLayout *layout = noteLayout(place.note, make);
    if (layout && layout->start == Start::None)
        return {};
    const Order fileOrder = place.structure.holds("MM") ? Order::Big : Order::Little;
    std::vector<Trial> trials;
    const std::vector<NoteReading> readings = readingsToTry(place, layout, fileOrder);
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const NoteReading &reading = readings[i];
        std::optional<std::vector<TrialEntry>> entries
            = trialEntries(place, reading.directoryAt, reading.order, budget);
        const std::optional<std::int64_t> base = baseOf(reading, place.note, place.noteAt);
        if (!entries || !base || (!layout && !plainlyADirectory(*entries)))
            continue;
        const Fit fit = fitOf(place, *base, reading.directoryAt, *entries);
        // Values that merely lie somewhere in the file bear out no guess:
        // a reading its layout does not give must find them all in the
        // note itself, as a maker's directory holds them.
        const bool primary = layout && i == 0;
        if (fit == Fit::InNote || (primary && fit != Fit::Nowhere))
            trials.push_back({ reading, fit, std::move(*entries), primary });
        // The layout's own reading with every value in the note settles it.
        if (primary && fit == Fit::InNote)
            break;
    }
    if (budget.spent())
        return { std::nullopt, "its maker note cannot be read within the time its size allows" };
    if (trials.empty()) {
        if (layout)
            return { std::nullopt, "its maker note cannot be read whole" };
        return {};
    }
    // The readings whose values lie best; the layout's own among them
    // settles it, else the only one, else the one whose values all the
    // others read too, else the one the library's decoding agrees with.
    const Fit best = std::min_element(trials.begin(), trials.end(), [](const Trial &a, const Trial &b) {
        return a.fit < b.fit;
    })->fit;
    std::erase_if(trials, [&](const Trial &trial) { return trial.fit != best; });
    const auto primary
        = std::find_if(trials.begin(), trials.end(), [&](const Trial &trial) { return trial.primary; });
    if (primary != trials.end())
        return { primary->reading };
    if (std::all_of(trials.begin(), trials.end(),
            [&](const Trial &trial) { return sameValues(place, trials.front(), trial); }))
        return { trials.front().reading };
    std::erase_if(trials, [&](const Trial &trial) { return !libraryAgrees(place, trial, decoded); });
    if (trials.size() == 1)
        return { trials.front().reading };
    return { std::nullopt, "its maker note could be read in more than one way, and nothing tells which" };
}

} // namespace engine::check
