// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/QorCollectionViewLayout.h"
#include "platform/GlobalQueue.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

// Runs a collection view's layout passes on a queue of its own, one at a
// time, and holds the layout of the newest completed pass. A new pass
// cancels the one queued or running, and a pass that was overtaken never
// publishes: only the newest request's layout reaches the view.
class QorCollectionViewLayoutManager : public QObject
{
    Q_OBJECT
public:
    explicit QorCollectionViewLayoutManager(QObject *parent = nullptr);
    ~QorCollectionViewLayoutManager() override;

    // Lays out in the background; on the GUI thread, when this is still the
    // newest request, stores the layout as itemLayouts() and calls completion.
    void enumerateItems(QorCollectionViewLayoutInput input, std::function<void()> completion);
    void cancelItemEnumerator();
    bool isEnumerating() const { return m_pending; }
    // Blocks until the queued pass has run (its result still arrives through
    // the event loop). For tests and benchmarks.
    void waitForQueue();

    const QorCollectionViewLayout &itemLayouts() const { return *m_layout; }
    std::shared_ptr<const QorCollectionViewLayout> sharedItemLayouts() const { return m_layout; }
    void setItemLayouts(std::shared_ptr<const QorCollectionViewLayout> layout);

private:
    platform::WorkQueue m_queue { 1 };
    std::shared_ptr<std::atomic<quint64>> m_latestRequest = std::make_shared<std::atomic<quint64>>(0);
    std::shared_ptr<const QorCollectionViewLayout> m_layout;
    bool m_pending = false;
};
