// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <limits>
#include <vector>

// "No such index": the largest signed 64-bit integer.
inline constexpr qint64 QorNotFound = std::numeric_limits<qint64>::max();

// A run of indexes: location and length.
struct QorRange
{
    qint64 location = 0;
    qint64 length = 0;

    qint64 end() const { return location + length; }
    bool contains(qint64 index) const { return index >= location && index < end(); }
    bool operator==(const QorRange &) const = default;
    // "{location, length}"
    QString toString() const;
};

// A sorted set of item indexes, kept as disjoint runs, so whole rows and
// "everything" stay a handful of entries however many items they hold.
class QorIndexSet
{
public:
    QorIndexSet() = default;
    explicit QorIndexSet(qint64 index) { insert(index); }
    explicit QorIndexSet(QorRange range) { insert(range); }

    bool isEmpty() const { return m_runs.empty(); }
    qint64 count() const { return m_count; }
    bool contains(qint64 index) const;
    // QorNotFound when empty.
    qint64 first() const;
    qint64 last() const;

    void insert(qint64 index) { insert(QorRange { index, 1 }); }
    void insert(QorRange range);
    void remove(qint64 index) { remove(QorRange { index, 1 }); }
    void remove(QorRange range);
    void clear();

    QorIndexSet withoutIndex(qint64 index) const;
    std::vector<qint64> toVector() const;
    // Calls fn for every index, in ascending order.
    void forEach(const std::function<void(qint64)> &fn) const;
    const std::vector<QorRange> &runs() const { return m_runs; }

    bool operator==(const QorIndexSet &other) const { return m_runs == other.m_runs; }

private:
    std::vector<QorRange> m_runs;
    qint64 m_count = 0;
};
