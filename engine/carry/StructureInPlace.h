// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"
#include "engine/walks/LibraryDirectories.h"

#include <QByteArray>

#include <exiv2/types.hpp>

#include <optional>
#include <span>
#include <vector>

// The library writes a TIFF-based file anew: it lays out again the first
// four directories of its chain with their pictures and the Exif, GPS and
// interoperability directories, and what it does not read it drops (pages
// past the fourth) or leaves pointing where the bytes no longer are (a
// sub-image's own sub-images, a maker's directories, what a maker note
// points to). So a TIFF-based file's structure stays where it stands: the
// written file is the original's bytes, but for the directories whose
// entries the write changed, written again from the library's encoding of
// them in their old place where they fit, else after the file's end, with
// the pointers to them set. Nothing else moves. Bytes that a change or a
// clear leaves unread, and that nothing else reads, are zeroed, so that
// what a clear took is gone from the file.
namespace engine::bridge {

class StructureInPlace
{
public:
    // Reads the original's directories as the library reads them; none
    // where it reads them otherwise (a directory of more entries than it
    // reads, a structure it does not find), and the library's laying out
    // anew serves.
    static std::optional<StructureInPlace> of(
        std::span<const Exiv2::byte> file, const ImageKind &kind, WalkBudget &budget);

    // The original with what the written file changed in its directories.
    // The library's writing of a TIFF-based file first tries to change the
    // values in the bytes it read, where they fit, and changes them there
    // even where it then lays the file out anew: those bytes (read) are the
    // original's again after, for what compares the written file with it.
    // Takes the original's bytes, kept apart since they were read, for the
    // finished file's. Throws, so that the file stays as it was, where the
    // written file holds what the original's structure cannot take.
    QByteArray place(std::span<Exiv2::byte> read, std::span<const Exiv2::byte> written, WalkBudget &budget);

private:
    StructureInPlace(
        QByteArray original, std::vector<PlacedDirectory> directories, RangesInUse inUse, bool cr2)
        : m_original(std::move(original))
        , m_directories(std::move(directories))
        , m_inUse(std::move(inUse))
        , m_cr2(cr2)
    { }

    QByteArray m_original;
    std::vector<PlacedDirectory> m_directories;
    RangesInUse m_inUse;
    // A CR2 file's header names its raw data's directory too.
    bool m_cr2 = false;
};

} // namespace engine::bridge
