// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/CarriedStructures.h"

#include "engine/BridgeFrame.h"
#include "engine/carry/MultiPicture.h"
#include "engine/carry/ThumbnailBytes.h"
#include "engine/walks/ExifContainers.h"

#include <exiv2/error.hpp>

#include <string>

namespace engine::bridge {

namespace {

std::string nameOf(const DirectoryPath &path)
{
    switch (path.branch) {
    case DirectoryPath::Branch::Exif:
        return "Exif directory";
    case DirectoryPath::Branch::Gps:
        return "GPS directory";
    case DirectoryPath::Branch::Interoperability:
        return "interoperability directory";
    case DirectoryPath::Branch::Chain:
        break;
    }
    return path.page == 0 ? "first directory"
                          : "directory " + std::to_string(path.page + 1) + " of its chain";
}

// The library does not read a directory of more entries than it reads, and
// writes the file as though it held none, with what it names.
void throwWhereTheLibraryReadsNothing(
    std::span<const Exiv2::byte> file, const ImageKind &kind, WalkBudget &budget)
{
    const std::optional<ExifInFile> exif = exifOfImage(file, kind);
    if (!exif)
        return;
    for (const PlacedDirectory &placed : libraryDirectories(exif->tiff, budget)) {
        if (placed.directory.entries.size() > mostEntriesTheLibraryReads)
            throw Exiv2::Error(Exiv2::kerErrorMessage,
                "its Exif would be lost: its " + nameOf(placed.path) + " holds "
                    + std::to_string(placed.directory.entries.size())
                    + " entries, and the library reads none of a directory of more than "
                    + std::to_string(mostEntriesTheLibraryReads));
    }
}

} // namespace

CarriedStructures CarriedStructures::keep(Exiv2::Image &image, const ImageKind &kind, WalkBudget &budget)
{
    CarriedStructures carried;
    carried.m_kind = kind;
    readFileBytes(image, [&](const Exiv2::byte *data, long size) {
        const std::span<const Exiv2::byte> file(data, std::size_t(std::max(size, 0L)));
        throwWhereTheLibraryReadsNothing(file, kind, budget);
        carried.m_inPlace = StructureInPlace::of(file, kind, budget);
    });
    if (carried.m_inPlace) {
        // Nothing moves but what the write changed: the maker note goes to
        // the library only so that it writes nothing of its own there.
        keepMakerNotesAsStored(image, kind, budget, true);
        return carried;
    }
    carried.m_makerNote = keepMakerNotesAsStored(image, kind, budget);
    keepThumbnailAsStored(image, kind);
    carried.m_pointers = keepFirstDirectoryPointers(image, kind);
    carried.m_standIns = keepUnrecordedValues(image, kind);
    return carried;
}

QByteArray CarriedStructures::place(
    std::span<Exiv2::byte> original, Exiv2::byte *written, long size, WalkBudget &budget)
{
    if (m_inPlace)
        return m_inPlace->place(
            original, std::span<const Exiv2::byte>(written, std::size_t(std::max(size, 0L))), budget);
    if (m_makerNote)
        placeCarriedMakerNote(*m_makerNote, original, written, size, m_kind, budget);
    placeFirstDirectoryPointers(m_pointers, written, size, m_kind);
    placeUnrecordedValues(m_standIns, written, size, m_kind);
    if (m_kind.jpeg)
        placeFurtherPictures(
            original, std::span<Exiv2::byte>(written, std::size_t(std::max(size, 0L))), budget);
    return QByteArray();
}

} // namespace engine::bridge
