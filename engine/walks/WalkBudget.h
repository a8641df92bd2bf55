// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// How much more a walk over a file's bytes may read. The entries and values
// of a sound structure lie apart, so a walk reads each of its bytes about
// once; a damaged or hostile file can name the same bytes from many entries,
// or from each of many places a walk tries, and a walk that followed every
// one would take time growing faster than the file. A walk that spends its
// budget, given in proportion to the bytes it covers, on each entry and
// value it reads ends in time in proportion to them; one that runs out
// takes what it walks for damaged.
namespace engine::bridge {

class WalkBudget
{
public:
    explicit WalkBudget(std::size_t bytes)
        : m_left(bytes)
    { }

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
