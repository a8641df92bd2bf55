// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/MetadataFields.h"

#include <QDateTime>
#include <QString>
#include <QVariantMap>

#include <optional>

class Metadata;

// What a batch writes into each file: the values the user edited, with the
// dates computed anew from each file's own dates by the edited date rules.
//
// metadata is the batch's edited record (the same for every file);
// fileMetadata is the current file's own record as the batch took it at its
// start, or null when the file had none yet (its date rules then apply to
// no date).

// The values for the bridge's write, keyed by Exiv2 key: every edited text,
// whole and real number (an edited field the user emptied gives a null
// entry, which removes the tag), and every edited date whose rule yields a
// date, as its wall clock ("yyyy:MM:dd HH:mm:ss" for Exif, ISO 8601 for
// XMP), or the empty text when the rule empties it. An XMP date keeps the
// offset the file's date had ("yyyy-MM-ddTHH:mm:ss-04:00"), or stays
// without one; only a date the file did not have takes the user's offset
// at that wall clock. The digitized date also fills the four IPTC date and
// time datasets ("yyyy-MM-dd", "HH:mm:ss-07:00"), each time with the
// offset it had, else the one the Exif records for the digitized date,
// else the user's.
QVariantMap metadataDictionary(const Metadata &metadata, const Metadata *fileMetadata);

// The date an edited date field gives a file whose own date is own: what
// the field's rule makes of it; none when the rule empties the field or
// yields no date.
std::optional<QDateTime> editedDate(
    const Metadata &metadata, MetadataField field, const std::optional<QDateTime> &own);

// The modification date the file system should give a file after the batch
// wrote it: the edited modify-date rule applied to the file's own modify
// date, a wall clock (set as it reads on the user's clock). None when that
// date is not edited, its rule yields no date, or the file was cleared
// (isCleared); the date then stays as the write or clear left it. The
// creation (birth) date cannot be set on this platform, so the rules of the
// creation date, and isEmpty, which only takes the creation date out,
// change nothing here.
std::optional<QDateTime> newModificationDate(
    const Metadata &metadata, const Metadata *fileMetadata, bool isEmpty, bool isCleared);

// Gives the file at path (the batch's copy, or the file itself in place)
// the modification date newModificationDate() yields, after the batch wrote
// or cleared it; without one the file's dates stay as they are. A failure is
// printed to the console; the batch goes on.
void updateFileSystemDates(const QString &path, const Metadata &metadata, const Metadata *fileMetadata,
    bool isEmpty, bool isCleared);
