// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/HomeViewController.h"
#include "browser/QorCollectionView.h"
#include "platform/GlobalQueue.h"

#include <QCoreApplication>

namespace bench {

// Until the main screen's newest reload is published and the grid has laid
// it out.
inline void settle(HomeViewController &home)
{
    while (home.isReloading() || home.qorCollectionView->layoutManager()->isEnumerating()) {
        platform::GlobalQueue::waitForDone();
        home.qorCollectionView->layoutManager()->waitForQueue();
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
}

} // namespace bench
