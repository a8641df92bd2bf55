// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/ScanErrors.h"
#include "common/Globals.h"

// Adds what a scan found to allFiles(), on the GUI thread (the lists are the
// GUI's). Nothing found: isResultNotFound is set and the lists stay as they
// were. Otherwise every found record arrives marked and is appended in the
// scanner's order, unless a loaded record (or one appended earlier in the
// same merge) has the same URL, which sets isPathsAlreadyExistInArray; then
// displayedFiles() becomes a copy of allFiles() for the next reload to
// filter and sort. The scanner's own flag is kept.
ScanErrors mergeScanResult(const FileInfoList &found, ScanErrors errors);
