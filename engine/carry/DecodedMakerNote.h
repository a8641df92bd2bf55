// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exiv2/exif.hpp>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A maker note as the library decodes it, the makers' layouts it knows: a
// second look, beside our own walk, at whether a written note reads as the
// original did. It cannot be the first: it reads nothing of a note in
// another byte order than its file's, and nothing of a maker it does not
// know.
namespace engine::bridge {

struct DecodedMakerNote
{
    struct Value
    {
        std::string key;
        int type = 0;
        long count = 0;
        std::vector<Exiv2::byte> bytes;
        // What an offset entry names, where the library reads it.
        std::vector<Exiv2::byte> data;
    };
    std::vector<Value> values;
};

DecodedMakerNote decodedMakerNote(const Exiv2::ExifData &exif);

// The first value whose reading differs, by its key; none when all read
// alike. An offset may differ by one of the moves (as far as the write
// moved the note, in its Exif or in its file, or a value outside the Exif)
// and still name what it named; order is the note's own.
std::optional<std::string> decodedDifference(const DecodedMakerNote &original,
    const DecodedMakerNote &written, Exiv2::ByteOrder order, std::span<const int64_t> moves);

} // namespace engine::bridge
