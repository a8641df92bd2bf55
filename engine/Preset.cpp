#include "engine/Preset.h"

#include "engine/PropertyList.h"
#include "platform/Settings.h"

namespace {

const QString presetsKey = QStringLiteral("presets");
const QString nameKey = QStringLiteral("name");
const QString metadataKey = QStringLiteral("metadata");

} // namespace

Preset::Preset()
    : m_metadata(std::make_shared<Metadata>())
{
}

Preset::Preset(const QString &name)
    : m_name(name)
    , m_metadata(std::make_shared<Metadata>())
{
}

void Preset::setMetadata(std::shared_ptr<Metadata> metadata)
{
    m_metadata = metadata ? std::move(metadata) : std::make_shared<Metadata>();
}

Preset Preset::fromDictionary(const QVariantMap &dictionary)
{
    Preset preset;
    if (const auto metadata = plist::dictionary(dictionary.value(metadataKey)))
        preset.m_metadata = std::make_shared<Metadata>(Metadata::fromDictionary(*metadata));
    if (const auto name = plist::text(dictionary.value(nameKey)))
        preset.m_name = *name;
    return preset;
}

QVariantMap Preset::dictionary() const
{
    return {{metadataKey, m_metadata->dictionary()}, {nameKey, m_name}};
}

QList<Preset> loadPresets()
{
    const auto stored = platform::Settings::archived(presetsKey);
    if (!stored || stored->typeId() != QMetaType::QVariantList)
        return {};
    QList<Preset> presets;
    for (const QVariant &element : stored->toList()) {
        const auto dictionary = plist::dictionary(element);
        if (!dictionary)
            return {};
        presets.append(Preset::fromDictionary(*dictionary));
    }
    return presets;
}

void savePresets(const QList<Preset> &presets)
{
    QVariantList list;
    list.reserve(presets.size());
    for (const Preset &preset : presets)
        list.append(preset.dictionary());
    platform::Settings::setArchived(presetsKey, list);
}
