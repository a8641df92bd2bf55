// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/Result.h"

#include <QCoreApplication>
#include <QThread>

std::optional<Result> &batchResult()
{
    Q_ASSERT(
        !QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread());
    static std::optional<Result> result;
    return result;
}
