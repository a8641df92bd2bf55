#include "platform/Memory.h"

#include <malloc.h>

namespace platform::Memory {

void keepFreedMemoryForReuse()
{
    // Up to 64 MB of free memory at the top of a heap stays with the process.
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
}

} // namespace platform::Memory
