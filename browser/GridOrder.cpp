// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/GridOrder.h"

#include "engine/FileInfo.h"

#include <algorithm>

namespace {

struct Keyed
{
    const GridEntry *entry;
    QString name;
};

} // namespace

std::vector<GridEntry> gridSnapshot(const FileInfoList &files)
{
    std::vector<GridEntry> entries;
    entries.reserve(size_t(files.size()));
    for (const auto &file : files) {
        GridEntry entry { file, file->fileName, file->sizeBytes, std::nullopt };
        if (file->creationDate && file->creationDate->isValid())
            entry.creationDate = file->creationDate->toMSecsSinceEpoch();
        entries.push_back(std::move(entry));
    }
    return entries;
}

FileInfoList filterAndSort(
    std::vector<GridEntry> entries, const QString &searchText, SortMethods method, SortOrder order)
{
    const QString prefix = nameOrderKey(searchText);
    std::vector<Keyed> kept;
    kept.reserve(entries.size());
    for (const GridEntry &entry : entries) {
        QString key = nameOrderKey(entry.fileName);
        if (key.startsWith(prefix))
            kept.push_back({ &entry, std::move(key) });
    }

    const bool descending = order == SortOrder::descending;
    // Answers whether a goes before b; unknown values go last.
    auto before = [method, descending](const Keyed &a, const Keyed &b) {
        auto ordered = [descending](const auto &left, const auto &right) {
            if (!left || !right)
                return bool(left) && !right;
            return descending ? *right < *left : *left < *right;
        };
        switch (method) {
        case SortMethods::size:
            return ordered(a.entry->sizeBytes, b.entry->sizeBytes);
        case SortMethods::date:
            return ordered(a.entry->creationDate, b.entry->creationDate);
        case SortMethods::name:
            break;
        }
        const int compared = compareByCodePoints(a.name, b.name);
        return descending ? compared > 0 : compared < 0;
    };
    std::stable_sort(kept.begin(), kept.end(), before);

    FileInfoList files;
    files.reserve(qsizetype(kept.size()));
    for (const Keyed &keyed : kept)
        files << keyed.entry->file;
    return files;
}
