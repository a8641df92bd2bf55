// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Prepares Exiv2 for use from many threads: initialises its XMP toolkit
// with the toolkit's lock (platform/XmpToolkit.h), checks that the
// library's own XMP calls take it, and keeps the library's own warnings off
// the console, so only the bridge's lines appear there. Idempotent and
// thread-safe; main() calls it before any worker reads, and every use of
// Exiv2 (the bridge, picture reading) calls it again.
void initializeExiv2();
