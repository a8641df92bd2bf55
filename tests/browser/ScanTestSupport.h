// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/ScanViewStatus.h"
#include "browser/Scanner.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace scantest {

struct ScanRun
{
    Scanner::Result result;
    // Every status delivered on the GUI thread while the scan ran.
    std::vector<ScanViewStatus> statuses;

    QStringList recordPaths() const;
};

// A request of the given paths, each selected.
QList<ViewControllerCellViewModel> request(const QStringList &paths);

// Runs the scan on a worker while this (GUI) thread delivers what it posts;
// onIdle runs on this thread between rounds of event delivery. Returns once
// the scan is over and its last status has arrived.
ScanRun runScan(const QList<ViewControllerCellViewModel> &items, const std::function<void()> &onIdle = {});

// Lets every record's details arrive.
void waitForDetails(const FileInfoList &records);

// A small real JPEG of the given size.
void writeJpeg(const QString &path, int width = 8, int height = 8);
// A copy of a sample image at path (folders made on demand).
void placeTestImage(const QString &testImage, const QString &path);

} // namespace scantest
