// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>

class FileInfo;

// Tells the screens on the GUI thread when a file record's details (its
// metadata and creation date) have arrived from the background job, so a
// screen that shows the record before they were read can show them now.
class FileInfoEvents : public QObject
{
    Q_OBJECT
public:
    static FileInfoEvents &shared();

signals:
    void detailsArrived(const std::shared_ptr<FileInfo> &file);

private:
    FileInfoEvents() = default;
};
