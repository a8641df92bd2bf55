// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the walk over a PNG's chunks.
#include "engine/PngExif.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Exiv2::ExifData exif;
    exif["Exif.Image.Artist"] = "Someone";
    engine::bridge::withExifChunk(data, long(size), exif, Exiv2::littleEndian);
    return 0;
}
