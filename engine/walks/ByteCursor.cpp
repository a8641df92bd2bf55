// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/ByteCursor.h"

#include <cstring>

namespace engine::bridge {

ByteCursor::ByteCursor(const Exiv2::byte *data, long size)
{
    if (data && size > 0)
        m_bytes = std::span<const Exiv2::byte>(data, std::size_t(size));
}

std::optional<ByteCursor> ByteCursor::at(std::size_t offset) const
{
    if (offset > m_bytes.size())
        return std::nullopt;
    ByteCursor moved(m_bytes);
    moved.m_at = offset;
    return moved;
}

bool ByteCursor::skip(std::size_t count)
{
    if (count > remaining())
        return false;
    m_at += count;
    return true;
}

std::optional<uint8_t> ByteCursor::byte()
{
    return number(1, Exiv2::bigEndian);
}

std::optional<uint16_t> ByteCursor::uint16(Exiv2::ByteOrder order)
{
    return number(2, order);
}

std::optional<uint32_t> ByteCursor::uint32(Exiv2::ByteOrder order)
{
    return number(4, order);
}

std::optional<std::span<const Exiv2::byte>> ByteCursor::bytes(std::size_t count)
{
    if (count > remaining())
        return std::nullopt;
    const std::span<const Exiv2::byte> taken = m_bytes.subspan(m_at, count);
    m_at += count;
    return taken;
}

bool ByteCursor::startsWith(std::string_view head) const
{
    if (head.empty())
        return true;
    return head.size() <= remaining() && std::memcmp(m_bytes.data() + m_at, head.data(), head.size()) == 0;
}

std::optional<uint8_t> ByteCursor::peek() const
{
    if (remaining() == 0)
        return std::nullopt;
    return m_bytes[m_at];
}

std::optional<uint32_t> ByteCursor::number(std::size_t width, Exiv2::ByteOrder order)
{
    const std::optional<std::span<const Exiv2::byte>> read = bytes(width);
    if (!read)
        return std::nullopt;
    uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = value << 8 | (*read)[order == Exiv2::littleEndian ? width - 1 - i : i];
    return value;
}

} // namespace engine::bridge
