// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <exiv2/types.hpp>

#include <functional>
#include <optional>
#include <string_view>

// A PNG file's chunks, walked through the bounded cursor, and the text
// chunks' keywords and texts.
namespace engine::bridge {

struct PngChunk
{
    long at = 0; // where its length starts
    long end = 0; // just after its check sum
    std::string_view type;
    std::string_view data;

    bool isText() const { return type == "tEXt" || type == "zTXt" || type == "iTXt"; }
    // A text chunk's keyword; empty for another chunk.
    std::string_view keyword() const;
};

// Whether a keyword is the name in any letter case, as readers take it.
bool isKeyword(std::string_view keyword, std::string_view name);

// Calls visit for each whole chunk after the signature, up to the image's
// end chunk; false when the bytes are no PNG or a chunk runs past the end,
// where the walk stops.
bool forEachPngChunk(const Exiv2::byte *data, long size, const std::function<void(const PngChunk &)> &visit);

// The check sum a PNG chunk ends with, of its type and data (ISO 3309).
quint32 pngChunkCrc(const QByteArray &typeAndData);
// A whole chunk: its data's length, its type, its data and its check sum.
QByteArray pngChunkOf(std::string_view type, const QByteArray &data);

// The text a text chunk holds, inflated where it is compressed; none when
// its form or its compressed data is damaged, or it would inflate past 64 MB.
std::optional<QByteArray> pngChunkText(const PngChunk &chunk);
// The whole chunk holding text instead, in the same form: its keyword, its
// compression and, in an iTXt chunk, its language and translated keyword;
// null when it cannot be made.
QByteArray pngChunkWithText(const PngChunk &chunk, const QByteArray &text);

// The text as readers take it: Latin-1 in a tEXt or zTXt chunk, UTF-8 in an
// iTXt chunk; none when the chunk is damaged.
std::optional<QString> pngChunkString(const PngChunk &chunk);
// The whole chunk holding text instead, in the same form; a tEXt or zTXt
// chunk whose text Latin-1 cannot hold becomes an iTXt chunk of the same
// keyword and compression. Null when it cannot be made.
QByteArray pngChunkWithString(const PngChunk &chunk, const QString &text);

} // namespace engine::bridge
