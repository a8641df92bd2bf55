// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The check's own reading of bytes: every read names where and how many,
// and a read that does not fit gives nothing. Offsets are 64-bit, so that
// an offset and a count a file gives never wrap when added.
namespace engine::check {

using Byte = std::uint8_t;
using ByteSpan = std::span<const Byte>;

enum class Order : std::uint8_t { Little, Big };

class ByteView
{
public:
    ByteView() = default;
    explicit ByteView(ByteSpan bytes)
        : m_bytes(bytes)
    { }

    ByteSpan all() const { return m_bytes; }
    std::uint64_t size() const { return m_bytes.size(); }

    // The count bytes from at; none where they do not all lie within.
    std::optional<ByteSpan> span(std::uint64_t at, std::uint64_t count) const;
    std::optional<ByteView> view(std::uint64_t at, std::uint64_t count) const;
    // From at to the end; none past the end.
    std::optional<ByteView> from(std::uint64_t at) const;
    std::optional<std::uint8_t> u8(std::uint64_t at) const;
    std::optional<std::uint16_t> u16(std::uint64_t at, Order order) const;
    std::optional<std::uint32_t> u32(std::uint64_t at, Order order) const;
    // Whether these bytes stand at at.
    bool holds(std::string_view text, std::uint64_t at = 0) const;

private:
    ByteSpan m_bytes;
};

// Where part starts within whole, which must hold it.
inline std::uint64_t offsetIn(ByteSpan whole, ByteSpan part)
{
    return std::uint64_t(part.data() - whole.data());
}

bool sameBytes(ByteSpan a, ByteSpan b);

// What one file's reading may spend: every directory, entry and probe it
// reads, and every byte it compares, counted against an allowance in
// proportion to the file's size, so that no file, however its counts and
// offsets repeat, holds the check longer than a few readings of it.
class ReadBudget
{
public:
    explicit ReadBudget(std::uint64_t allowance)
        : m_left(allowance)
    { }
    // For a file of size bytes.
    static ReadBudget forFile(std::uint64_t size);

    // False, and spent from then on, when the units do not fit.
    bool spend(std::uint64_t units);
    bool spent() const { return m_spent; }

private:
    std::uint64_t m_left = 0;
    bool m_spent = false;
};

} // namespace engine::check
