#pragma once

#include "platform/SupportedImages.h"

#include <QString>

#include <exiv2/error.hpp>
#include <exiv2/image.hpp>

#include <functional>
#include <string>

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

// Opens the file in place and reads its metadata. Only a regular file whose
// content is of a supported type is parsed (platform::SupportedImages).
platform::SupportedImages::OpenedFile openForReading(const QString &path);

// Loads the whole file into memory and reads its metadata there, so that the
// library never rewrites the user's file itself. Only a regular file whose
// content is of a supported type is parsed.
Exiv2::Image::AutoPtr openForEditing(const QString &path);

// Whether the image's format holds the group at all (read-only counts).
bool supports(const Exiv2::Image &image, Exiv2::MetadataId group);

// Writes the edited metadata into the in-memory image, checks that the
// result reads back, hands it to check (which throws to keep the file as it
// was), and replaces the file's content with it in one step. When the edit
// left the IPTC's content as it was, a Photoshop digest of it that matched
// before matches after.
using WrittenCheck = std::function<void(const Exiv2::Image &written)>;
enum class IptcContent { Kept, Changed };
void saveEdits(Exiv2::Image &image, const QString &path, IptcContent iptc, const WrittenCheck &check = {});

} // namespace engine::bridge
