// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <vector>

// Where a sample's structure is, found the way a reader would walk it, so
// that damage lands where readers trust the bytes: the numbers that say
// how long, how many or where, and the spans that stand on their own.
namespace mutation {

struct NumberField
{
    qsizetype at = 0;
    int width = 0; // 2 or 4 bytes
    bool bigEndian = true;
};

// A JPEG segment, PNG chunk, TIFF directory, Photoshop resource, IPTC
// dataset, JPEG 2000 box or RIFF chunk.
struct Piece
{
    qsizetype at = 0;
    qsizetype size = 0;
};

struct Structure
{
    std::vector<NumberField> fields;
    std::vector<Piece> pieces;
    // Offsets worth damaging near: the fields, the pieces' starts and
    // ends, the XMP packets' markers.
    std::vector<qsizetype> landmarks;
};

Structure structureOf(const QByteArray &bytes);

} // namespace mutation
