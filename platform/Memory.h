#pragma once

namespace platform::Memory {

// Keeps freed memory for reuse instead of handing it back to the system at
// every free. Reading thousands of files frees and reallocates about the
// same working memory for each file, and giving it back each time (with the
// page-table work that follows) costs more than the reading itself. Call
// once at start-up; a long-idle process still returns memory on its own.
void keepFreedMemoryForReuse();

} // namespace platform::Memory
