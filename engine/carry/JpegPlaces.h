// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exiv2/types.hpp>

#include <cstddef>
#include <optional>
#include <span>

// Where bytes of a JPEG that lie outside its Exif stand after a write. The
// library copies the picture, and what follows it, as they are, and the
// segments it does not write it copies byte for byte; data another part of
// the file points to there (a camera's preview after the picture, a further
// picture, a value in a segment of the camera's) moves with them.
namespace engine::bridge {

// Where the size bytes at at in the original stand in the written file;
// none where the write did not keep them as they were.
std::optional<std::size_t> placeAfterWrite(std::span<const Exiv2::byte> original,
    std::span<const Exiv2::byte> written, std::size_t at, std::size_t size);

} // namespace engine::bridge
