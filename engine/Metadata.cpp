#include "engine/Metadata.h"

#include "engine/PropertyList.h"

#include <cmath>

namespace {

// The variant alternative that holds each kind.
constexpr std::size_t alternativeOf(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Text:
        return 1;
    case FieldKind::Integer:
        return 2;
    case FieldKind::Real:
        return 3;
    case FieldKind::Date:
        break;
    }
    return 4;
}

QString keyText(std::string_view key)
{
    return QString::fromLatin1(key.data(), qsizetype(key.size()));
}

// The fields' keys as dictionary keys, made once.
const QString &keyOf(MetadataField field)
{
    static const auto keys = [] {
        std::array<QString, metadataFieldCount> texts;
        for (const MetadataField f : allMetadataFields())
            texts[std::size_t(f)] = keyText(fieldInfo(f).key);
        return texts;
    }();
    return keys[std::size_t(field)];
}

bool referenceIs(const std::optional<QString> &reference, QLatin1String lowerCase)
{
    return reference && reference->toLower() == lowerCase;
}

} // namespace

Metadata::Metadata()
{
    for (auto &rule : m_dateTimes)
        rule = std::make_shared<DateTime>();
}

void Metadata::setValue(MetadataField field, const Value &value)
{
    if (std::holds_alternative<std::monostate>(value)) {
        m_values[std::size_t(field)] = value;
        return;
    }
    Q_ASSERT_X(value.index() == alternativeOf(fieldKind(field)), "Metadata::setValue", "value of another kind");
    if (value.index() != alternativeOf(fieldKind(field)))
        return;
    // An invalid date is no date.
    if (const QDateTime *date = std::get_if<QDateTime>(&value); date && !date->isValid()) {
        m_values[std::size_t(field)] = Value();
        return;
    }
    m_values[std::size_t(field)] = value;
}

void Metadata::copyEditedFlags(const Metadata *other)
{
    if (other)
        setEditedFlags(other->editedFlags());
}

void Metadata::setDateTime(DateRule rule, std::shared_ptr<DateTime> dateTime)
{
    m_dateTimes[std::size_t(rule)] = dateTime ? std::move(dateTime) : std::make_shared<DateTime>();
}

void Metadata::refreshDateTimes()
{
    for (int i = 0; i < dateRuleCount; ++i) {
        if (const auto date = this->date(dateRules[std::size_t(i)].field))
            m_dateTimes[std::size_t(i)] = std::make_shared<DateTime>(*date);
    }
}

void Metadata::takeValues(const QVariantMap &entries, DateEntries dates)
{
    for (const MetadataField field : allMetadataFields()) {
        const auto found = entries.constFind(keyOf(field));
        if (found == entries.constEnd())
            continue;
        const QVariant &entry = *found;
        switch (fieldKind(field)) {
        case FieldKind::Text:
            set<FieldKind::Text>(field, plist::text(entry));
            break;
        case FieldKind::Integer:
            set<FieldKind::Integer>(field, plist::integer(entry));
            break;
        case FieldKind::Real:
            set<FieldKind::Real>(field, plist::real(entry));
            break;
        case FieldKind::Date:
            if (dates == DateEntries::Dates) {
                set<FieldKind::Date>(field, plist::date(entry));
            } else if (const auto text = plist::text(entry)) {
                set<FieldKind::Date>(field, dateFrom(*text));
            }
            break;
        }
    }
    applyGpsSigns();
}

// South, west and below sea level make the value negative, whatever sign it
// was stored with, so a signed value comes back with the same sign.
void Metadata::applyGpsSigns()
{
    if (const auto latitude = gpsLatitude(); latitude && referenceIs(gpsLatitudeRef(), QLatin1String("s")))
        setGPSLatitude(-std::abs(*latitude));
    if (const auto longitude = gpsLongitude(); longitude && referenceIs(gpsLongitudeRef(), QLatin1String("w")))
        setGPSLongitude(-std::abs(*longitude));
    if (const auto altitude = gpsAltitude(); altitude && gpsAltitudeRef() == 1)
        setGPSAltitude(-std::abs(*altitude));
}

QVariantMap Metadata::dictionary() const
{
    QVariantMap dictionary;
    for (const MetadataField field : allMetadataFields()) {
        std::visit(
            [&](const auto &v) {
                if constexpr (!std::is_same_v<std::decay_t<decltype(v)>, std::monostate>)
                    dictionary.insert(keyOf(field), QVariant::fromValue(v));
            },
            value(field));
    }
    for (int i = 0; i < dateRuleCount; ++i)
        dictionary.insert(keyText(dateRules[std::size_t(i)].key), m_dateTimes[std::size_t(i)]->dictionary());
    return dictionary;
}

Metadata Metadata::fromDictionary(const QVariantMap &dictionary)
{
    Metadata metadata;
    metadata.takeValues(dictionary, DateEntries::Dates);
    for (int i = 0; i < dateRuleCount; ++i) {
        if (const auto rule = plist::dictionary(dictionary.value(keyText(dateRules[std::size_t(i)].key))))
            metadata.m_dateTimes[std::size_t(i)] = std::make_shared<DateTime>(DateTime::fromDictionary(*rule));
    }
    return metadata;
}
