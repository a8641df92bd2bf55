// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/SecondReader.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Photos whose dates carry the zone they were taken in, as cameras, phones
// and photo managers write them, made by exiftool from a copy of
// FurnaceCreekInn.jpg of the test data (ZonedPhotos.cpp lists their dates):
// Exif dates with their offset tags and XMP copies, one copy without an
// offset; XMP dates, one without an offset; an IPTC time with one.
namespace zonedphotos {

// The photo under name in dir; its path, or nothing when exiftool failed.
QString makeZoned(const QTemporaryDir &dir, const QString &name);

// The same photo with offsets that do not read: XMP-xmp ModifyDate
// 2008-07-09T08:00:00+25:00, XMP-photoshop DateCreated
// 2008-03-15T09:52:01+25:00, IPTC TimeCreated 23:20:59+25:00 (which the
// IPTC holds as a text, "232059+2500") and OffsetTimeDigitized "+1:00".
QString makeBadlyZoned(const QTemporaryDir &dir, const QString &name);

// The same photo as a photo manager keeps it, its XMP dates in other
// zones than its Exif dates: the original date's copy in UTC
// (2013-01-30T19:30:52Z beside a local 15:30:52 that records no offset),
// the digitized date's in Tokyo's (2013-01-31T04:30:52+09:00 beside
// 15:30:52 at -04:00, and the IPTC date and time in UTC, 2013-01-30
// 19:30:52+00:00), the modify date's in UTC;
// XMP-xmp CreateDate 2013-01-31T04:30:52+09:00, ModifyDate and
// XMP-photoshop DateCreated 2013-01-30T19:30:52Z.
QString makeKeptInUtc(const QTemporaryDir &dir, const QString &name);

// The tags exiftool reads in after that are not as in before, or as changes
// say they are to be now (null: gone), one line each; what a write changes
// of its own accord aside: the file's own record, what exiftool works out
// from other tags, and the XMP writer's name.
QStringList differences(
    const secondreader::Reading &before, const secondreader::Reading &after, const QJsonObject &changes);

// The program runs as on a machine set to a zone (an IANA id, as TZ takes
// it), until this ends and the zone before comes back.
class MachineZone
{
public:
    explicit MachineZone(const char *ianaId);
    ~MachineZone();
    MachineZone(const MachineZone &) = delete;
    MachineZone &operator=(const MachineZone &) = delete;

private:
    bool m_wasSet;
    QByteArray m_was;
};

} // namespace zonedphotos
