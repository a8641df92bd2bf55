// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QString>
#include <QVariantMap>

#include <optional>

// The phase of a scan: counting what there is, then making records of it.
enum class PhotosStatus { analysing, collecting };

// One progress report of a scan, sent as the "ScanViewStatus" notification.
// A default-made value is the zero status (analysing, nothing counted).
struct ScanViewStatus
{
    PhotosStatus photosStatus = PhotosStatus::analysing;
    // The entry being processed, a status text, or blank.
    QString path;
    // Processed entries over entries to process, 0.0 to 1.0.
    double percentageProcessing = 0.0;
    // Records accepted so far.
    qint64 countTotalPhotos = 0;
    qint64 countProcessing = 0;
    qint64 countTotal = 0;

    bool operator==(const ScanViewStatus &) const = default;

    // Posts this status through the notification centre; observers receive
    // it on the GUI thread.
    void post() const;

    // The notification's user information for a status, and back: none when
    // the entry is missing or holds something else.
    QVariantMap userInfo() const;
    static std::optional<ScanViewStatus> fromUserInfo(const QVariantMap &userInfo);
};

Q_DECLARE_METATYPE(ScanViewStatus)
