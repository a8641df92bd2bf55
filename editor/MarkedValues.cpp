// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/MarkedValues.h"

#include "editor/FieldComparison.h"
#include "engine/FileInfo.h"

void MarkedValues::update(const FileInfoList &marked)
{
    if (marked.isEmpty()) {
        clear();
        return;
    }
    if (!onlyArrivedOrMarked(marked)) {
        combineAnew(marked);
        return;
    }
    m_reference = marked.first()->metadata;
    if (marked.size() == m_files.size()) {
        // The same files: only values arrived.
        for (qsizetype i = 0; i < marked.size(); ++i)
            takeArrived(marked.at(i)->metadata, m_taken[std::size_t(i)]);
        return;
    }
    std::vector<std::shared_ptr<Metadata>> taken;
    taken.reserve(std::size_t(marked.size()));
    qsizetype known = 0;
    for (const auto &file : marked) {
        if (known < m_files.size() && file == m_files.at(known)) {
            std::shared_ptr<Metadata> &before = m_taken[std::size_t(known++)];
            takeArrived(file->metadata, before);
            taken.push_back(std::move(before));
        } else {
            take(file->metadata);
            taken.push_back(file->metadata);
        }
    }
    m_files = marked;
    m_taken = std::move(taken);
}

void MarkedValues::clear()
{
    m_files.clear();
    m_taken.clear();
    m_reference.reset();
    m_pivot.reset();
    m_differs.reset();
    m_waiting = 0;
}

bool MarkedValues::isShared(MetadataField field) const
{
    if (m_differs.test(std::size_t(field)))
        return false;
    // A file still waiting holds no value, which only an absent one matches.
    return m_waiting == 0 || !m_reference || !m_reference->hasValue(field);
}

void MarkedValues::combineAnew(const FileInfoList &marked)
{
    clear();
    m_files = marked;
    m_reference = marked.first()->metadata;
    m_taken.reserve(std::size_t(marked.size()));
    for (const auto &file : marked) {
        take(file->metadata);
        m_taken.push_back(file->metadata);
    }
}

bool MarkedValues::onlyArrivedOrMarked(const FileInfoList &marked) const
{
    if (m_files.isEmpty())
        return false;
    // The files of the last update must come in their order, with the values
    // taken then unless those had not arrived.
    qsizetype known = 0;
    for (const auto &file : marked) {
        if (known < m_files.size() && file == m_files.at(known)) {
            const std::shared_ptr<Metadata> &before = m_taken[std::size_t(known++)];
            if (before && file->metadata != before)
                return false;
        }
    }
    return known == m_files.size();
}

void MarkedValues::takeArrived(const std::shared_ptr<Metadata> &values, std::shared_ptr<Metadata> &taken)
{
    if (values == taken)
        return;
    // A file that waited no longer does.
    --m_waiting;
    take(values);
    taken = values;
}

void MarkedValues::take(const std::shared_ptr<Metadata> &values)
{
    if (!values) {
        ++m_waiting;
        return;
    }
    // The pivot too is compared with itself, so a NaN differs.
    if (!m_pivot)
        m_pivot = values;
    for (const MetadataField field : allMetadataFields()) {
        const auto i = std::size_t(field);
        if (m_differs.test(i))
            continue;
        // Presence first: most fields are absent from both.
        const bool present = values->hasValue(field);
        if (present != m_pivot->hasValue(field)
            || (present && !sameValue(values->value(field), m_pivot->value(field))))
            m_differs.set(i);
    }
}
