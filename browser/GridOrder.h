// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Globals.h"
#include "controls/SortChoice.h"
#include "engine/NameOrder.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

// The search filter and sort of the photo grid, split so that the records
// are read only on the GUI thread and the work runs on any thread.

// What the filter and sort need of one record, copied on the GUI thread.
struct GridEntry
{
    std::shared_ptr<FileInfo> file;
    QString fileName;
    std::optional<quint64> sizeBytes;
    // Milliseconds since 1970.
    std::optional<qint64> creationDate;
};

std::vector<GridEntry> gridSnapshot(const FileInfoList &files);

// The files whose names begin with searchText (ignoring case; an empty text
// keeps all), in their order, then sorted stably: by name (lower case,
// canonically equivalent names equal, compared by code points), by size or
// by creation date. Files whose size or date is unknown go last in either
// direction, in their order. Safe on any thread.
FileInfoList filterAndSort(
    std::vector<GridEntry> entries, const QString &searchText, SortMethods method, SortOrder order);
