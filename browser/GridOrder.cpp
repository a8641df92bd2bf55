#include "browser/GridOrder.h"

#include "engine/FileInfo.h"

#include <algorithm>

namespace {

// How names are matched and ordered: lower case, composed.
QString nameKey(const QString &name)
{
    return name.toLower().normalized(QString::NormalizationForm_C);
}

// UTF-16 units reordered so that comparing them compares code points:
// surrogates (above the rest of the basic plane in code point order) move
// to the top.
inline char16_t codePointOrder(char16_t unit)
{
    if (unit >= 0xE000)
        return char16_t(unit - 0x800);
    if (unit >= 0xD800)
        return char16_t(unit + 0x2000);
    return unit;
}

struct Keyed
{
    const GridEntry *entry;
    QString name;
};

} // namespace

int compareByCodePoints(const QString &a, const QString &b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t left = codePointOrder(a.at(i).unicode());
        const char16_t right = codePointOrder(b.at(i).unicode());
        if (left != right)
            return left < right ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

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
    const QString prefix = nameKey(searchText);
    std::vector<Keyed> kept;
    kept.reserve(entries.size());
    for (const GridEntry &entry : entries) {
        QString key = nameKey(entry.fileName);
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
