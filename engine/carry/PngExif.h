// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ClearChoices.h"
#include "engine/walks/PngChunks.h"

#include <QByteArray>
#include <QString>

#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>

#include <optional>
#include <string>
#include <vector>

// What a written PNG needs beyond what Exiv2 0.27 does. The library writes
// a PNG's Exif as a "Raw profile type exif" text chunk, which readers take
// for non-standard; the PNG standard keeps Exif in an eXIf chunk, which the
// library reads as well. It reads and writes the comment kept under the
// text keyword "Description", but not the one under "Comment", which
// viewers show as the image's comment just the same. And it knows nothing
// of the copies image converters keep beside its own chunks: text copies of
// the Exif and XMP values, and a Photoshop profile ("Raw profile type
// 8bim") holding the IPTC a second time, which other readers show.
namespace engine::bridge {

// A text copy that a write takes: its keyword, and the Exiv2 key of the
// value it copies.
struct TextCopy
{
    std::string keyword;
    std::string key;
};

// What a write asks of the PNG's texts beyond the library's chunks.
struct PngTextWrite
{
    // The comment the texts under "Comment" are to hold, when the write
    // names it; an empty one takes them.
    std::optional<QString> comment = {};
    // The text copies of the values written, which go: the values
    // themselves hold what was written.
    std::vector<TextCopy> copies;
    // The write emptied the values it did not name, so every text copy goes.
    bool everyCopy = false;
};

// What a write or a clear asks of the PNG's texts.
struct PngTextEdit
{
    // The clear's choices: the comment texts and the text copies of what
    // they take go with them.
    ClearChoices taken;
    // In the small PNG that holds a PGF's metadata, the library does not
    // read the comment, so its text under "Description" is one too.
    bool descriptionIsComment = false;
    // When the IPTC changed, what a Photoshop profile's copy of it is to
    // hold; empty takes it out.
    std::optional<Exiv2::IptcData> iptc;
    PngTextWrite write;
};

// What the PNG's texts hold of what the edit asks.
struct PngTexts
{
    // The choices that find texts to take; under iptc, a Photoshop profile
    // whose IPTC is to change.
    ClearChoices found;
    // A Photoshop profile that cannot be read, so it stays as it is, with
    // any IPTC in it.
    bool unreadableProfile = false;
    // A readable profile's copies of the Exif and of the XMP, which stay.
    bool profileHoldsExif = false;
    bool profileHoldsXmp = false;
    // The Exiv2 keys of written values whose comment text or text copy
    // holds another value than the write gives: one the edit brings in step
    // or takes, and one it cannot, as it does not read.
    std::vector<std::string> oldValues;
};
PngTexts findPngTexts(const Exiv2::byte *data, long size, const PngTextEdit &edit);

// The written PNG with the Exif in an eXIf chunk where the library left
// such a text chunk, without the texts the edit takes, and with its comment
// texts and Photoshop profiles' IPTC in step; null when there was nothing
// to change. One pass over the chunks; a text it would have to read to
// bring in step or take for a write, and cannot, stays as it is.
QByteArray finishedPng(const Exiv2::byte *data, long size, const Exiv2::ExifData &exif,
    Exiv2::ByteOrder order, const PngTextEdit &edit);

} // namespace engine::bridge
