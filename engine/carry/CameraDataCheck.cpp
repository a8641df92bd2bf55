// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/CameraDataCheck.h"

#include "engine/carry/MultiPicture.h"
#include "engine/carry/ThumbnailBytes.h"
#include "engine/walks/ExifContainers.h"
#include "engine/walks/TiffDirectories.h"

#include <QString>

#include <exiv2/error.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace engine::bridge {

namespace {

bool holds(const Exiv2::ExifData &exif, const char *group)
{
    return std::any_of(
        exif.begin(), exif.end(), [&](const Exiv2::Exifdatum &datum) { return datum.groupName() == group; });
}

[[noreturn]] void wouldChange(const std::string &what)
{
    throw Exiv2::Error(Exiv2::kerErrorMessage, "the camera's data would not survive the write: " + what);
}

bool same(std::span<const Exiv2::byte> a, std::span<const Exiv2::byte> b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

// The same, with the bytes read spent: entries that name the same bytes
// over and over are compared as often as they name them.
bool same(std::span<const Exiv2::byte> a, std::span<const Exiv2::byte> b, WalkBudget &budget)
{
    if (!budget.spend(a.size() + b.size()))
        wouldChange(noteOverBudget);
    return same(a, b);
}

std::string hex(uint16_t tag)
{
    return QStringLiteral("0x%1").arg(tag, 4, 16, QLatin1Char('0')).toStdString();
}

void compareDirectories(const TiffBytes &before, const std::optional<TiffDirectory> &was,
    const TiffBytes &after, const std::optional<TiffDirectory> &is, const std::string &name)
{
    if (!was)
        return;
    if (!is || is->entries.size() != was->entries.size())
        wouldChange("its " + name + " would change");
    for (std::size_t i = 0; i < was->entries.size(); ++i) {
        const TiffEntry &a = was->entries[i];
        const TiffEntry &b = is->entries[i];
        const std::optional<std::span<const Exiv2::byte>> valueBefore = before.value(a);
        if (a.tag != b.tag || a.type != b.type || a.count != b.count
            || (valueBefore && (!after.value(b) || !same(*valueBefore, *after.value(b)))))
            wouldChange("its " + name + "'s entry " + hex(a.tag) + " would change");
    }
}

void compareMakerNotes(const CarriedMakerNote &carried, const ExifInFile &after,
    std::span<const Exiv2::byte> written, const ImageKind &kind, const Exiv2::ExifData &writtenExif,
    WalkBudget &budget)
{
    const MakerNoteReading &was = carried.reading;
    const std::optional<std::pair<std::size_t, std::size_t>> note = makerNoteEntry(after.tiff);
    const std::optional<MakerNoteReading> is = note ? readCarriedMakerNote(was, after.tiff,
                                                   { after.offsetInFile, after.fileEnd(written.size()),
                                                       kind.jpeg ? written : std::span<const Exiv2::byte>() },
                                                   note->first, note->second, budget)
                                                    : std::nullopt;
    if (!is && budget.spent())
        wouldChange(noteOverBudget);
    if (!is)
        wouldChange("its maker note would be lost");
    const int64_t moved = int64_t(note->first) - int64_t(was.extent.start);
    const int64_t movedInFile = moved + int64_t(after.offsetInFile) - int64_t(carried.offsetInFile);
    if (!was.whole && (moved != 0 || movedInFile != 0))
        wouldChange("its maker note could not be read whole, and the write would move it");
    if (is->values.size() != was.values.size() || (was.whole && !is->whole))
        wouldChange("its maker note would no longer read the same");
    for (std::size_t i = 0; i < was.values.size(); ++i) {
        const MakerNoteValue &a = was.values[i];
        const MakerNoteValue &b = is->values[i];
        if (a.directory != b.directory || a.tag != b.tag || a.type != b.type || a.count != b.count
            || !same(a.bytes, b.bytes, budget))
            wouldChange("its maker note's entry " + hex(a.tag) + " would no longer read the same");
    }
    if (!was.asItsLayoutSays)
        return;
    // What the library reads of an offset differs by as far as the write
    // moved what it names: the note, or a value outside the Exif.
    std::vector<int64_t> offsetMoves = carriedMoves(carried, note->first);
    offsetMoves.push_back(movedInFile);
    for (std::size_t i = 0; i < was.outside.size() && i < is->outside.size(); ++i)
        offsetMoves.push_back(
            (is->outside[i].at - is->outside[i].from) - (was.outside[i].at - was.outside[i].from));
    if (const std::optional<std::string> key
        = decodedDifference(carried.decoded, decodedMakerNote(writtenExif), was.order, offsetMoves))
        wouldChange("its maker note's " + *key + " would no longer read the same");
}

} // namespace

KeptCameraData keptCameraData(const Exiv2::ExifData &handedOver)
{
    return { handedOver.findKey(Exiv2::ExifKey("Exif.Photo.MakerNote")) != handedOver.end(),
        handedOver.findKey(Exiv2::ExifKey("Exif.Thumbnail.JPEGInterchangeFormat")) != handedOver.end(),
        holds(handedOver, "Iop"),
        handedOver.findKey(Exiv2::ExifKey("Exif.Image.0xa005")) != handedOver.end() };
}

void checkCameraData(std::span<const Exiv2::byte> original, std::span<const Exiv2::byte> written,
    const ImageKind &kind, const KeptCameraData &kept, const CarriedMakerNote *carried,
    const Exiv2::ExifData &writtenExif, WalkBudget &budget)
{
    if (kind.jpeg) {
        if (const std::optional<std::string> difference = furtherPicturesDifference(original, written))
            wouldChange(*difference);
    }
    const std::optional<ExifInFile> before = exifOfImage(original, kind);
    if (!before)
        return;
    const std::optional<ExifInFile> after = exifOfImage(written, kind);
    if (!after) {
        if (kept.makerNote || kept.thumbnail || kept.interoperability || kept.imageInteroperability)
            wouldChange("its Exif would be lost");
        return;
    }
    const ExifDirectories was = exifDirectories(before->tiff);
    const ExifDirectories is = exifDirectories(after->tiff);
    if (kept.makerNote && carried)
        compareMakerNotes(*carried, *after, written, kind, writtenExif, budget);
    if (kept.interoperability)
        compareDirectories(before->tiff, was.interoperability, after->tiff, is.interoperability,
            "interoperability directory");
    if (kept.imageInteroperability)
        compareDirectories(before->tiff, was.imageInteroperability, after->tiff, is.imageInteroperability,
            "interoperability directory");
    if (kept.thumbnail) {
        const std::optional<std::span<const Exiv2::byte>> thumbnail = thumbnailBytes(original, *before);
        const std::optional<std::span<const Exiv2::byte>> now = thumbnailBytes(written, *after);
        if (thumbnail && (!now || !same(*thumbnail, *now)))
            wouldChange("its thumbnail would change");
    }
}

} // namespace engine::bridge
