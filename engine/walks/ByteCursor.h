// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exiv2/types.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// Every walk of ours over a file's bytes reads through this cursor, which
// never reads past their end: a read that does not fit gives nothing and
// leaves the cursor where it was, so a damaged length or count ends the
// walk there instead of reading memory that is not the file's.
namespace engine::bridge {

class ByteCursor
{
public:
    ByteCursor() = default;
    explicit ByteCursor(std::span<const Exiv2::byte> bytes)
        : m_bytes(bytes)
    { }
    // Bytes as the library hands them out; a negative size holds none.
    ByteCursor(const Exiv2::byte *data, long size);

    std::size_t position() const { return m_at; }
    std::size_t remaining() const { return m_bytes.size() - m_at; }

    // A cursor over the same bytes at offset from their start; none past
    // their end.
    std::optional<ByteCursor> at(std::size_t offset) const;

    bool skip(std::size_t count);
    std::optional<uint8_t> byte();
    std::optional<uint16_t> uint16(Exiv2::ByteOrder order = Exiv2::bigEndian);
    std::optional<uint32_t> uint32(Exiv2::ByteOrder order = Exiv2::bigEndian);
    std::optional<std::span<const Exiv2::byte>> bytes(std::size_t count);

    // Whether the bytes ahead begin with these; reads nothing.
    bool startsWith(std::string_view head) const;
    std::optional<uint8_t> peek() const;

private:
    std::optional<uint32_t> number(std::size_t width, Exiv2::ByteOrder order);

    std::span<const Exiv2::byte> m_bytes;
    std::size_t m_at = 0;
};

} // namespace engine::bridge
