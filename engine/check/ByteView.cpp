// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/check/ByteView.h"

#include <algorithm>

namespace engine::check {

std::optional<ByteSpan> ByteView::span(std::uint64_t at, std::uint64_t count) const
{
    if (at > m_bytes.size() || count > m_bytes.size() - at)
        return std::nullopt;
    return m_bytes.subspan(std::size_t(at), std::size_t(count));
}

std::optional<ByteView> ByteView::view(std::uint64_t at, std::uint64_t count) const
{
    const std::optional<ByteSpan> bytes = span(at, count);
    return bytes ? std::optional<ByteView>(ByteView(*bytes)) : std::nullopt;
}

std::optional<ByteView> ByteView::from(std::uint64_t at) const
{
    return at <= m_bytes.size() ? view(at, m_bytes.size() - at) : std::nullopt;
}

std::optional<std::uint8_t> ByteView::u8(std::uint64_t at) const
{
    return at < m_bytes.size() ? std::optional<std::uint8_t>(m_bytes[std::size_t(at)]) : std::nullopt;
}

std::optional<std::uint16_t> ByteView::u16(std::uint64_t at, Order order) const
{
    const std::optional<ByteSpan> b = span(at, 2);
    if (!b)
        return std::nullopt;
    return order == Order::Little ? std::uint16_t((*b)[0] | ((*b)[1] << 8))
                                  : std::uint16_t(((*b)[0] << 8) | (*b)[1]);
}

std::optional<std::uint32_t> ByteView::u32(std::uint64_t at, Order order) const
{
    const std::optional<ByteSpan> b = span(at, 4);
    if (!b)
        return std::nullopt;
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::uint32_t((*b)[std::size_t(i)]) << (order == Order::Little ? 8 * i : 8 * (3 - i));
    return n;
}

bool ByteView::holds(std::string_view text, std::uint64_t at) const
{
    const std::optional<ByteSpan> b = span(at, text.size());
    return b && std::equal(text.begin(), text.end(), b->begin(), [](char c, Byte x) { return Byte(c) == x; });
}

bool sameBytes(ByteSpan a, ByteSpan b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

ReadBudget ReadBudget::forFile(std::uint64_t size)
{
    // A sound file's directories, values and blocks read once or twice;
    // the maker note's few trial readings and the comparison of each
    // block with its copy add as much again.
    return ReadBudget(8 * size + (std::uint64_t(1) << 20));
}

bool ReadBudget::spend(std::uint64_t units)
{
    if (m_spent || units > m_left) {
        m_spent = true;
        m_left = 0;
        return false;
    }
    m_left -= units;
    return true;
}

} // namespace engine::check
