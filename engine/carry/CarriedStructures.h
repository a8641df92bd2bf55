// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ImageStructure.h"
#include "engine/carry/FirstDirectoryPointers.h"
#include "engine/carry/MakerNotes.h"
#include "engine/carry/StructureInPlace.h"
#include "engine/carry/UnrecordedValues.h"

#include <QByteArray>

#include <exiv2/image.hpp>

#include <optional>
#include <span>
#include <vector>

// What a write keeps of the file beyond what the library writes, structure
// by structure: each is handed to the library before it writes, and placed
// where the finished file must hold it after. A TIFF-based file's
// structure stays where it stands, with all it holds; elsewhere the maker
// note travels with what it points to, the thumbnail and the directories
// the first directory names as their bytes, the values the library leaves
// out of a compressed picture's first directory under tags of no meaning,
// and a JPEG's further pictures are found where the write left them.
namespace engine::bridge {

class CarriedStructures
{
public:
    // Before the write: hands each structure the file holds to the library
    // as it must write it. The image's Exif must be the one about to be
    // written. Throws, so that the file stays as it was, where one cannot
    // be carried. The walks over the file spend its budget.
    static CarriedStructures keep(Exiv2::Image &image, const ImageKind &kind, WalkBudget &budget);

    // After the write and the mending of what it left: places each
    // structure where the finished file must hold it. Gives the finished
    // bytes where they are new; else a null array, the written bytes
    // changed where they lie. The bytes the library read (original) are
    // the file's as it was read again after, whatever its writing changed
    // in them. Once only.
    QByteArray place(std::span<Exiv2::byte> original, Exiv2::byte *written, long size, WalkBudget &budget);

    // The maker note that travelled as its bytes, for the check after the
    // write.
    const CarriedMakerNote *makerNote() const { return m_makerNote ? &*m_makerNote : nullptr; }

private:
    ImageKind m_kind;
    std::optional<StructureInPlace> m_inPlace;
    std::optional<CarriedMakerNote> m_makerNote;
    std::vector<FirstDirectoryPointer> m_pointers;
    std::vector<StandIn> m_standIns;
};

} // namespace engine::bridge
