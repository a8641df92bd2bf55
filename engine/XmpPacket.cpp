// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/XmpPacket.h"

#include <exiv2/error.hpp>
#include <exiv2/psdimage.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <algorithm>
#include <cctype>
#include <utility>

namespace engine::bridge {

namespace {

// The packet as read: formats built on TIFF keep it with the XMP data.
const std::string &packetOf(const Exiv2::Image &image)
{
    const std::string &packet = image.xmpPacket();
    return packet.empty() ? image.xmpData().xmpPacket() : packet;
}

} // namespace

bool holdsXmpPacket(const Exiv2::Image &image)
{
    const std::string &packet = packetOf(image);
    return !std::all_of(
        packet.begin(), packet.end(), [](unsigned char c) { return std::isspace(c) || c == 0; });
}

bool hasUnreadableXmp(const Exiv2::Image &image)
{
    // Values read from the packet mean it parsed: no second parse needed.
    if (!image.xmpData().empty() || !holdsXmpPacket(image))
        return false;
    const std::string &packet = packetOf(image);
    Exiv2::XmpData parsed;
    return Exiv2::XmpParser::decode(parsed, packet) != 0;
}

void keepXmpAsItIs(Exiv2::Image &image)
{
    // This format's writer drops a packet it is told to keep; it writes the
    // parsed values again instead, which an unreadable packet has none of.
    if (dynamic_cast<const Exiv2::PsdImage *>(&image)) {
        if (hasUnreadableXmp(image))
            throw Exiv2::Error(Exiv2::kerErrorMessage, "the file's XMP cannot be read and would be lost");
        return;
    }
    // First, as asking the image for its packet otherwise encodes the
    // parsed values anew.
    image.writeXmpFromPacket(true);
    // Formats built on TIFF take the packet from the XMP data, the others
    // from the image.
    const std::string packet = packetOf(std::as_const(image));
    image.xmpData().setPacket(packet);
    image.xmpData().usePacket(true);
}

void dropEmptyContainers(Exiv2::XmpData &xmp)
{
    const auto isEmptyContainer = [&](const Exiv2::Xmpdatum &datum) {
        const auto *value = dynamic_cast<const Exiv2::XmpValue *>(&datum.value());
        if (!value
            || (value->xmpArrayType() == Exiv2::XmpValue::xaNone
                && value->xmpStruct() == Exiv2::XmpValue::xsNone))
            return false;
        // A container of fields holds no value of its own; an array holds its items.
        const auto *text = dynamic_cast<const Exiv2::XmpTextValue *>(value);
        if (text ? !text->value_.empty() : value->count() > 0)
            return false;
        const std::string key = datum.key();
        return std::none_of(xmp.begin(), xmp.end(), [&](const Exiv2::Xmpdatum &other) {
            const std::string k = other.key();
            return k.size() > key.size() && k.compare(0, key.size(), key) == 0
                && (k[key.size()] == '[' || k[key.size()] == '/');
        });
    };
    // A structure that goes can leave its array empty in turn.
    for (bool dropped = true; dropped;) {
        dropped = false;
        for (auto datum = xmp.begin(); datum != xmp.end();) {
            const bool empty = isEmptyContainer(*datum);
            dropped = dropped || empty;
            datum = empty ? xmp.erase(datum) : std::next(datum);
        }
    }
}

void removeXmp(Exiv2::Image &image)
{
    // Some writers keep the packet that was read unless it goes too.
    image.clearXmpData();
    image.clearXmpPacket();
    image.xmpData().setPacket(std::string());
}

} // namespace engine::bridge
