// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Notifier.h"

#include "platform/MainQueue.h"

#include <QCoreApplication>

namespace platform {

const QString Notifier::ScanViewStatus = QStringLiteral("ScanViewStatus");

Notifier::Notifier()
{
    // The first poster may be a worker thread; the object belongs to the
    // GUI thread all the same, so queued emissions land there.
    if (auto *app = QCoreApplication::instance())
        moveToThread(app->thread());
}

Notifier &Notifier::instance()
{
    static Notifier notifier;
    return notifier;
}

void Notifier::postScanViewStatus(const QVariantMap &userInfo)
{
    // Queued even on the GUI thread: a direct emission there would overtake
    // reports that workers posted earlier.
    MainQueue::post(this, [this, userInfo] { emit scanViewStatus(userInfo); });
}

} // namespace platform
