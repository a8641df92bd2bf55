// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

namespace platform {

// The in-process notification centre: one object, one signal per
// notification. A notification carries its user information as a map
// whose values are registered metatypes. Posting works from any thread;
// the signal is always emitted on the GUI thread, in posting order, so an
// observer never sees a later report before an earlier one.
class Notifier : public QObject
{
    Q_OBJECT
public:
    static Notifier &instance();

    // "ScanViewStatus": progress of a running scan. The user information
    // holds the status under the key of the same name.
    static const QString ScanViewStatus;
    void postScanViewStatus(const QVariantMap &userInfo);

signals:
    void scanViewStatus(const QVariantMap &userInfo);

private:
    Notifier();
};

} // namespace platform
