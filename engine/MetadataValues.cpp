// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MetadataValues.h"

#include <algorithm>
#include <bit>
#include <utility>

MetadataValues::MetadataValues(MetadataValues &&other) noexcept
    : m_present(std::exchange(other.m_present, {}))
    , m_values(std::move(other.m_values))
{
    other.m_values.clear();
}

MetadataValues &MetadataValues::operator=(MetadataValues &&other) noexcept
{
    m_present = std::exchange(other.m_present, {});
    m_values = std::move(other.m_values);
    other.m_values.clear();
    return *this;
}

std::size_t MetadataValues::slotOf(MetadataField field) const
{
    const auto i = std::size_t(field);
    const std::uint64_t below = (std::uint64_t(1) << (i % 64)) - 1;
    if (i < 64)
        return std::size_t(std::popcount(m_present[0] & below));
    return std::size_t(std::popcount(m_present[0]) + std::popcount(m_present[1] & below));
}

const MetadataValue &MetadataValues::value(MetadataField field) const
{
    static const MetadataValue absent;
    return contains(field) ? m_values[slotOf(field)] : absent;
}

void MetadataValues::set(MetadataField field, MetadataValue value)
{
    const auto i = std::size_t(field);
    const auto slot = m_values.begin() + std::ptrdiff_t(slotOf(field));
    const std::uint64_t bit = std::uint64_t(1) << (i % 64);
    if (std::holds_alternative<std::monostate>(value)) {
        if (contains(field)) {
            m_values.erase(slot);
            m_present[i / 64] &= ~bit;
        }
    } else if (contains(field)) {
        *slot = std::move(value);
    } else {
        m_values.insert(slot, std::move(value));
        m_present[i / 64] |= bit;
    }
}

void MetadataValues::pack()
{
    m_values.shrink_to_fit();
    // The first text of each content, and every text that repeats one.
    std::vector<QString *> firsts;
    std::vector<std::pair<QString *, const QString *>> repeats;
    qsizetype length = 0;
    for (MetadataValue &value : m_values) {
        auto *text = std::get_if<QString>(&value);
        if (!text || text->isEmpty())
            continue;
        const auto first
            = std::find_if(firsts.begin(), firsts.end(), [&](const QString *f) { return *f == *text; });
        if (first != firsts.end()) {
            repeats.emplace_back(text, *first);
        } else {
            firsts.push_back(text);
            // Each text keeps its terminating null, as QString::utf16() expects.
            length += text->size() + 1;
        }
    }
    if (firsts.size() + repeats.size() < 2)
        return;

    QString block(length, Qt::Uninitialized);
    QString::DataPointer &blockData = block.data_ptr();
    char16_t *end = blockData.data();
    for (QString *text : firsts) {
        char16_t *start = end;
        end = std::copy_n(QStringView(*text).utf16(), text->size(), start);
        *end++ = u'\0';
        blockData.d_ptr()->ref();
        *text = QString(QString::DataPointer(blockData.d_ptr(), start, text->size()));
    }
    for (const auto &[text, first] : repeats)
        *text = *first;
}
