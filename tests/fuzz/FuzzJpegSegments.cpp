// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the walks over a JPEG's segments, a thermal camera's
// records across its segments, and the JPEG's trailers.
#include "engine/carry/ExtendedXmp.h"
#include "engine/walks/CameraSegments.h"
#include "engine/walks/JpegSegments.h"
#include "engine/walks/JpegTrailers.h"
#include "engine/walks/ThermalSegments.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<Exiv2::byte> bytes(data, data + size);
    // One budget for the file, as a write spends it.
    engine::bridge::WalkBudget budget = engine::bridge::WalkBudget::forFile(size);
    engine::bridge::forEachJpegSegment(bytes.data(), long(size), [](const engine::bridge::JpegSegment &) {});
    engine::bridge::withoutOrphanedExtendedXmp(bytes.data(), long(size), std::string());
    engine::bridge::withoutCameraSegments(bytes.data(), long(size), budget);
    engine::bridge::thermalSegmentsOf(bytes.data(), long(size), budget);
    engine::bridge::withoutThermalPosition(bytes.data(), long(size), budget);
    engine::bridge::jpegTrailers(bytes, 2, budget);
    return 0;
}
