// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// How much more the walks over one file's bytes may read. The entries and
// values of a sound structure lie apart, so a walk reads each of its bytes
// about once; a damaged or hostile file can name the same bytes from many
// entries, or from each of many places a walk tries, and a walk that
// followed every one would take time growing faster than the file. Every
// walk over a file that can come back to bytes it read (a maker note's
// directories, the comparison of its values after a write, trailers, a
// camera's heap, thermal records, where bytes stand after a write) spends
// from the one budget the file is given, in proportion to its bytes, on
// each entry and value it reads; nothing it spends comes back. A walk that
// finds too little left ends there, and takes what it walks for unreadable:
// the file is left as it was, with the reason.
namespace engine::bridge {

class WalkBudget
{
public:
    explicit WalkBudget(std::size_t bytes)
        : m_left(bytes)
    { }
    // The budget of a file of that many bytes: many times what the walks
    // over a sound file read, which stays far inside it.
    static WalkBudget forFile(std::size_t fileBytes)
    {
        return WalkBudget(32 * fileBytes + (std::size_t(1) << 20));
    }

    // A budget is spent, never copied: a copy put back would refund what a
    // walk spent since.
    WalkBudget(const WalkBudget &) = delete;
    WalkBudget &operator=(const WalkBudget &) = delete;
    WalkBudget(WalkBudget &&) = default;
    WalkBudget &operator=(WalkBudget &&) = delete;

    // Takes count bytes from what is left; false, with nothing left from
    // then on, when fewer than that are.
    bool spend(std::size_t count)
    {
        if (count > m_left) {
            m_left = 0;
            m_spent = true;
            return false;
        }
        m_left -= count;
        return true;
    }
    bool spent() const { return m_spent; }

private:
    std::size_t m_left;
    bool m_spent = false;
};

} // namespace engine::bridge
