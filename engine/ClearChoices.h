// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

// The groups one clear takes, in the order the clear names them.
namespace engine::bridge {

struct ClearChoices
{
    // Every Exif value but the GPS position, the orientation and the user
    // comment, and but what the picture needs.
    bool exif = false;
    bool orientation = false;
    bool gps = false;
    // The user comment and the file's own comments.
    bool comment = false;
    bool iptc = false;
    bool xmp = false;

    bool operator==(const ClearChoices &) const = default;

    bool anyExif() const { return exif || orientation || gps || comment; }
    bool any() const { return anyExif() || iptc || xmp; }

    // The choices both hold, and those either holds.
    ClearChoices operator&(const ClearChoices &o) const
    {
        return { exif && o.exif, orientation && o.orientation, gps && o.gps, comment && o.comment,
            iptc && o.iptc, xmp && o.xmp };
    }
    ClearChoices &operator|=(const ClearChoices &o)
    {
        *this = { exif || o.exif, orientation || o.orientation, gps || o.gps, comment || o.comment,
            iptc || o.iptc, xmp || o.xmp };
        return *this;
    }
};

// Calls visit with the name of each choice held, in order, as a shortfall
// names it: "exif", "orientation", "gps", "comment", "iptc", "xmp".
template <typename Visit> void forEachChoice(const ClearChoices &choices, Visit visit)
{
    const std::pair<bool, const char *> named[]
        = { { choices.exif, "exif" }, { choices.orientation, "orientation" }, { choices.gps, "gps" },
              { choices.comment, "comment" }, { choices.iptc, "iptc" }, { choices.xmp, "xmp" } };
    for (const auto &[held, name] : named) {
        if (held)
            visit(name);
    }
}

} // namespace engine::bridge
