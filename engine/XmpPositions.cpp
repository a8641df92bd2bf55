// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/XmpPositions.h"

#include <exiv2/error.hpp>
#include <exiv2/properties.hpp>

#include <algorithm>
#include <cctype>
#include <span>
#include <string_view>

namespace engine::bridge {

namespace {

// A name that ends with '*' stands for every name it begins.
struct PositionNames
{
    std::string_view ns;
    std::span<const std::string_view> names;
    // A drone's or a camera's own, which no write brings in step with the
    // Exif's position.
    bool own = true;
};

constexpr std::string_view gpsAnything[] = { "GPS*" };
// Drones spell these as their firmware has it ("GpsLongtitude" on some);
// the laser rangefinder's target is a position too, a few hundred metres
// from the drone's own. Their accuracies (RtkStdLat) tell no position.
constexpr std::string_view droneProperties[]
    = { "GpsLatitude", "GpsLongitude", "GpsLongtitude", "Latitude", "Longitude", "AbsoluteAltitude",
          "RelativeAltitude", "LRFTargetLat", "LRFTargetLon", "LRFTargetAlt", "LRFTargetAbsAlt" };
// A depth photo's pose on the Earth, as the format and as readers name it.
constexpr std::string_view earthPose[] = { "EarthPose", "EarthPos" };
// Natural history collections' records of where a specimen was found.
constexpr std::string_view occurrenceLocation[]
    = { "decimalLatitude", "decimalLongitude", "verbatimLatitude", "verbatimLongitude", "verbatimCoordinates",
          "verbatimElevation", "minimumElevationInMeters", "maximumElevationInMeters", "footprintWKT" };

// The namespaces by the name the photo declares them with, whatever prefix
// it gives them, and the properties or fields in them that hold a position.
constexpr PositionNames positions[] = {
    { "http://ns.adobe.com/exif/1.0/", gpsAnything, false },
    { "http://cipa.jp/exif/1.0/", gpsAnything, false },
    { "http://iptc.org/std/Iptc4xmpExt/2008-02-29/", gpsAnything, false },
    { "http://www.dji.com/drone-dji/1.0/", droneProperties },
    { "http://ns.nikon.com/asteroid/1.0/", gpsAnything },
    { "http://ns.google.com/photos/dd/1.0/device/", earthPose },
    { "http://rs.tdwg.org/dwc/terms/", occurrenceLocation },
    { "http://rs.tdwg.org/dwc/index.htm", occurrenceLocation },
};

// The library registers a namespace with a closing '/' where it has none.
bool sameNamespace(std::string_view registered, std::string_view listed)
{
    if (registered.ends_with('/') && !listed.ends_with('/') && !listed.ends_with('#'))
        registered.remove_suffix(1);
    return registered == listed;
}

bool sameName(std::string_view name, std::string_view listed)
{
    const bool prefix = listed.ends_with('*');
    if (prefix)
        listed.remove_suffix(1);
    if (name.size() < listed.size() || (!prefix && name.size() != listed.size()))
        return false;
    return std::equal(listed.begin(), listed.end(), name.begin(),
        [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); });
}

std::string namespaceOf(std::string_view prefix)
{
    try {
        return Exiv2::XmpProperties::ns(std::string(prefix));
    } catch (const Exiv2::AnyError &) {
        return {};
    }
}

// The namespace's row when the datum holds a position, or a part of it.
const PositionNames *positionNamesOf(const std::string &key)
{
    std::string_view path(key);
    if (!path.starts_with("Xmp."))
        return nullptr;
    path.remove_prefix(4);
    const std::size_t dot = path.find('.');
    if (dot == std::string_view::npos)
        return nullptr;
    const std::string ns = namespaceOf(path.substr(0, dot));
    const auto listed = std::find_if(std::begin(positions), std::end(positions),
        [&](const PositionNames &p) { return sameNamespace(ns, p.ns); });
    if (listed == std::end(positions))
        return nullptr;
    path.remove_prefix(dot + 1);
    // The property, then each field on the way to the value: "Location[1]",
    // "Iptc4xmpExt:GPSLatitude"; qualifiers ("?xml:lang") name no field.
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        std::string_view step = path.substr(0, slash);
        path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
        step = step.substr(0, step.find('['));
        if (step.starts_with('?'))
            continue;
        if (const std::size_t colon = step.find(':'); colon != std::string_view::npos)
            step.remove_prefix(colon + 1);
        if (std::any_of(listed->names.begin(), listed->names.end(),
                [&](std::string_view name) { return sameName(step, name); }))
            return &*listed;
    }
    return nullptr;
}

} // namespace

bool isXmpPosition(const std::string &key)
{
    return positionNamesOf(key) != nullptr;
}

bool isOwnXmpPosition(const std::string &key)
{
    const PositionNames *listed = positionNamesOf(key);
    return listed && listed->own;
}

} // namespace engine::bridge
