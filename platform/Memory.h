// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform::Memory {

// Keeps freed memory for reuse instead of handing it back to the system at
// every free. Reading and writing thousands of files frees and reallocates
// about the same working memory for each file (a photograph's bytes, the
// library's output), and giving it back each time, with the page faults
// and zeroed pages that follow, costs more than the work itself. Call once
// at start-up; a long-idle process still returns memory on its own.
void keepFreedMemoryForReuse();

} // namespace platform::Memory
