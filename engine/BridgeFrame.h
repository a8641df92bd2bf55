// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ClearChoices.h"
#include "engine/FileReplace.h"
#include "engine/MetadataOperation.h"
#include "engine/carry/PngExif.h"
#include "engine/walks/WalkBudget.h"
#include "platform/SupportedImages.h"

#include <QString>

#include <exiv2/error.hpp>
#include <exiv2/image.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What every operation of MetadataOperation shares: how a path reaches Exiv2,
// how an image is opened for reading or for editing, how edits reach the
// file, and how a failure is reported.
namespace engine::bridge {

void reportExiv2Error(const Exiv2::AnyError &error);
void reportOtherError();

// Runs one operation's body so that no exception leaves it: an Exiv2 error
// prints "*** error exiv2 exception '<message>' ***", anything else
// "*** error exception ***", on standard error. True when the body ran to
// its end.
template <typename Body> bool runGuarded(Body &&body) noexcept
{
    try {
        body();
        return true;
    } catch (const Exiv2::AnyError &error) {
        reportExiv2Error(error);
    } catch (...) {
        reportOtherError();
    }
    return false;
}

// The path's bytes in the locale's file name encoding, made absolute so that
// Exiv2 never takes a name for a URL or for standard input.
std::string pathBytes(const QString &path);
// Bytes that came out of Exiv2, up to the first NUL, in that same encoding.
QString textFromBytes(const std::string &bytes);

// Whether the library may read the opened image's metadata: what it would
// join, walk or copy, counted from the file's bytes, stays in proportion to
// them. Every other reading of a file's metadata (thumbnails, previews,
// pixel sizes) asks this first, as the engine's own reads do.
bool libraryMayRead(const Exiv2::Image &image);

// Opens the file in place and reads its metadata. Only a regular file whose
// content is of a supported type is parsed (platform::SupportedImages).
platform::SupportedImages::OpenedFile openForReading(const QString &path);

// An image open for editing: the file, still open, its bytes, read into
// memory once, and the library's image over them, so that the library never
// rewrites the user's file itself. The bytes outlive the image that reads
// them. The walks over the file's bytes, and over the bytes written from
// them, spend its one budget, which an edit spends through a const image.
struct EditedImage
{
    std::optional<ReplaceableFile> file;
    std::unique_ptr<Exiv2::byte[]> bytes;
    long size = 0;
    std::unique_ptr<Exiv2::Image> image;
    std::unique_ptr<WalkBudget> budget;
};

// Reads the whole file into one buffer sized from the file and its metadata
// from there. Only a regular file whose content is of a supported type is
// parsed.
EditedImage openForEditing(const QString &path);

// Calls read with the bytes of the image's file as they are now; with none
// when it cannot be opened.
void readFileBytes(const Exiv2::Image &image, const std::function<void(const Exiv2::byte *, long)> &read);

// Whether the image's format holds the group at all (read-only counts).
bool supports(const Exiv2::Image &image, Exiv2::MetadataId group);

// Writes the edited metadata into the in-memory image, checks that the
// result reads back, hands it to check (which throws to keep the file as it
// was), and gives the finished bytes to into: by default they replace the
// file that was read, in one step. When the edit left the IPTC's content as
// it was, or changed its copies in the XMP with it, a Photoshop digest of it
// that matched before matches after; when it changed the IPTC, a PNG's
// Photoshop profile holds the new IPTC too. What the library leaves of the
// groups a clear takes (a JPEG's comments after the first, the camera's own
// segments and a thermal camera's GPS record, a PNG's texts under "Comment"
// and its text copies of the Exif and XMP) goes, and a JPEG's further
// comment segments, a PNG's comment texts and its text copies follow what a
// write wrote.
using WrittenCheck = std::function<void(const Exiv2::Image &written)>;
enum class IptcContent { Kept, ChangedWithXmp, Changed };
struct SavedContent
{
    IptcContent iptc = IptcContent::Kept;
    ClearChoices taken;
    // The comment a write gives the file, when it names one: a JPEG keeps
    // only the library's comment segment, and a PNG's comment texts follow.
    std::optional<QString> comment = {};
    // What else a write asks of a PNG's texts.
    PngTextWrite pngWrite = {};
    // The Exif keys a write set or removed, and whether it emptied the
    // values it did not name.
    std::vector<std::string> exifWritten = {};
    bool emptied = false;
};
// Before check, the whole written file must pass wholeFile, which sees it
// beside the original; without one, nothing is written.
void saveEdits(const EditedImage &edited, const QString &path, const SavedContent &content,
    const MetadataOperation::WrittenFileCheck &wholeFile, const WrittenCheck &check = {},
    const MetadataOperation::Destination &into = {});

// What the edit asks of a PNG's texts, or of those of the PNG that holds a
// PGF's metadata.
PngTextEdit pngTextEdit(const Exiv2::Image &image, const SavedContent &content);

// For an edit that changes nothing: the file stays as it is, and a copy in
// the making takes its bytes as they are.
void keepAsItIs(Exiv2::Image &image, const MetadataOperation::Destination &into);

} // namespace engine::bridge
