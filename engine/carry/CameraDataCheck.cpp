// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/CameraDataCheck.h"

#include "engine/walks/ExifContainers.h"
#include "engine/walks/TiffDirectories.h"

#include <exiv2/error.hpp>

#include <string>
#include <vector>

namespace engine::bridge {

void checkCameraData(std::span<const Exiv2::byte> written, const ImageKind &kind,
    const CarriedMakerNote *carried, const Exiv2::ExifData &writtenExif, WalkBudget &budget)
{
    if (!carried || !carried->reading.asItsLayoutSays)
        return;
    // A note that is gone, or reads otherwise, the check of the whole file
    // tells.
    const MakerNoteReading &was = carried->reading;
    const std::optional<ExifInFile> after = exifOfImage(written, kind);
    const std::optional<std::pair<std::size_t, std::size_t>> note
        = after ? makerNoteEntry(after->tiff) : std::nullopt;
    const std::optional<MakerNoteReading> is = note ? readCarriedMakerNote(was, after->tiff,
                                                   { after->offsetInFile, after->fileEnd(written.size()),
                                                       kind.jpeg ? written : std::span<const Exiv2::byte>() },
                                                   note->first, note->second, budget)
                                                    : std::nullopt;
    if (!is && budget.spent())
        throw Exiv2::Error(Exiv2::kerErrorMessage,
            std::string("the camera's data would not survive the write: ") + noteOverBudget);
    if (!is)
        return;
    // What the library reads of an offset differs by as far as the write
    // moved what it names: the note, or a value outside the Exif.
    const int64_t moved = int64_t(note->first) - int64_t(was.extent.start);
    const int64_t movedInFile = moved + int64_t(after->offsetInFile) - int64_t(carried->offsetInFile);
    std::vector<int64_t> offsetMoves = carriedMoves(*carried, note->first);
    offsetMoves.push_back(movedInFile);
    for (std::size_t i = 0; i < was.outside.size() && i < is->outside.size(); ++i)
        offsetMoves.push_back(
            (is->outside[i].at - is->outside[i].from) - (was.outside[i].at - was.outside[i].from));
    if (const std::optional<std::string> key
        = decodedDifference(carried->decoded, decodedMakerNote(writtenExif), was.order, offsetMoves))
        throw Exiv2::Error(Exiv2::kerErrorMessage,
            "the camera's data would not survive the write: its maker note's " + *key
                + " would no longer read the same");
}

} // namespace engine::bridge
