// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/check/WhatMayChange.h"

#include "engine/check/ExifTags.h"

#include <algorithm>
#include <iterator>

namespace engine::check {

namespace {

// What a TIFF's page needs for its picture to be read, which a clean of
// the general Exif keeps: its size, samples and their layout, strips and
// tiles, resolution, colour, sub-images, and the DNG tags.
constexpr std::uint16_t pictureNeeds[] = { 0x00fe, 0x0100, 0x0101, 0x0102, 0x0103, 0x0106, 0x0111, 0x0115,
    0x0116, 0x0117, 0x011a, 0x011b, 0x011c, 0x0128, 0x013d, 0x0140, 0x0142, 0x0143, 0x0144, 0x0145, 0x014a,
    0x0152, 0x0153, 0x015b, 0x0201, 0x0202, 0x0211, 0x0212, 0x0213, 0x0214, 0x828d, 0x828e, 0x8773 };
constexpr std::uint16_t firstDngTag = tags::dngVersion;
constexpr std::uint16_t lastDngTag = 0xc7ff;

// What the Exif directory says of the picture, which goes with the rest of
// the directory; what a first directory outside TIFF says of it, which
// goes with the rest of the Exif.
constexpr std::uint16_t exifPictureTags[]
    = { 0x9000, 0xa000, 0xa001, 0xa002, 0xa003, 0x9101, 0xa500, 0xa005 };
constexpr std::uint16_t pagePictureTags[]
    = { 0x011a, 0x011b, 0x0128, 0x012d, 0x013e, 0x013f, 0x0211, 0x0213, 0x0214, 0x8773 };

// What a new directory needs.
constexpr std::uint16_t newPageTags[] = { 0x011a, 0x011b, 0x0128, 0x0213 };
constexpr std::uint16_t newExifTags[] = { 0x9000, 0xa000, 0xa001, 0x9101, 0xa002, 0xa003 };
constexpr std::uint16_t newGpsTags[] = { 0x0000, 0x001b };

template <std::size_t N> bool among(const std::uint16_t (&tags)[N], std::uint16_t tag)
{
    return std::find(std::begin(tags), std::end(tags), tag) != std::end(tags);
}

bool isPage(const Directory &directory, std::uint16_t page)
{
    return directory.kind == DirectoryKind::Page && directory.page == page;
}

bool inNote(const Directory &directory)
{
    return directory.kind == DirectoryKind::MakerNote || directory.kind == DirectoryKind::NoteDirectory;
}

std::optional<std::uint32_t> number(const Directory &directory, const Entry &entry)
{
    const ByteView value(entry.value);
    if (entry.type == 3 && entry.count == 1)
        return value.u16(0, directory.order);
    if (entry.type == 4 && entry.count == 1)
        return value.u32(0, directory.order);
    return std::nullopt;
}

// Whether a rational entry holds this number.
bool holdsRational(const Directory &directory, const Entry &entry, std::uint32_t expected)
{
    const ByteView value(entry.value);
    const std::optional<std::uint32_t> numerator = value.u32(0, directory.order);
    const std::optional<std::uint32_t> denominator = value.u32(4, directory.order);
    return entry.type == 5 && entry.count == 1 && numerator && denominator && *denominator != 0
        && std::uint64_t(*numerator) == std::uint64_t(expected) * *denominator;
}

// A first directory's container of another group (IPTC, XMP, Photoshop
// resources) that holds nothing but zeros: no reader finds anything in it.
bool isEmptyContainer(const Directory &directory, const Entry &entry)
{
    return isPage(directory, 1) && (entry.tag == 0x83bb || entry.tag == 0x02bc || entry.tag == 0x8649)
        && std::all_of(entry.value.begin(), entry.value.end(), [](Byte b) { return b == 0; });
}

} // namespace

WhatMayChange::WhatMayChange(const WriteRequest &request, const FileLayout &original,
    const ExifInventory &was, const FileLayout &written)
    : m_request(request)
    , m_original(original)
    , m_was(was)
    , m_written(written)
    , m_tiff(original.format == Format::Tiff)
{ }

bool WhatMayChange::named(const Directory &directory, std::uint16_t tag) const
{
    return std::any_of(m_request.written.begin(), m_request.written.end(), [&](const NamedTag &name) {
        if (name.tag != tag)
            return false;
        switch (name.place) {
        case Place::Page:
            // A copy in the other of the first and the Exif directory
            // follows the value.
            return isPage(directory, name.index)
                || (name.index == 1 && directory.kind == DirectoryKind::Exif);
        case Place::Exif:
            return directory.kind == DirectoryKind::Exif || isPage(directory, 1);
        case Place::Gps:
            return directory.kind == DirectoryKind::Gps;
        case Place::Interoperability:
            return directory.path == "p1/exif/iop";
        case Place::SubImage:
            return directory.path == "p1/sub" + std::to_string(name.index);
        case Place::MakerNote:
            return inNote(directory);
        }
        return false;
    });
}

bool WhatMayChange::takenByGeneralExif(const Directory &directory, const Entry &entry) const
{
    const std::uint16_t tag = entry.tag;
    switch (directory.kind) {
    case DirectoryKind::Gps:
    case DirectoryKind::RawHeader:
        return false;
    case DirectoryKind::MakerNote:
    case DirectoryKind::NoteDirectory:
        return !m_was.raw;
    case DirectoryKind::Interoperability:
    case DirectoryKind::MakersOwn:
        return true;
    case DirectoryKind::Exif:
        if (tag == tags::makerNote)
            return !m_was.raw;
        return tag != tags::userComment && tag != tags::orientation;
    case DirectoryKind::Page:
    case DirectoryKind::SubImage:
        break;
    }
    if (tag == tags::userComment)
        return false;
    // Outside TIFF a thumbnail's orientation goes with it.
    if (tag == tags::orientation)
        return !m_tiff && directory.page != 1;
    if (m_tiff) {
        const bool camera = m_was.raw && (tag == tags::make || tag == tags::model);
        return !among(pictureNeeds, tag) && !(tag >= firstDngTag && tag <= lastDngTag) && !camera;
    }
    return true;
}

bool WhatMayChange::taken(const Directory &directory, const Entry &entry) const
{
    const std::uint16_t tag = entry.tag;
    if ((!entry.typed && !inNote(directory)) || isEmptyContainer(directory, entry))
        return true;
    if (m_request.gpsTaken && directory.kind == DirectoryKind::Gps)
        return true;
    if (m_request.orientationTaken && tag == tags::orientation
        && (isPage(directory, 1) || isPage(directory, 2) || directory.kind == DirectoryKind::Exif))
        return true;
    if (m_request.commentTaken && tag == tags::userComment
        && (isPage(directory, 1) || directory.kind == DirectoryKind::Exif))
        return true;
    // A TIFF keeps its IPTC, Photoshop resources and XMP in its first
    // directory.
    if (m_request.iptcMayChange && isPage(directory, 1) && (tag == 0x83bb || tag == 0x8649))
        return true;
    if (m_request.xmpMayChange && isPage(directory, 1) && tag == 0x02bc)
        return true;
    return m_request.exifTaken && takenByGeneralExif(directory, entry);
}

bool WhatMayChange::goes(const Directory &directory, const Entry &entry, int depth) const
{
    if (named(directory, entry.tag) || taken(directory, entry))
        return true;
    if (entry.names == Entry::Names::Directories && depth < 8) {
        // A pointer goes where what it names goes, or stays through another.
        return std::all_of(entry.directories.begin(), entry.directories.end(), [&](const std::string &path) {
            const Directory *named = m_was.find(path);
            return !named || !path.starts_with(directory.path + "/") || vanishes(*named, depth + 1);
        });
    }
    return depth == 0 && goesIdle(directory, entry);
}

bool WhatMayChange::vanishes(const Directory &directory, int depth) const
{
    return std::all_of(directory.entries.begin(), directory.entries.end(),
        [&](const Entry &entry) { return goes(directory, entry, depth) || goesIdle(directory, entry); });
}

// What describes what a directory holds goes with what it holds: the Exif
// directory's version and description of the picture (and its
// interoperability directory), the GPS directory's version, and outside
// TIFF the first directory's description of the picture once the Exif
// holds nothing else.
bool WhatMayChange::goesIdle(const Directory &directory, const Entry &entry) const
{
    const auto othersGo = [&](const Directory &in, auto isDescription) {
        return std::all_of(in.entries.begin(), in.entries.end(), [&](const Entry &other) {
            return isDescription(other.tag) || named(in, other.tag) || taken(in, other);
        });
    };
    const auto exifDescription = [](std::uint16_t tag) { return among(exifPictureTags, tag); };
    const Directory *exif = m_was.find("p1/exif");
    switch (directory.kind) {
    case DirectoryKind::Exif:
        return exifDescription(entry.tag) && othersGo(directory, exifDescription);
    case DirectoryKind::Interoperability:
        return exif && directory.path == "p1/exif/iop" && othersGo(*exif, exifDescription);
    case DirectoryKind::Gps:
        return entry.tag == 0x0000 && othersGo(directory, [](std::uint16_t tag) { return tag == 0x0000; });
    case DirectoryKind::Page:
        break;
    default:
        return false;
    }
    if (m_tiff || directory.page != 1 || m_written.exif || !among(pagePictureTags, entry.tag))
        return false;
    // A clear of the Exif as such takes the resolution with it; any other
    // clear leaves a JPEG's where no JFIF header gives it.
    const bool resolution = entry.tag == tags::xResolution || entry.tag == tags::yResolution
        || entry.tag == tags::resolutionUnit;
    if (resolution && m_original.format == Format::Jpeg && !m_original.jfif && !m_request.exifTaken)
        return false;
    // The written file holds no Exif: all else the original's held goes.
    return std::all_of(m_was.directories.begin(), m_was.directories.end(), [&](const Directory &other) {
        return std::all_of(other.entries.begin(), other.entries.end(), [&](const Entry &e) {
            const bool description = isPage(other, 1) && among(pagePictureTags, e.tag);
            return description || e.names == Entry::Names::Directories || named(other, e.tag)
                || taken(other, e) || (other.kind != DirectoryKind::Page && goesIdle(other, e));
        });
    });
}

bool WhatMayChange::mayChange(const Directory &directory, const Entry &entry) const
{
    return goes(directory, entry, 0);
}

bool WhatMayChange::mayVanish(const Directory &directory) const
{
    return vanishes(directory, 0);
}

bool WhatMayChange::mayDifferUnnamed(const Directory &directory, const Entry &entry) const
{
    // A write raises the Exif version to that of the tags it writes.
    return directory.kind == DirectoryKind::Exif && entry.tag == tags::exifVersion
        && !m_request.written.empty();
}

std::optional<std::string> WhatMayChange::refusesAdded(const Directory &directory, const Entry &entry) const
{
    if (named(directory, entry.tag) || entry.names == Entry::Names::Directories || taken(directory, entry))
        return std::nullopt;
    if (isPage(directory, 1) && !m_tiff && among(newPageTags, entry.tag)) {
        // Resolution as the JFIF header gives it, 72 dots an inch where
        // there is none; JFIF counts its units from none, Exif from 1.
        const FileLayout::Density density = m_original.jfif.value_or(FileLayout::Density { 1, 72, 72 });
        const std::optional<std::uint32_t> n = number(directory, entry);
        const bool right = entry.tag == tags::xResolution ? holdsRational(directory, entry, density.x)
            : entry.tag == tags::yResolution              ? holdsRational(directory, entry, density.y)
            : entry.tag == tags::resolutionUnit           ? n == std::uint32_t(density.unit) + 1
                                                          : n.has_value();
        if (!right)
            return "its new Exif would give the picture another resolution than it has";
        return std::nullopt;
    }
    if (directory.kind == DirectoryKind::Exif && among(newExifTags, entry.tag)) {
        const std::optional<std::pair<std::uint32_t, std::uint32_t>> size = m_original.pictureSize;
        if (size && entry.tag == tags::pixelWidth && number(directory, entry) != size->first)
            return "its new Exif would give the picture another size than it has";
        if (size && entry.tag == tags::pixelHeight && number(directory, entry) != size->second)
            return "its new Exif would give the picture another size than it has";
        return std::nullopt;
    }
    if (directory.kind == DirectoryKind::Gps && among(newGpsTags, entry.tag))
        return std::nullopt;
    return std::string("a value the write was not asked for would be added to its Exif");
}

} // namespace engine::check
