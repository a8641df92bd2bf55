// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ClearChoices.h"
#include "engine/IptcAsRead.h"

#include <QString>

#include <exiv2/image.hpp>

#include <functional>
#include <string>
#include <vector>

// Copies of metadata that other programs keep where Calvorn leaves them
// byte for byte: IPTC a camera keeps inside its maker note, a comment or a
// copyright another program keeps in a JPEG segment of its own, and the XMP
// of a TIFF-based file's sub-images. Rewriting a maker note or another
// program's segment could leave what that program reads back unreadable,
// so a write or a clear leaves them, but other readers still show them,
// and so the photo is listed with where the copy stays.
namespace engine::bridge {

struct CopiesLeftAlone
{
    // The IPTC datasets the maker note holds.
    std::vector<StoredDataset> makerNoteIptc;
    // The segment ("APP12") another program keeps a comment, or a
    // copyright, in; empty when none does.
    QString commentSegment;
    QString copyrightSegment;
    // The XMP packets of the sub-images.
    std::vector<std::string> subImageXmp;
};

// Found in the metadata the library read of the image and in the file's
// bytes (the JPEG segments ahead of the image data), each within its bounds.
CopiesLeftAlone copiesLeftAlone(const Exiv2::Image &image, const Exiv2::byte *data, long size);

// Where a copy stays, by the Exiv2 key of a written value or the name of a
// clear's choice ("iptc"), and why.
using CopyReport = std::function<void(const std::string &keyOrChoice, const QString &where)>;

// The choices of a clear that leave such a copy.
void reportKeptCopies(const CopiesLeftAlone &copies, const ClearChoices &clear, const CopyReport &kept);

// The written values (by Exiv2 key) such a copy keeps an older value of.
void reportOlderCopies(
    const CopiesLeftAlone &copies, const std::vector<std::string> &written, const CopyReport &stays);

} // namespace engine::bridge
