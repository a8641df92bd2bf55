// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Metadata.h"

#include "engine/PropertyList.h"

#include <QVarLengthArray>

#include <cmath>
#include <utility>

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

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// The rule that changes field; none for a field that is not a date.
std::optional<int> ruleOf(MetadataField field)
{
    for (int i = 0; i < dateRuleCount; ++i) {
        if (dateRules[std::size_t(i)].field == field)
            return i;
    }
    return std::nullopt;
}

} // namespace

Metadata::Metadata()
    : m_madeAt(now())
{ }

Metadata::Metadata(const Metadata &other)
    : m_values(other.m_values)
    , m_offsets(other.m_offsets)
    , m_edited(other.m_edited)
    , m_rules(new Rules(other.rules()))
    , m_madeAt(other.m_madeAt)
    , m_refreshedAt(other.m_refreshedAt)
{ }

Metadata &Metadata::operator=(const Metadata &other)
{
    if (this != &other)
        *this = Metadata(other);
    return *this;
}

Metadata::Metadata(Metadata &&other) noexcept
    : m_values(std::move(other.m_values))
    , m_offsets(other.m_offsets)
    , m_edited(other.m_edited)
    , m_rules(other.m_rules.exchange(nullptr))
    , m_madeAt(other.m_madeAt)
    , m_refreshedAt(other.m_refreshedAt)
    , m_refreshedRules(std::exchange(other.m_refreshedRules, 0))
{ }

Metadata &Metadata::operator=(Metadata &&other) noexcept
{
    if (this == &other)
        return *this;
    m_values = std::move(other.m_values);
    m_offsets = other.m_offsets;
    m_edited = other.m_edited;
    delete m_rules.exchange(other.m_rules.exchange(nullptr));
    m_madeAt = other.m_madeAt;
    m_refreshedAt = other.m_refreshedAt;
    m_refreshedRules = std::exchange(other.m_refreshedRules, 0);
    return *this;
}

Metadata::~Metadata()
{
    delete m_rules.load();
}

void Metadata::setValue(MetadataField field, const Value &value)
{
    // A rule made from this date keeps the date it was made from.
    if (const auto rule = ruleOf(field); rule && ((m_refreshedRules >> *rule) & 1))
        rules();
    if (std::holds_alternative<std::monostate>(value)) {
        m_values.set(field, value);
        return;
    }
    Q_ASSERT_X(
        value.index() == alternativeOf(fieldKind(field)), "Metadata::setValue", "value of another kind");
    if (value.index() != alternativeOf(fieldKind(field)))
        return;
    // An invalid date is no date.
    if (const QDateTime *date = std::get_if<QDateTime>(&value); date && !date->isValid()) {
        m_values.set(field, Value());
        return;
    }
    m_values.set(field, value);
}

void Metadata::copyEditedFlags(const Metadata *other)
{
    if (other)
        setEditedFlags(other->editedFlags());
}

const Metadata::Rules &Metadata::rules() const
{
    if (const Rules *made = m_rules.load(std::memory_order_acquire))
        return *made;
    auto made = std::make_unique<Rules>();
    for (int i = 0; i < dateRuleCount; ++i)
        (*made)[std::size_t(i)] = std::make_shared<DateTime>(unmadeRule(i));
    // Threads reading the record may get here together; the first one's
    // rules stand.
    Rules *first = nullptr;
    if (m_rules.compare_exchange_strong(
            first, made.get(), std::memory_order_acq_rel, std::memory_order_acquire))
        return *made.release();
    return *first;
}

Metadata::Rules &Metadata::rules()
{
    return const_cast<Rules &>(std::as_const(*this).rules());
}

DateTime Metadata::unmadeRule(int rule) const
{
    if ((m_refreshedRules >> rule) & 1)
        return DateTime(
            date(dateRules[std::size_t(rule)].field), QDateTime::fromMSecsSinceEpoch(m_refreshedAt, Qt::UTC));
    return DateTime(std::nullopt, QDateTime::fromMSecsSinceEpoch(m_madeAt, Qt::UTC));
}

void Metadata::setDateTime(DateRule rule, std::shared_ptr<DateTime> dateTime)
{
    rules()[std::size_t(rule)] = dateTime ? std::move(dateTime) : std::make_shared<DateTime>();
}

void Metadata::refreshDateTimes()
{
    if (Rules *made = m_rules.load(std::memory_order_acquire)) {
        for (int i = 0; i < dateRuleCount; ++i) {
            if (const auto date = this->date(dateRules[std::size_t(i)].field))
                (*made)[std::size_t(i)] = std::make_shared<DateTime>(*date);
        }
        return;
    }
    m_refreshedRules = 0;
    for (int i = 0; i < dateRuleCount; ++i) {
        if (hasValue(dateRules[std::size_t(i)].field))
            m_refreshedRules |= std::uint8_t(1u << i);
    }
    m_refreshedAt = now();
}

void Metadata::takeValues(const QVariantMap &entries, DateEntries dates)
{
    // A file gives the same moment in several fields, mostly in the same
    // words: each text is read as a date once.
    QVarLengthArray<std::pair<QString, std::optional<FileDate>>, dateRuleCount> readDates;
    const auto dateOf = [&readDates](const QString &text) {
        for (const auto &[read, date] : readDates) {
            if (read == text)
                return date;
        }
        return readDates.emplace_back(text, readFileDate(text)).second;
    };
    m_values.reserveAll();
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
                const std::optional<FileDate> date = dateOf(*text);
                set<FieldKind::Date>(field, date ? std::optional(date->date) : std::nullopt);
                setDateOffset(metadataTag(field), date ? date->offsetSeconds : std::nullopt);
            }
            break;
        }
    }
    if (dates == DateEntries::Texts)
        takeDateOffsets(entries);
    applyGpsSigns();
    m_values.pack();
}

void Metadata::takeDateOffsets(const QVariantMap &entries)
{
    const auto offsetUnder = [&entries](QLatin1String key) -> std::optional<int> {
        const auto found = entries.constFind(key);
        const std::optional<QString> text = found != entries.constEnd() ? plist::text(*found) : std::nullopt;
        return text ? recordedOffset(*text) : std::nullopt;
    };
    for (const DateRuleInfo &rule : dateRules) {
        const QLatin1String offsetKey = exifOffsetKey(fieldKey(rule.field));
        if (!offsetKey.isEmpty() && !dateOffset(metadataTag(rule.field)))
            setDateOffset(metadataTag(rule.field), offsetUnder(offsetKey));
    }
    for (const MetadataTag time : { MetadataTag::digitizationTime, MetadataTag::timeCreated })
        setDateOffset(time, offsetUnder(key(time)));
}

// South, west and below sea level make the value negative, whatever sign it
// was stored with, so a signed value comes back with the same sign.
void Metadata::applyGpsSigns()
{
    if (const auto latitude = gpsLatitude(); latitude && referenceIs(gpsLatitudeRef(), QLatin1String("s")))
        setGPSLatitude(-std::abs(*latitude));
    if (const auto longitude = gpsLongitude();
        longitude && referenceIs(gpsLongitudeRef(), QLatin1String("w")))
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
    // Rules not made yet are not made for this.
    const Rules *made = m_rules.load(std::memory_order_acquire);
    for (int i = 0; i < dateRuleCount; ++i) {
        dictionary.insert(keyText(dateRules[std::size_t(i)].key),
            made ? (*made)[std::size_t(i)]->dictionary() : unmadeRule(i).dictionary());
    }
    return dictionary;
}

Metadata Metadata::fromDictionary(const QVariantMap &dictionary)
{
    Metadata metadata;
    metadata.takeValues(dictionary, DateEntries::Dates);
    for (int i = 0; i < dateRuleCount; ++i) {
        if (const auto rule = plist::dictionary(dictionary.value(keyText(dateRules[std::size_t(i)].key))))
            metadata.rules()[std::size_t(i)] = std::make_shared<DateTime>(DateTime::fromDictionary(*rule));
    }
    return metadata;
}
