// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ClearChoices.h"
#include "engine/IptcAsRead.h"
#include "engine/walks/ThermalSegments.h"

#include <QString>
#include <QStringList>

#include <exiv2/image.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Copies of metadata that other programs keep where Calvorn leaves them
// byte for byte: IPTC a camera keeps inside its maker note and the
// rotation it keeps there of its own, a comment or a copyright another
// program keeps in a JPEG segment of its own, IPTC another program keeps in
// a trailer after a JPEG's picture, and the XMP of a TIFF-based file's
// sub-images. Rewriting a maker note or another program's data could
// leave what that program reads back unreadable, so a write or a clear
// leaves them, but other readers still show them, and so the photo is
// listed with where the copy stays. So is a camera's own segment that
// cannot be read (a clear of the Exif takes those that can), a thermal
// camera's, which thermal software needs (a clear of the GPS empties its GPS
// record where its records can be read), and a copy of a written value in
// another directory that is not in step with it.
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
    // The IPTC datasets trailers after the picture hold, and whether one
    // cannot be read.
    std::vector<StoredDataset> trailerIptc;
    bool unreadableTrailer = false;
    // Whether a camera keeps its own data in a trailer there, which holds
    // more than metadata (a second picture, a video).
    bool cameraTrailer = false;
    // The segments that begin as a camera's own but do not parse ("APP0").
    QStringList unreadableCameraSegments;
    // A thermal camera's own segments, which hold its data beside the
    // thermal picture and may hold a GPS record of its own.
    ThermalSegments thermalSegments;
    // The XMP holds a position in a drone's or a camera's own namespace.
    bool ownXmpPosition = false;
    // The rotation the maker note keeps of its own, as the orientation it
    // stands for, where it says other than the first directory's
    // orientation (or, without one, other than none).
    std::optional<uint16_t> makerNoteRotation;
    // The keys of values whose copy in another directory holds other bytes
    // than they do, and where the copy is.
    std::vector<std::pair<std::string, QString>> misplacedApart;
};

// Found in the metadata the library read of the image and in the file's
// bytes (the JPEG segments ahead of the image data and the trailers after
// it), each within its bounds.
// The walks over the bytes spend the file's budget.
CopiesLeftAlone copiesLeftAlone(
    const Exiv2::Image &image, const Exiv2::byte *data, long size, WalkBudget &budget);

// Where a copy stays, by the Exiv2 key of a written value or the name of a
// clear's choice ("iptc"), and why.
using CopyReport = std::function<void(const std::string &keyOrChoice, const QString &where)>;

// The choices of a clear that leave such a copy.
void reportKeptCopies(const CopiesLeftAlone &copies, const ClearChoices &clear, const CopyReport &kept);

// The written values (by Exiv2 key) such a copy keeps an older value of.
void reportOlderCopies(
    const CopiesLeftAlone &copies, const std::vector<std::string> &written, const CopyReport &stays);

} // namespace engine::bridge
