// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

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

// The six choices in record order: the name the engine gives each when it
// tells what a clear left, and the text key of its box's label.
struct CleanChoice
{
    const char *name;
    const char *labelKey;
};
inline constexpr std::array<CleanChoice, 6> cleanChoices { { { "exif", "QX_ID_67" },
    { "orientation", "QX_ID_93" }, { "gps", "QX_ID_68" }, { "comment", "QX_ID_69" }, { "iptc", "QX_ID_70" },
    { "xmp", "QX_ID_71" } } };
