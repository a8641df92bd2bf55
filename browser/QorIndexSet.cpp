// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/QorIndexSet.h"

#include <algorithm>

QString QorRange::toString() const
{
    return QStringLiteral("{%1, %2}").arg(location).arg(length);
}

bool QorIndexSet::contains(qint64 index) const
{
    // The first run that ends after the index is the only one that can hold it.
    auto it = std::upper_bound(
        m_runs.begin(), m_runs.end(), index, [](qint64 i, const QorRange &run) { return i < run.end(); });
    return it != m_runs.end() && it->contains(index);
}

qint64 QorIndexSet::first() const
{
    return m_runs.empty() ? QorNotFound : m_runs.front().location;
}

qint64 QorIndexSet::last() const
{
    return m_runs.empty() ? QorNotFound : m_runs.back().end() - 1;
}

void QorIndexSet::insert(QorRange range)
{
    if (range.length <= 0)
        return;
    // Runs touching or overlapping the new one merge with it.
    auto from = std::lower_bound(m_runs.begin(), m_runs.end(), range.location,
        [](const QorRange &run, qint64 loc) { return run.end() < loc; });
    auto to = from;
    qint64 start = range.location;
    qint64 end = range.end();
    while (to != m_runs.end() && to->location <= end) {
        start = std::min(start, to->location);
        end = std::max(end, to->end());
        m_count -= to->length;
        ++to;
    }
    const QorRange merged { start, end - start };
    if (from == to) {
        m_runs.insert(from, merged);
    } else {
        *from = merged;
        m_runs.erase(from + 1, to);
    }
    m_count += merged.length;
}

void QorIndexSet::remove(QorRange range)
{
    if (range.length <= 0 || m_runs.empty())
        return;
    const qint64 start = range.location;
    const qint64 end = range.end();
    auto it = std::upper_bound(
        m_runs.begin(), m_runs.end(), start, [](qint64 i, const QorRange &run) { return i < run.end(); });
    while (it != m_runs.end() && it->location < end) {
        const QorRange run = *it;
        m_count -= run.length;
        if (run.location < start && run.end() > end) {
            // The removed part splits the run in two.
            *it = QorRange { run.location, start - run.location };
            m_count += it->length;
            const QorRange tail { end, run.end() - end };
            m_runs.insert(it + 1, tail);
            m_count += tail.length;
            return;
        }
        if (run.location < start) {
            *it = QorRange { run.location, start - run.location };
            m_count += it->length;
            ++it;
        } else if (run.end() > end) {
            *it = QorRange { end, run.end() - end };
            m_count += it->length;
            ++it;
        } else {
            it = m_runs.erase(it);
        }
    }
}

void QorIndexSet::clear()
{
    m_runs.clear();
    m_count = 0;
}

QorIndexSet QorIndexSet::withoutIndex(qint64 index) const
{
    QorIndexSet copy = *this;
    copy.remove(index);
    return copy;
}

std::vector<qint64> QorIndexSet::toVector() const
{
    std::vector<qint64> out;
    out.reserve(size_t(m_count));
    forEach([&](qint64 i) { out.push_back(i); });
    return out;
}

void QorIndexSet::forEach(const std::function<void(qint64)> &fn) const
{
    for (const QorRange &run : m_runs)
        for (qint64 i = run.location; i < run.end(); ++i)
            fn(i);
}
