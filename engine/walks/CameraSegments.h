// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/walks/JpegSegments.h"
#include "engine/walks/WalkBudget.h"

#include <QByteArray>
#include <QString>

#include <exiv2/types.hpp>

// The segments some cameras write into a JPEG beside its Exif, holding the
// kind of data a maker note holds (the date taken, the model, its firmware
// and serial number): a Canon CIFF heap in APP0, a Casio QVCI block in
// APP1, a phone's camera attributes in APP7 (their chip maker names them). They go with the Exif, as the
// maker note does. A segment that begins as a CIFF heap but whose directories do not parse, or take more
// reading than the file's budget holds, cannot be told from another program's data, so it stays.
namespace engine::bridge {

enum class CameraSegment { None, Readable, Unreadable };
CameraSegment cameraSegmentOf(const JpegSegment &segment, WalkBudget &budget);

// Whether the JPEG holds a readable one, and the JPEG without them (null
// when it holds none).
bool holdsCameraSegment(const Exiv2::byte *data, long size, WalkBudget &budget);
QByteArray withoutCameraSegments(Exiv2::byte *data, long size, WalkBudget &budget);

// "APP0" for the segment's marker.
QString markerName(Exiv2::byte marker);

} // namespace engine::bridge
