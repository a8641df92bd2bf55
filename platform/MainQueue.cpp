// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MainQueue.h"

#include "platform/Clock.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace platform::MainQueue {

void post(std::function<void()> fn)
{
    post(QCoreApplication::instance(), std::move(fn));
}

void post(QObject *context, std::function<void()> fn)
{
    if (!context) {
        // Without an application there is no GUI loop to hand over to.
        if (!QCoreApplication::instance())
            fn();
        return;
    }
    QMetaObject::invokeMethod(context, std::move(fn), Qt::QueuedConnection);
}

void after(int ms, QObject *context, std::function<void()> fn)
{
    if (Clock::isManual()) {
        Clock::schedule(ms, context, std::move(fn));
        return;
    }
    QObject *anchor = context ? context : QCoreApplication::instance();
    QPointer<QObject> guard(anchor);
    // Pool threads have no event loop: start the timer on the GUI thread.
    post(anchor, [ms, guard, fn = std::move(fn)]() mutable {
        if (guard)
            QTimer::singleShot(ms, guard.data(), std::move(fn));
    });
}

bool isGuiThread()
{
    auto *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace platform::MainQueue
