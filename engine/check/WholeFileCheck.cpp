// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/check/WholeFileCheck.h"

#include "engine/check/ExifComparison.h"
#include "engine/check/ExifInventory.h"
#include "engine/check/FileLayout.h"
#include "engine/check/WhatMayChange.h"

#include <algorithm>

namespace engine::check {

namespace {

using Kind = FilePart::Kind;

bool checked(const FilePart &part, const WriteRequest &request)
{
    switch (part.kind) {
    case Kind::Kept:
    case Kind::KeptWhereBoth:
    case Kind::Profile:
        return true;
    case Kind::Xmp:
        return !request.xmpMayChange;
    case Kind::Iptc:
        return !request.iptcMayChange;
    case Kind::Comment:
        return !request.commentMayChange;
    case Kind::Camera:
        return !request.exifTaken;
    case Kind::Thermal:
        return !request.exifTaken && !request.gpsTaken;
    case Kind::Unchecked:
        return false;
    }
    return true;
}

// Which parts keep their order among which: the picture's and the other
// programs' parts among themselves; the parts the library writes anew (the
// XMP, whose extended pieces any order holds, the IPTC, the comments, the
// colour profile) apart, wherever the library puts them.
enum class Sequence : std::uint8_t { Kept, Xmp, Iptc, Comment, Profile };

Sequence sequenceOf(Kind kind)
{
    switch (kind) {
    case Kind::Xmp:
        return Sequence::Xmp;
    case Kind::Iptc:
        return Sequence::Iptc;
    case Kind::Comment:
        return Sequence::Comment;
    case Kind::Profile:
        return Sequence::Profile;
    default:
        return Sequence::Kept;
    }
}

// The parts a write must keep, of one sequence, in their order; a part
// kept only where both files have it, where the other has one of its name.
std::vector<const FilePart *> keptParts(
    const FileLayout &layout, const FileLayout &other, const WriteRequest &request, Sequence sequence)
{
    std::vector<const FilePart *> parts;
    for (const FilePart &part : layout.parts) {
        if (sequenceOf(part.kind) != sequence || !checked(part, request))
            continue;
        if (part.kind == Kind::KeptWhereBoth
            && std::none_of(other.parts.begin(), other.parts.end(),
                [&](const FilePart &o) { return o.kind == part.kind && o.name == part.name; }))
            continue;
        parts.push_back(&part);
    }
    if (sequence == Sequence::Xmp) {
        std::sort(parts.begin(), parts.end(), [](const FilePart *a, const FilePart *b) {
            return std::lexicographical_compare(
                a->bytes.begin(), a->bytes.end(), b->bytes.begin(), b->bytes.end());
        });
    }
    return parts;
}

bool samePart(const FilePart &was, const FilePart &is)
{
    if (was.name != is.name || was.bytes.size() != is.bytes.size() || was.named.size() != is.named.size())
        return false;
    if (was.masked.empty() && was.named.empty())
        return sameBytes(was.bytes, is.bytes);
    std::vector<bool> masked(was.bytes.size(), false);
    for (const auto &[at, length] : was.masked) {
        for (std::uint64_t i = at; i < at + length && i < masked.size(); ++i)
            masked[i] = true;
    }
    for (std::size_t i = 0; i < was.bytes.size(); ++i) {
        if (!masked[i] && was.bytes[i] != is.bytes[i])
            return false;
    }
    for (std::size_t i = 0; i < was.named.size(); ++i) {
        if (was.named[i].has_value() != is.named[i].has_value()
            || (was.named[i] && !sameBytes(*was.named[i], *is.named[i])))
            return false;
    }
    return true;
}

std::optional<std::string> partsDifference(
    const FileLayout &was, const FileLayout &is, const WriteRequest &request)
{
    for (const Sequence sequence :
        { Sequence::Kept, Sequence::Xmp, Sequence::Iptc, Sequence::Comment, Sequence::Profile }) {
        const std::vector<const FilePart *> before = keptParts(was, is, request, sequence);
        const std::vector<const FilePart *> after = keptParts(is, was, request, sequence);
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (i >= after.size())
                return before[i]->name + " would be lost";
            if (!samePart(*before[i], *after[i]))
                return before[i]->name + " would change";
        }
        if (after.size() > before.size())
            return "the written file would hold a part the original did not: " + after[before.size()]->name;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> refusal(std::span<const std::uint8_t> original,
    std::span<const std::uint8_t> written, const WriteRequest &request)
{
    ReadBudget budget = ReadBudget::forFile(original.size() + written.size());
    const FileLayout was = layoutOf(original, budget);
    if (was.unreadable)
        return was.unreadable;
    const FileLayout is = layoutOf(written, budget);
    if (is.unreadable || is.format != was.format)
        return std::string("the written file would not read whole");
    ExifInventory wasExif;
    if (was.exif) {
        wasExif = inventoryOf(*was.exif, original, budget, request.decodedNote);
        if (wasExif.unreadable)
            return wasExif.unreadable;
    }
    ExifInventory isExif;
    if (is.exif) {
        isExif = inventoryOf(*is.exif, written, budget, {}, &wasExif);
        if (isExif.unreadable)
            return std::string("the written file's Exif would not read whole");
    }
    if (std::optional<std::string> why = partsDifference(was, is, request))
        return why;
    const WhatMayChange allowed(request, was, wasExif, is);
    return exifDifference(wasExif, isExif, allowed, was.format);
}

} // namespace engine::check
