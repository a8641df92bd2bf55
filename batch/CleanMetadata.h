// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ClearChoices.h"

#include <array>

// The groups of metadata a clean batch removes from every file, chosen on
// the clean-options screen and handed to the batch by value: the six
// choices of the engine's clear, in the same order. The Exif choice also
// leaves the files' own dates as the clean left them.
using CleanMetadata = engine::bridge::ClearChoices;

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
