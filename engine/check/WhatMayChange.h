// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/check/ExifInventory.h"
#include "engine/check/FileLayout.h"
#include "engine/check/WriteRequest.h"

#include <optional>
#include <string>

// Which of the original's Exif values a write or a clean may change or
// take: those it names, what a clean's choice takes (the general Exif keeps
// what the picture needs: a TIFF's structure and resolution, a raw file's
// camera and maker note), what a directory left with nothing else
// described (its version, the picture's description; a JPEG's resolution
// only with the Exif as such or where a JFIF header gives it), and an entry
// of no type TIFF defines, which other readers pass by. And which values a
// written file may hold that the original did not: those named, and what a
// new directory needs, with the values the picture and its JFIF header give.
namespace engine::check {

class WhatMayChange
{
public:
    WhatMayChange(const WriteRequest &request, const FileLayout &original, const ExifInventory &was,
        const FileLayout &written);

    bool mayChange(const Directory &directory, const Entry &entry) const;
    // Whether the directory may be gone from the written file: each of its
    // entries may go.
    bool mayVanish(const Directory &directory) const;
    // Why an entry the written file holds and the original did not may not
    // stand; none when it may.
    std::optional<std::string> refusesAdded(const Directory &directory, const Entry &entry) const;
    // Whether a value may differ though not named: a raised Exif version.
    bool mayDifferUnnamed(const Directory &directory, const Entry &entry) const;

private:
    bool named(const Directory &directory, std::uint16_t tag) const;
    bool taken(const Directory &directory, const Entry &entry) const;
    bool takenByGeneralExif(const Directory &directory, const Entry &entry) const;
    bool goes(const Directory &directory, const Entry &entry, int depth) const;
    bool vanishes(const Directory &directory, int depth) const;
    bool goesIdle(const Directory &directory, const Entry &entry) const;

    const WriteRequest &m_request;
    const FileLayout &m_original;
    const ExifInventory &m_was;
    const FileLayout &m_written;
    bool m_tiff = false;
};

} // namespace engine::check
