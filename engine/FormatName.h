// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <exiv2/image.hpp>

namespace engine::bridge {

// The name a user knows the image's file format by ("JPEG", "WebP",
// "NEF"): raw formats that the library reads as TIFF go by the extension
// of path, the file's own.
QString formatName(const Exiv2::Image &image, const QString &path);

} // namespace engine::bridge
