// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/QorCollectionViewLayoutManager.h"

#include "platform/MainQueue.h"

QorCollectionViewLayoutManager::QorCollectionViewLayoutManager(QObject *parent)
    : QObject(parent)
    , m_layout(std::make_shared<QorCollectionViewLayout>())
{ }

QorCollectionViewLayoutManager::~QorCollectionViewLayoutManager()
{
    cancelItemEnumerator();
    m_queue.waitForDone();
}

void QorCollectionViewLayoutManager::enumerateItems(
    QorCollectionViewLayoutInput input, std::function<void()> completion)
{
    const quint64 request = ++*m_latestRequest;
    m_queue.clear();
    m_pending = true;
    auto latest = m_latestRequest;
    m_queue.run(
        [this, latest, request, input = std::move(input), completion = std::move(completion)]() mutable {
            auto overtaken = [&] { return latest->load() != request; };
            auto layout = QorCollectionViewLayout::compute(input, overtaken);
            if (!layout)
                return;
            auto shared = std::make_shared<const QorCollectionViewLayout>(std::move(*layout));
            // Posted with this object as context: dropped if the manager is gone.
            platform::MainQueue::post(this, [this, request, shared, completion = std::move(completion)] {
                if (m_latestRequest->load() != request)
                    return;
                m_pending = false;
                m_layout = shared;
                if (completion)
                    completion();
            });
        });
}

void QorCollectionViewLayoutManager::cancelItemEnumerator()
{
    ++*m_latestRequest;
    m_queue.clear();
    m_pending = false;
}

void QorCollectionViewLayoutManager::waitForQueue()
{
    m_queue.waitForDone();
}

void QorCollectionViewLayoutManager::setItemLayouts(std::shared_ptr<const QorCollectionViewLayout> layout)
{
    m_layout = layout ? std::move(layout) : std::make_shared<QorCollectionViewLayout>();
}
