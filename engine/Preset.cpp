// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Preset.h"

#include "engine/NameOrder.h"
#include "engine/PropertyList.h"
#include "platform/Calendar.h"
#include "platform/Settings.h"

#include <algorithm>
#include <vector>

namespace {

const QString presetsKey = QStringLiteral("presets");
const QString nameKey = QStringLiteral("name");
const QString metadataKey = QStringLiteral("metadata");

// Stored presets hold their dates as points in time, as they always have;
// in memory a date is a wall clock, here the user's at that moment.
QVariant withDates(const QVariant &value, QDateTime (*convert)(const QDateTime &))
{
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return convert(value.toDateTime());
    case QMetaType::QVariantMap: {
        QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            *it = withDates(*it, convert);
        return map;
    }
    case QMetaType::QVariantList: {
        QVariantList list = value.toList();
        for (QVariant &element : list)
            element = withDates(element, convert);
        return list;
    }
    default:
        return value;
    }
}

} // namespace

Preset::Preset()
    : m_metadata(std::make_shared<Metadata>())
{ }

Preset::Preset(const QString &name)
    : m_name(name)
    , m_metadata(std::make_shared<Metadata>())
{ }

void Preset::setMetadata(std::shared_ptr<Metadata> metadata)
{
    m_metadata = metadata ? std::move(metadata) : std::make_shared<Metadata>();
}

Preset Preset::fromDictionary(const QVariantMap &dictionary)
{
    Preset preset;
    if (const auto metadata = plist::dictionary(dictionary.value(metadataKey)))
        preset.m_metadata = std::make_shared<Metadata>(
            Metadata::fromDictionary(withDates(*metadata, platform::Calendar::wallClock).toMap()));
    if (const auto name = plist::text(dictionary.value(nameKey)))
        preset.m_name = *name;
    return preset;
}

QVariantMap Preset::dictionary() const
{
    return { { metadataKey, withDates(m_metadata->dictionary(), platform::Calendar::instant) },
        { nameKey, m_name } };
}

StoredPresets readPresets()
{
    if (!platform::Settings::contains(presetsKey))
        return {};
    const auto stored = platform::Settings::archived(presetsKey);
    if (!stored || stored->typeId() != QMetaType::QVariantList)
        return { {}, false };
    StoredPresets read;
    for (const QVariant &element : stored->toList()) {
        if (const auto dictionary = plist::dictionary(element))
            read.presets.append(Preset::fromDictionary(*dictionary));
        else
            read.isWhole = false;
    }
    return read;
}

QList<Preset> loadPresets()
{
    StoredPresets stored = readPresets();
    return stored.isWhole ? std::move(stored.presets) : QList<Preset>();
}

void savePresets(const QList<Preset> &presets)
{
    QVariantList list;
    list.reserve(presets.size());
    for (const Preset &preset : presets)
        list.append(preset.dictionary());
    platform::Settings::setArchived(presetsKey, list);
}

void sortPresetsByName(QList<Preset> &presets, bool descending)
{
    std::vector<std::pair<QString, Preset>> keyed;
    keyed.reserve(std::size_t(presets.size()));
    for (const Preset &preset : presets)
        keyed.emplace_back(nameOrderKey(preset.name()), preset);
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto &a, const auto &b) {
        const int compared = compareByCodePoints(a.first, b.first);
        return descending ? compared > 0 : compared < 0;
    });
    presets.clear();
    for (auto &entry : keyed)
        presets.append(std::move(entry.second));
}

bool isPresetNameTaken(const QList<Preset> &presets, const QString &name, qsizetype except)
{
    const QString key = nameOrderKey(name);
    for (qsizetype i = 0; i < presets.size(); ++i) {
        if (i != except && nameOrderKey(presets.at(i).name()) == key)
            return true;
    }
    return false;
}
