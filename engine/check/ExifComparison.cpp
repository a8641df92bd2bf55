// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/check/ExifComparison.h"

#include "engine/check/ExifTags.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace engine::check {

namespace {

bool inNote(const Directory &directory)
{
    return directory.kind == DirectoryKind::MakerNote || directory.kind == DirectoryKind::NoteDirectory;
}

std::string hex(std::uint16_t tag)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", tag);
    return text;
}

// Whether two values of one type read the same, each in its own byte
// order: a write may turn the whole Exif into the other.
bool sameValue(const Entry &a, Order aOrder, const Entry &b, Order bOrder)
{
    const std::uint64_t unit = a.type == 5 || a.type == 10 ? 4 : typeSize(a.type);
    if (aOrder == bOrder || a.value.size() != b.value.size() || unit <= 1)
        return sameBytes(a.value, b.value);
    for (std::size_t at = 0; at < a.value.size(); at += std::size_t(unit)) {
        for (std::size_t i = 0; i < unit && at + i < a.value.size(); ++i) {
            if (a.value[at + i] != b.value[at + std::size_t(unit) - 1 - i])
                return false;
        }
    }
    return true;
}

class Comparison
{
public:
    Comparison(const ExifInventory &was, const ExifInventory &is, const WhatMayChange &allowed, Format format)
        : m_was(was)
        , m_is(is)
        , m_allowed(allowed)
        , m_tiff(format == Format::Tiff)
    { }

    std::optional<std::string> difference() const;

private:
    std::string directoryName(const Directory &directory) const;
    std::string lost(const Directory &directory) const;
    std::string entryName(const Directory &directory, const Entry &entry) const;
    std::optional<std::string> entryDifference(
        const Directory &directory, const Entry &was, const Directory &now, const Entry &is) const;
    std::optional<std::string> noteDifference() const;
    std::optional<std::string> directoryDifference(const Directory &was, const Directory &is) const;

    const ExifInventory &m_was;
    const ExifInventory &m_is;
    const WhatMayChange &m_allowed;
    bool m_tiff = false;
};

std::string Comparison::directoryName(const Directory &directory) const
{
    switch (directory.kind) {
    case DirectoryKind::Page:
        if (m_tiff && m_was.pages > 1)
            return "page " + std::to_string(directory.page) + "'s directory";
        return directory.page == 1           ? "first directory"
            : directory.page == 2 && !m_tiff ? "thumbnail's directory"
                                             : "further directory";
    case DirectoryKind::SubImage:
        return "sub-image's directory";
    case DirectoryKind::Exif:
        return "Exif directory";
    case DirectoryKind::Gps:
        return "GPS directory";
    case DirectoryKind::Interoperability:
        return "interoperability directory";
    case DirectoryKind::MakersOwn:
        return makerName(m_was) + " directory";
    case DirectoryKind::MakerNote:
    case DirectoryKind::NoteDirectory:
        return "maker note";
    case DirectoryKind::RawHeader:
        return "raw file's header";
    }
    return "Exif";
}

std::string Comparison::lost(const Directory &directory) const
{
    switch (directory.kind) {
    case DirectoryKind::Page:
        if (m_tiff)
            return "page " + std::to_string(directory.page) + " of " + std::to_string(m_was.pages)
                + " would be lost";
        return directory.page == 1 ? "its Exif would be lost"
            : directory.page == 2  ? "its thumbnail would be lost"
                                   : "a further directory of its Exif would be lost";
    case DirectoryKind::SubImage:
        return "a picture it holds beside the main one would be lost";
    case DirectoryKind::Exif:
        return "its Exif directory would be lost";
    case DirectoryKind::Gps:
        return "its GPS position would be lost";
    case DirectoryKind::Interoperability:
        return "its interoperability directory would be lost";
    case DirectoryKind::MakersOwn:
        return "a " + makerName(m_was) + " directory would no longer be found";
    case DirectoryKind::MakerNote:
        return "its maker note would no longer be found";
    case DirectoryKind::NoteDirectory:
        return "a directory of its maker note would no longer be found";
    case DirectoryKind::RawHeader:
        return "its raw picture would no longer be found";
    }
    return "its Exif would be lost";
}

std::string Comparison::entryName(const Directory &directory, const Entry &entry) const
{
    if (entry.names == Entry::Names::MakerNote)
        return "its maker note";
    if (entry.names == Entry::Names::Blocks) {
        if (inNote(directory))
            return "a preview its maker note names";
        if (!m_tiff || entry.tag == tags::thumbnail)
            return "its thumbnail";
        if (directory.kind == DirectoryKind::SubImage)
            return "a picture it holds beside the main one";
        return directory.page == 1 ? "its picture" : "the picture of page " + std::to_string(directory.page);
    }
    if (inNote(directory))
        return "its maker note's value " + hex(entry.tag);
    return "the value " + hex(entry.tag) + " of its " + directoryName(directory);
}

std::optional<std::string> Comparison::entryDifference(
    const Directory &directory, const Entry &was, const Directory &now, const Entry &is) const
{
    const auto changes = [&] { return entryName(directory, was) + " would change"; };
    // Where the numbers are offsets, what they name matters, not their type.
    const bool offsets = was.names == Entry::Names::Directories || was.names == Entry::Names::Blocks;
    if (was.names == Entry::Names::Directories && is.names != was.names) {
        const Directory *named = m_was.find(was.directories.front());
        return named ? lost(*named) : changes();
    }
    if ((was.type != is.type && !offsets) || was.names != is.names)
        return changes();
    if (was.names == Entry::Names::MakerNote)
        return noteDifference();
    if (was.count != is.count)
        return changes();
    switch (was.names) {
    case Entry::Names::Nothing:
    case Entry::Names::MakerNote:
        if (!sameValue(was, directory.order, is, now.order) && !m_allowed.mayDifferUnnamed(directory, was))
            return changes();
        return std::nullopt;
    case Entry::Names::Directories:
        for (std::size_t i = 0; i < was.directories.size(); ++i) {
            if (i >= is.directories.size() || is.directories[i] != was.directories[i]) {
                const Directory *named = m_was.find(was.directories[i]);
                return named ? lost(*named) : changes();
            }
        }
        return std::nullopt;
    case Entry::Names::Blocks:
        if (was.blocks.size() != is.blocks.size() || was.inNote != is.inNote)
            return changes();
        for (std::size_t i = 0; i < was.blocks.size(); ++i) {
            if (!sameBytes(was.blocks[i], is.blocks[i]))
                return changes();
        }
        return std::nullopt;
    }
    return changes();
}

// The note's bytes read the same but for the numbers in it that are
// offsets, and its footer still tells how far its offsets are off.
std::optional<std::string> Comparison::noteDifference() const
{
    if (!m_was.makerNote)
        return std::nullopt;
    if (m_was.makerNote->unreadable)
        return m_was.makerNote->unreadable;
    if (!m_is.makerNote)
        return std::string("its maker note would no longer be found");
    const MakerNote &was = *m_was.makerNote;
    const MakerNote &is = *m_is.makerNote;
    const std::string differs = "its maker note would no longer read the same";
    if (!was.reading)
        return sameBytes(was.bytes, is.bytes) ? std::nullopt : std::optional<std::string>(differs);
    if (is.bytes.size() < was.bytes.size() || was.footerDistance != is.footerDistance)
        return differs;
    std::vector<bool> masked(was.bytes.size(), false);
    for (const std::vector<std::uint64_t> *offsets : { &was.offsets, &is.offsets }) {
        for (const std::uint64_t at : *offsets) {
            for (std::uint64_t i = at; i < at + 4 && i < masked.size(); ++i)
                masked[i] = true;
        }
    }
    for (std::size_t i = 0; i < was.bytes.size(); ++i) {
        if (!masked[i] && was.bytes[i] != is.bytes[i])
            return differs;
    }
    return std::nullopt;
}

std::optional<std::string> Comparison::directoryDifference(const Directory &was, const Directory &is) const
{
    for (std::size_t i = 0; i < was.entries.size(); ++i) {
        const Entry &entry = was.entries[i];
        const Entry *now = was.counterpart(is, i);
        if (now && !entryDifference(was, entry, is, *now))
            continue;
        if (m_allowed.mayChange(was, entry))
            continue;
        if (!now)
            return entryName(was, entry) + " would be lost";
        return entryDifference(was, entry, is, *now);
    }
    for (std::size_t i = 0; i < is.entries.size(); ++i) {
        if (!is.counterpart(was, i)) {
            if (std::optional<std::string> why = m_allowed.refusesAdded(is, is.entries[i]))
                return why;
        }
    }
    return std::nullopt;
}

std::optional<std::string> Comparison::difference() const
{
    for (const Directory &was : m_was.directories) {
        const Directory *is = m_is.find(was.path);
        if (!is) {
            if (!m_allowed.mayVanish(was))
                return lost(was);
            continue;
        }
        if (std::optional<std::string> why = directoryDifference(was, *is))
            return why;
    }
    for (const Directory &is : m_is.directories) {
        if (m_was.find(is.path))
            continue;
        for (const Entry &entry : is.entries) {
            if (std::optional<std::string> why = m_allowed.refusesAdded(is, entry))
                return why;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> exifDifference(
    const ExifInventory &was, const ExifInventory &is, const WhatMayChange &allowed, Format format)
{
    return Comparison(was, is, allowed, format).difference();
}

} // namespace engine::check
