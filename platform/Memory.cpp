// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Memory.h"

#include <malloc.h>

namespace platform::Memory {

void keepFreedMemoryForReuse()
{
    // Setting either threshold turns off the allocator's own adjustment of
    // the mmap threshold, so both are fixed here. Blocks up to 32 MB (the
    // most the allocator allows) come from the heap and are reused, rather
    // than mapped and unmapped, zero-filled, per file.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    // Up to 64 MB of free memory at the top of a heap stays with the process.
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
}

} // namespace platform::Memory
