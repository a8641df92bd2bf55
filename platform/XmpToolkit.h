// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exiv2/image.hpp>

#include <mutex>

// Exiv2 0.27 parses and serialises XMP with a toolkit that keeps global
// state (its namespace tables, and buffers its answers pass through), and
// every format's readMetadata and writeMetadata parse or serialise XMP
// inside the library. So no two threads may be in the toolkit at once, and
// the prefixes a packet is written with follow whatever packets the process
// parsed before.
//
// This program provides Exiv2::XmpParser::decode and encode itself: they
// take one process-wide lock and call the library's own, so the library's
// calls from inside readMetadata and writeMetadata pass through the lock
// too, and encode gives every namespace the library knows its own prefix
// first. Only the XMP work is serial; the file's reading, the other
// structures (TIFF, JPEG segments, maker notes) and the writing to disk run
// on every worker at once.
namespace platform::XmpToolkit {

// The lock, recursive: the library registers namespaces under it while it
// serialises. The one to give XmpParser::initialize.
std::recursive_mutex &mutex();
void lockFunction(void *mutex, bool lock);

// Checks once whether the library's own XMP calls pass through the lock
// (a library bound to its own functions at build time would bypass them);
// initializeExiv2 calls it.
void checkLibraryCalls();
bool libraryCallsPassThrough();

// The image's readMetadata and writeMetadata from any thread: the whole
// call holds the lock only where the library's own calls bypass it.
void readMetadata(Exiv2::Image &image);
void writeMetadata(Exiv2::Image &image);

} // namespace platform::XmpToolkit
