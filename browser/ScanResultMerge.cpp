// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/ScanResultMerge.h"

#include "engine/FileInfo.h"
#include "platform/MainQueue.h"

#include <QSet>

ScanErrors mergeScanResult(const FileInfoList &found, ScanErrors errors)
{
    Q_ASSERT(platform::MainQueue::isGuiThread());
    if (found.isEmpty()) {
        errors.isResultNotFound = true;
        return errors;
    }
    FileInfoList &loaded = allFiles();
    QSet<QUrl> urls;
    // Records without a URL are all the same file.
    bool hasRecordWithoutUrl = false;
    for (const auto &record : loaded) {
        if (record->url)
            urls.insert(*record->url);
        else
            hasRecordWithoutUrl = true;
    }
    for (const auto &record : found) {
        record->isMark = true;
        const bool known = record->url ? urls.contains(*record->url) : hasRecordWithoutUrl;
        if (known) {
            errors.isPathsAlreadyExistInArray = true;
            continue;
        }
        if (record->url)
            urls.insert(*record->url);
        else
            hasRecordWithoutUrl = true;
        loaded << record;
    }
    displayedFiles() = loaded;
    return errors;
}
