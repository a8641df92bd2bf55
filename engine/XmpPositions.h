// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Where a photo's XMP holds its position: the Exif namespace's copy of the
// GPS directory, the IPTC extension's locations, and the namespaces drones
// and cameras write of their own, where the position sits beside values
// that are no position at all (a drone's gimbal and flight angles, its
// camera's calibration). A clear of the GPS takes the position from each
// and leaves the rest of those namespaces as they are.
namespace engine::bridge {

// Whether the XMP datum ("Xmp.drone-dji.GpsLatitude") holds the position
// or a part of it (its latitude, longitude or altitude, their references,
// the GPS record's other values); a field of a structure counts by its own
// namespace and name.
bool isXmpPosition(const std::string &key);
// Whether it holds one in a namespace of a drone's or a camera's own, which
// a write of the position leaves as it was.
bool isOwnXmpPosition(const std::string &key);

} // namespace engine::bridge
