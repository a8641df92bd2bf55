// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/walks/WalkBudget.h"

#include <QByteArray>

#include <exiv2/types.hpp>

// A thermal camera's own data beside a JPEG's Exif: FLIR cameras keep one
// file of records (the raw thermal picture, the camera's calibration, its
// palette, a GPS record of its own) spread over APP1 segments that begin
// "FLIR\0", each headed by its part's number and the last part's. The file
// opens with a directory of its records, each entry giving a record's type
// and where it lies in the file. Thermal software reads the picture's
// temperatures from these records, so a clear of the position leaves every
// record where it is and only empties the GPS record.
namespace engine::bridge {

struct ThermalSegments
{
    // The JPEG holds a thermal camera's segments.
    bool present = false;
    // Their parts join into one file whose directory and records lie
    // within it, apart from one another.
    bool readable = false;
    // And one of the records is a GPS record.
    bool position = false;
};

// Walked within the bytes, in time that grows with the number of records,
// which the file's budget pays for: records past it are taken for
// unreadable.
ThermalSegments thermalSegmentsOf(const Exiv2::byte *data, long size, WalkBudget &budget);

// The JPEG with each GPS record of readable thermal segments emptied: its
// bytes zeroed and its directory entry marked free, as an unused entry is,
// where it lies and its length left as they were, so that every other
// record and every segment stays where thermal software finds it. Null
// when there is no such record.
QByteArray withoutThermalPosition(const Exiv2::byte *data, long size, WalkBudget &budget);

} // namespace engine::bridge
