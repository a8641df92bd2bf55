// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RegularFile.h"

#include <QString>

#include <exiv2/basicio.hpp>
#include <exiv2/image.hpp>

#include <string>
#include <utility>

namespace platform {

// The one gate before Exiv2 parses a file. The library detects a file's
// type from its content, whatever the file is called, and its parsers of
// other formats (the video containers first) crash or never end on damaged
// files; so nothing is parsed unless the detected type is one of the
// formats behind the supported file extensions (every TIFF-based raw
// format is detected as TIFF).
namespace SupportedImages {

enum class Use { Reading, Writing };

bool isSupported(int exiv2ImageType);

// The type detected in io's content. Throws Exiv2::Error when it is none
// or not supported: "<name>: The file contains data of an unknown image
// type", or for another type "Image type <type> is not supported" when
// reading and "Writing to <type> images is not supported" when writing.
int requireSupported(Exiv2::BasicIo &io, const std::string &name, Use use);

// The image of io after that check, its metadata not read yet; throws as
// requireSupported does.
Exiv2::Image::AutoPtr open(Exiv2::BasicIo::AutoPtr io, const std::string &name, Use use);

// A file on disk opened for reading through the library: a regular file
// (see RegularFile) of a supported type. The image reads through the
// descriptor that file holds, so it is declared after it and goes first.
struct OpenedFile
{
    OpenedFile(RegularFile opened, Exiv2::Image::AutoPtr parsed)
        : file(std::move(opened))
        , image(parsed)
    { }
    OpenedFile(OpenedFile &&other) noexcept
        : file(std::move(other.file))
        , image(other.image)
    { }

    RegularFile file;
    Exiv2::Image::AutoPtr image;
};

// Throws Exiv2::Error, naming the file by name, when it cannot be opened,
// is no regular file or is of no supported type.
OpenedFile openFile(const QString &path, const std::string &name, Use use = Use::Reading);

} // namespace SupportedImages
} // namespace platform
