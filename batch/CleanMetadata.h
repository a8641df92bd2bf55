// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The groups of metadata a clean batch removes from every file, chosen on
// the clean-options screen and handed to the batch by value.
struct CleanMetadata
{
    // Every Exif value but the GPS position, the orientation and the user
    // comment; also leaves the files' own dates as the clean left them.
    bool exif = false;
    bool orientation = false;
    bool gps = false;
    // The user comment and the file's own comment.
    bool comment = false;
    bool iptc = false;
    bool xmp = false;

    bool isAnySelected() const { return exif || orientation || gps || comment || iptc || xmp; }
    bool operator==(const CleanMetadata &) const = default;
};
