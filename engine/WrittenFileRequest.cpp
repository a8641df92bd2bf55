// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/WrittenFileRequest.h"

#include <exiv2/tags.hpp>

#include <algorithm>

namespace engine::bridge {

namespace {

// The library's groups of a TIFF's pages: the first, the second (a JPEG's
// thumbnail), and a raw file's third and fourth.
constexpr const char *pageGroups[] = { "Image", "Thumbnail", "Image2", "Image3" };
constexpr std::string_view subImageGroup = "SubImage";

bool isCameraGroup(const std::string &group)
{
    return group != "MakerNote" && Exiv2::ExifTags::isMakerGroup(group);
}

std::vector<check::DecodedNoteValue> decodedNote(const Exiv2::ExifData &exif)
{
    std::vector<check::DecodedNoteValue> values;
    std::string group;
    bool camera = false;
    for (const Exiv2::Exifdatum &datum : exif) {
        // The library looks a group up in a long table; a note's values
        // come group by group.
        if (std::string name = datum.groupName(); name != group) {
            camera = isCameraGroup(name);
            group = std::move(name);
        }
        const int type = datum.typeId();
        if (!camera || type < Exiv2::unsignedByte || type > Exiv2::tiffIfd)
            continue;
        check::DecodedNoteValue value { datum.tag(), std::uint16_t(type), std::uint32_t(datum.count()), {} };
        value.bytes.resize(std::size_t(std::max(datum.size(), 0L)));
        if (!value.bytes.empty())
            datum.copy(value.bytes.data(), Exiv2::littleEndian);
        values.push_back(std::move(value));
    }
    return values;
}

} // namespace

check::NamedTag namedTag(const Exiv2::ExifKey &key)
{
    const std::string group = key.groupName();
    check::NamedTag named { check::Place::Page, 1, key.tag() };
    const auto page = std::find(std::begin(pageGroups), std::end(pageGroups), group);
    if (page != std::end(pageGroups))
        named.index = std::uint16_t(page - std::begin(pageGroups) + 1);
    else if (group == "Photo")
        named.place = check::Place::Exif;
    else if (group == "GPSInfo")
        named.place = check::Place::Gps;
    else if (group == "Iop")
        named.place = check::Place::Interoperability;
    else if (group.starts_with(subImageGroup)) {
        named.place = check::Place::SubImage;
        named.index = std::uint16_t(std::atoi(group.c_str() + subImageGroup.size()));
    } else
        named.place = check::Place::MakerNote;
    return named;
}

check::WriteRequest writtenFileRequest(const Exiv2::Image &image, const SavedContent &content)
{
    check::WriteRequest request;
    for (const std::string &key : content.exifWritten)
        request.written.push_back(namedTag(Exiv2::ExifKey(key)));
    const ClearChoices &taken = content.taken;
    request.exifTaken = taken.exif || content.emptied;
    request.orientationTaken = taken.orientation || content.emptied;
    request.gpsTaken = taken.gps || content.emptied;
    request.commentTaken = taken.comment || content.emptied;
    request.iptcMayChange = content.iptc != IptcContent::Kept || taken.iptc;
    // A packet the write keeps as it read it is written as it was.
    request.xmpMayChange = taken.xmp || content.emptied || !image.writeXmpFromPacket();
    request.commentMayChange = content.comment.has_value() || taken.comment;
    request.decodedNote = decodedNote(image.exifData());
    return request;
}

} // namespace engine::bridge
