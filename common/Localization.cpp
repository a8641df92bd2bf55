// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Localization.h"

#include "platform/Resources.h"

#include <mutex>

namespace {

std::mutex dictionaryMutex;

std::optional<QVariantMap> &dictionary()
{
    static std::optional<QVariantMap> d;
    return d;
}

} // namespace

void loadLocalizationDictionary()
{
    setLocalizationDictionary(platform::Resources::loadPlist(QStringLiteral("English")));
}

void setLocalizationDictionary(std::optional<QVariantMap> d)
{
    std::lock_guard lock(dictionaryMutex);
    dictionary() = std::move(d);
}

std::optional<QVariantMap> localizationDictionary()
{
    std::lock_guard lock(dictionaryMutex);
    return dictionary();
}

QString localizedString(const QString &key)
{
    std::lock_guard lock(dictionaryMutex);
    if (!dictionary())
        return QString();
    const QVariant value = dictionary()->value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

QString localizedString(const char *key)
{
    return localizedString(QLatin1String(key));
}

QString localizedCaption(const char *key)
{
    return localizedString(key) + QLatin1Char(':');
}
