// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carry/PngExif.h"

#include "engine/carry/PngTextCopies.h"
#include "engine/walks/PhotoshopResources.h"
#include "engine/walks/RawProfile.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace engine::bridge {

namespace {

constexpr long signatureSize = 8;
constexpr std::string_view rawExifProfile = "Raw profile type exif";
constexpr std::string_view photoshopProfile = "Raw profile type 8bim";

// Photoshop's resources that copy the Exif and the XMP.
constexpr uint16_t exifResources[] = { 0x0422, 0x0423 };
constexpr uint16_t xmpResource = 0x0424;

QByteArray exifChunk(const Exiv2::ExifData &exif, Exiv2::ByteOrder order)
{
    Exiv2::Blob tiff;
    Exiv2::ExifParser::encode(tiff, order == Exiv2::invalidByteOrder ? Exiv2::littleEndian : order, exif);
    return pngChunkOf(
        "eXIf", QByteArray(reinterpret_cast<const char *>(tiff.data()), qsizetype(tiff.size())));
}

// What becomes of one chunk.
struct ChunkEdit
{
    enum class Fate { Keep, Drop, Replace } fate = Fate::Keep;
    QByteArray replacement;
};

// A Photoshop profile: its IPTC in step with the edit's, and what it holds
// that stays.
ChunkEdit profileEdit(const PngChunk &chunk, const PngTextEdit &edit, PngTexts &texts)
{
    const std::optional<QByteArray> text = pngChunkText(chunk);
    const std::optional<RawProfile> profile = text ? rawProfileOf(*text) : std::nullopt;
    const std::span<const Exiv2::byte> block = profile
        ? std::span(reinterpret_cast<const Exiv2::byte *>(profile->bytes.constData()),
            std::size_t(profile->bytes.size()))
        : std::span<const Exiv2::byte>();
    const std::optional<std::vector<Resource>> resources = profile ? resourcesOf(block) : std::nullopt;
    if (!resources) {
        texts.unreadableProfile = true;
        return {};
    }
    const auto holds = [&](uint16_t id) {
        return std::any_of(
            resources->begin(), resources->end(), [id](const Resource &r) { return r.id == id; });
    };
    texts.profileHoldsXmp = texts.profileHoldsXmp || holds(xmpResource);
    texts.profileHoldsExif
        = texts.profileHoldsExif || std::any_of(std::begin(exifResources), std::end(exifResources), holds);
    if (!edit.iptc)
        return {};
    const QByteArray inStep = withIptcResource(block, *resources, *edit.iptc);
    if (inStep.isNull() || inStep == profile->bytes)
        return {};
    if (inStep.isEmpty()) {
        texts.found.iptc = true;
        return { ChunkEdit::Fate::Drop, {} };
    }
    const QByteArray replacement = pngChunkWithText(chunk, rawProfileText({ profile->name, inStep }));
    if (replacement.isNull()) {
        texts.unreadableProfile = true;
        return {};
    }
    texts.found.iptc = true;
    return { ChunkEdit::Fate::Replace, replacement };
}

constexpr std::string_view userCommentKey = "Exif.Photo.UserComment";

void noteOldValue(PngTexts &texts, std::string_view key)
{
    if (std::find(texts.oldValues.begin(), texts.oldValues.end(), key) == texts.oldValues.end())
        texts.oldValues.emplace_back(key);
}

// A comment text brought in step with the written comment, or taken with
// an emptied one.
ChunkEdit commentEdit(const PngChunk &chunk, const QString &comment, PngTexts &texts)
{
    if (comment.isEmpty()) {
        noteOldValue(texts, userCommentKey);
        return { ChunkEdit::Fate::Drop, {} };
    }
    const std::optional<QString> text = pngChunkString(chunk);
    if (text == comment)
        return {};
    noteOldValue(texts, userCommentKey);
    const QByteArray inStep = text ? pngChunkWithString(chunk, comment) : QByteArray();
    if (inStep.isNull())
        return {};
    return { ChunkEdit::Fate::Replace, inStep };
}

// What a write asks of the text chunk, if anything.
std::optional<ChunkEdit> writeEdit(
    const PngChunk &chunk, std::string_view keyword, const PngTextWrite &write, PngTexts &texts)
{
    if (write.comment && isCommentText(keyword))
        return commentEdit(chunk, *write.comment, texts);
    const auto copy = std::find_if(write.copies.begin(), write.copies.end(),
        [&](const TextCopy &c) { return isKeyword(keyword, c.keyword); });
    if (copy != write.copies.end()) {
        noteOldValue(texts, copy->key);
        // A copy that does not read stays, as the reader that shows it
        // finds it damaged too, and is told.
        if (!pngChunkText(chunk))
            return ChunkEdit {};
        return ChunkEdit { ChunkEdit::Fate::Drop, {} };
    }
    if (write.everyCopy && isTextCopy(keyword))
        return ChunkEdit { ChunkEdit::Fate::Drop, {} };
    return std::nullopt;
}

ChunkEdit editOf(const PngChunk &chunk, const PngTextEdit &edit, PngTexts &texts)
{
    const std::string_view keyword = chunk.keyword();
    if (keyword.empty())
        return {};
    const ClearChoices taking = choicesTakingText(keyword, edit.descriptionIsComment) & edit.taken;
    if (taking.any()) {
        texts.found |= taking;
        return { ChunkEdit::Fate::Drop, {} };
    }
    if (const std::optional<ChunkEdit> written = writeEdit(chunk, keyword, edit.write, texts))
        return *written;
    const bool profileMatters = edit.iptc || edit.taken.xmp || edit.taken.anyExif();
    if (profileMatters && isKeyword(keyword, photoshopProfile))
        return profileEdit(chunk, edit, texts);
    return {};
}

} // namespace

PngTexts findPngTexts(const Exiv2::byte *data, long size, const PngTextEdit &edit)
{
    PngTexts texts;
    forEachPngChunk(data, size, [&](const PngChunk &chunk) { editOf(chunk, edit, texts); });
    return texts;
}

QByteArray finishedPng(const Exiv2::byte *data, long size, const Exiv2::ExifData &exif,
    Exiv2::ByteOrder order, const PngTextEdit &edit)
{
    if (size < signatureSize)
        return QByteArray();
    const auto *text = reinterpret_cast<const char *>(data);
    QByteArray png(text, signatureSize);
    bool changed = false;
    bool exifDone = false;
    long copied = signatureSize;
    PngTexts texts;
    const bool whole = forEachPngChunk(data, size, [&](const PngChunk &chunk) {
        copied = chunk.end;
        if (!exifDone && chunk.keyword() == rawExifProfile) {
            png.append(exifChunk(exif, order));
            exifDone = changed = true;
            return;
        }
        const ChunkEdit chunkEdit = editOf(chunk, edit, texts);
        changed = changed || chunkEdit.fate != ChunkEdit::Fate::Keep;
        if (chunkEdit.fate == ChunkEdit::Fate::Keep)
            png.append(text + chunk.at, chunk.end - chunk.at);
        else if (chunkEdit.fate == ChunkEdit::Fate::Replace)
            png.append(chunkEdit.replacement);
    });
    // Bytes the walk could not take as chunks stay as they are.
    png.append(text + copied, size - copied);
    return whole && changed ? png : QByteArray();
}

} // namespace engine::bridge
