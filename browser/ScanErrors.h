// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// What a scan tells its caller besides the records; all false at the start.
struct ScanErrors
{
    // Nothing usable was found (set by the caller's merge).
    bool isResultNotFound = false;
    // Some files were loaded already and were not added again (set by the
    // caller's merge).
    bool isPathsAlreadyExistInArray = false;
    // Some files were skipped for their type (set by the walk).
    bool isSomeExtensionsAreNotSupported = false;
    // Entries skipped because their names are not valid UTF-8 (counted by
    // the walk, which prints their paths).
    qint64 undecodableNames = 0;

    bool operator==(const ScanErrors &) const = default;
};
