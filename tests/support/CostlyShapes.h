// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Files of a few megabytes at most that repeat one structure thousands of
// times, or name the same bytes from many places, each a shape that once
// held a write or a read for seconds to days or took gigabytes: made from
// nothing, the same bytes on every run. The tests write and clean them; the
// benchmark in bench/ times them.
namespace costlyshapes {

// A camera's heap in an APP0 segment, the deepest a reader takes: every
// entry of each level names the one heap below, down to an empty heap.
QByteArray heapSegment(quint16 entriesALevel);

// An "AXS" trailer whose footer points past the file: before it, marks that
// each count as many entries, every one of which reads as sound up to the
// zeros before the footer, so that each mark nearer the footer is given up
// only at its last entry.
QByteArray axsTrailer(quint16 entriesAMark);

// An Olympus maker note of four chained directories of 160 entries: all
// but one entry of each names the next directory, and the last entry's
// value, like every value of the last directory, lies before the note.
QByteArray olympusChain();

// A Canon maker note of 2,000 entries whose values lie outside the Exif,
// in 100,000 comment segments that follow it.
QByteArray noteInComments();

// A JPEG whose Canon maker note has 1,000 entries that all name one
// preview of 64 KB after the picture.
QByteArray noteNamingOnePreview();

// A TIFF whose Canon maker note has 250 entries that all name one block of
// a megabyte.
QByteArray canonNoteNamingOneBlock();

// A sound TIFF as image editors save a layered picture: the layers, 64 MB,
// in the ImageSourceData entry of its first directory.
QByteArray layeredTiff(int layerMegabytes = 64);

// IPTC in Photoshop resources split over 24,000 APP13 segments, each
// resource running on into the next segment.
QByteArray splitIptc();

// A WebP of 2,000 EXIF and XMP chunks.
QByteArray manyWebpChunks();

} // namespace costlyshapes
