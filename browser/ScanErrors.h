#pragma once

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

    bool operator==(const ScanErrors &) const = default;
};
