// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/DateTime.h"
#include "engine/FileDates.h"
#include "engine/MetadataFields.h"
#include "engine/MetadataValues.h"

#include <QDateTime>
#include <QString>
#include <QVariantMap>

#include <array>
#include <atomic>
#include <bitset>
#include <memory>
#include <optional>
#include <variant>

class MetadataOperation;

// The six date-change rules of a record, one per date value.
enum class DateRule : std::uint8_t {
    originalDate,
    createDate,
    modifyDate,
    createDateXMP,
    modifyDateXMP,
    createDatePhotoshopXMP,
};

struct DateRuleInfo
{
    std::string_view key; // the rule's name, also its dictionary key
    MetadataField field; // the date value it changes
};

inline constexpr auto dateRules = std::to_array<DateRuleInfo>({
    { "dateTimeOriginalDate", MetadataField::originalDate },
    { "dateTimeCreateDate", MetadataField::creationDate },
    { "dateTimeModifyDate", MetadataField::modifyDate },
    { "dateTimeCreateDateXMP", MetadataField::createDateXMP },
    { "dateTimeModifyDateXMP", MetadataField::modifyDateXMP },
    { "dateTimeCreateDatePhotoshopXMP", MetadataField::createDatePhotoshopXMP },
});
inline constexpr int dateRuleCount = int(dateRules.size());
static_assert(dateRuleCount == 6);

// The bridge instance through which records are read from files: made on
// first use, once, whichever threads ask first, and kept for the whole run.
const MetadataOperation &sharedMetadataOperation();

template <FieldKind> struct FieldValueType;
template <> struct FieldValueType<FieldKind::Text>
{
    using type = QString;
};
template <> struct FieldValueType<FieldKind::Integer>
{
    using type = qint64;
};
template <> struct FieldValueType<FieldKind::Real>
{
    using type = double;
};
template <> struct FieldValueType<FieldKind::Date>
{
    using type = QDateTime;
};

// The metadata values of one image file or one preset: 75 optional values
// in the fixed field order, one date-change rule per date value and one
// edited flag per value. Values and flags are independent: setting a value
// never marks it edited.
//
// Holders that must see each other's changes (a file record, the editing
// form, a preset) share one record through std::shared_ptr<Metadata>. The
// rules are std::shared_ptr<DateTime> too, so a copy of a record shares its
// rules, and a rule handed from one record to another stays one object.
//
// Thousands of records stay loaded, so a record stores only the values that
// are set, and makes its rules when they are first asked for: until then it
// keeps what makes them exactly as they would have been made up front (the
// moment and, for a refreshed rule, its date value). Threads that read one
// record together may ask for its rules together: they get one set.
class Metadata
{
public:
    using Value = MetadataValue;
    using EditedFlags = std::bitset<metadataFieldCount>;

    // Every value absent, six fresh rules without a date, no flag set.
    Metadata();
    // A copy shares the rules of other.
    Metadata(const Metadata &other);
    Metadata &operator=(const Metadata &other);
    Metadata(Metadata &&other) noexcept;
    Metadata &operator=(Metadata &&other) noexcept;
    ~Metadata();

    // The record of one image file, read through the shared bridge: every
    // value found under its key, south latitudes, west longitudes and
    // altitudes below sea level negative, a rule made for each date found.
    // A file that cannot be read gives a blank record.
    static Metadata fromFile(const QString &path);
    // The same from the bridge's reading (keys to texts and numbers); no
    // reading gives a blank record.
    static Metadata fromReading(const std::optional<QVariantMap> &reading);
    // A date text of a file, in the first of the known forms that reads it:
    // the wall clock it shows, with or without an offset.
    static std::optional<QDateTime> dateFrom(const QString &text);

    // The stored form: set values under their Exiv2 keys, the six rules
    // under their names; no edited flags. Reading never fails: a missing or
    // mistyped entry leaves its field at its initial value.
    QVariantMap dictionary() const;
    static Metadata fromDictionary(const QVariantMap &dictionary);

    // By field number, for table-driven code. The reference stays valid
    // until a value of the record is next set or cleared.
    const Value &value(MetadataField field) const { return m_values.value(field); }
    bool hasValue(MetadataField field) const { return m_values.contains(field); }
    // A value of the field's kind, or std::monostate to clear it.
    void setValue(MetadataField field, const Value &value);

    template <FieldKind Kind>
    std::optional<typename FieldValueType<Kind>::type> get(MetadataField field) const
    {
        using T = typename FieldValueType<Kind>::type;
        if (const T *v = std::get_if<T>(&value(field)))
            return *v;
        return std::nullopt;
    }
    template <FieldKind Kind>
    void set(MetadataField field, const std::optional<typename FieldValueType<Kind>::type> &v)
    {
        setValue(field, v ? Value(*v) : Value());
    }
    std::optional<QString> text(MetadataField field) const { return get<FieldKind::Text>(field); }
    std::optional<qint64> integer(MetadataField field) const { return get<FieldKind::Integer>(field); }
    std::optional<double> real(MetadataField field) const { return get<FieldKind::Real>(field); }
    std::optional<QDateTime> date(MetadataField field) const { return get<FieldKind::Date>(field); }

    // The offset from UTC, in seconds, that the file recorded with a date
    // field (an XMP date in its own text, an Exif date in its offset tag)
    // or an IPTC time (digitizationTime, timeCreated). Absent where the file
    // gave none. Read with the values from a file; not part of the stored
    // form, and not changed by setting a value.
    std::optional<int> dateOffset(MetadataTag tag) const { return m_offsets.of(tag); }
    void setDateOffset(MetadataTag tag, std::optional<int> seconds) { m_offsets.set(tag, seconds); }
    const DateOffsets &dateOffsets() const { return m_offsets; }
    void setDateOffsets(const DateOffsets &offsets) { m_offsets = offsets; }

    bool isEdited(MetadataField field) const { return m_edited.test(std::size_t(field)); }
    void setEdited(MetadataField field, bool edited) { m_edited.set(std::size_t(field), edited); }
    // True when any value is marked edited.
    bool isEdited() const { return m_edited.any(); }
    const EditedFlags &editedFlags() const { return m_edited; }
    void setEditedFlags(const EditedFlags &flags) { m_edited = flags; }
    // Takes all 75 flags of other; nothing happens without one.
    void copyEditedFlags(const Metadata *other);
    void resetEditedFlags() { m_edited.reset(); }

    // Never null.
    const std::shared_ptr<DateTime> &dateTime(DateRule rule) const { return rules()[std::size_t(rule)]; }
    // A null rule is replaced by a fresh one without a date.
    void setDateTime(DateRule rule, std::shared_ptr<DateTime> dateTime);
    // Each date value that is present gets a fresh rule made from it; the
    // rules of absent dates stay.
    void refreshDateTimes();

    // Named access: artist(), setArtist(), isArtistEdited(), setArtistEdited(), ...
#define CALVORN_FIELD_ACCESSORS(name, Name, kind, conversion, key)                                           \
    std::optional<FieldValueType<FieldKind::kind>::type> name() const                                        \
    {                                                                                                        \
        return get<FieldKind::kind>(MetadataField::name);                                                    \
    }                                                                                                        \
    void set##Name(const std::optional<FieldValueType<FieldKind::kind>::type> &v)                            \
    {                                                                                                        \
        set<FieldKind::kind>(MetadataField::name, v);                                                        \
    }                                                                                                        \
    bool is##Name##Edited() const                                                                            \
    {                                                                                                        \
        return isEdited(MetadataField::name);                                                                \
    }                                                                                                        \
    void set##Name##Edited(bool edited)                                                                      \
    {                                                                                                        \
        setEdited(MetadataField::name, edited);                                                              \
    }
    CALVORN_METADATA_FIELDS(CALVORN_FIELD_ACCESSORS)
#undef CALVORN_FIELD_ACCESSORS

    const std::shared_ptr<DateTime> &dateTimeOriginalDate() const
    {
        return dateTime(DateRule::originalDate);
    }
    const std::shared_ptr<DateTime> &dateTimeCreateDate() const
    {
        return dateTime(DateRule::createDate);
    }
    const std::shared_ptr<DateTime> &dateTimeModifyDate() const
    {
        return dateTime(DateRule::modifyDate);
    }
    const std::shared_ptr<DateTime> &dateTimeCreateDateXMP() const
    {
        return dateTime(DateRule::createDateXMP);
    }
    const std::shared_ptr<DateTime> &dateTimeModifyDateXMP() const
    {
        return dateTime(DateRule::modifyDateXMP);
    }
    const std::shared_ptr<DateTime> &dateTimeCreateDatePhotoshopXMP() const
    {
        return dateTime(DateRule::createDatePhotoshopXMP);
    }
    void setDateTimeOriginalDate(std::shared_ptr<DateTime> d)
    {
        setDateTime(DateRule::originalDate, std::move(d));
    }
    void setDateTimeCreateDate(std::shared_ptr<DateTime> d)
    {
        setDateTime(DateRule::createDate, std::move(d));
    }
    void setDateTimeModifyDate(std::shared_ptr<DateTime> d)
    {
        setDateTime(DateRule::modifyDate, std::move(d));
    }
    void setDateTimeCreateDateXMP(std::shared_ptr<DateTime> d)
    {
        setDateTime(DateRule::createDateXMP, std::move(d));
    }
    void setDateTimeModifyDateXMP(std::shared_ptr<DateTime> d)
    {
        setDateTime(DateRule::modifyDateXMP, std::move(d));
    }
    void setDateTimeCreateDatePhotoshopXMP(std::shared_ptr<DateTime> d)
    {
        setDateTime(DateRule::createDatePhotoshopXMP, std::move(d));
    }

private:
    using Rules = std::array<std::shared_ptr<DateTime>, dateRuleCount>;

    enum class DateEntries { Texts, Dates };
    // Takes every value of the field's kind from entries, then gives the
    // GPS values the sign of their references.
    void takeValues(const QVariantMap &entries, DateEntries dates);
    // The offsets of dates whose texts had none: the Exif offset tags and
    // the IPTC times.
    void takeDateOffsets(const QVariantMap &entries);
    void applyGpsSigns();

    // The six rules, made on first use.
    const Rules &rules() const;
    Rules &rules();
    // The rule as it would have been made up front.
    DateTime unmadeRule(int rule) const;

    MetadataValues m_values;
    DateOffsets m_offsets;
    EditedFlags m_edited;
    // Owned; null until the rules are first asked for.
    mutable std::atomic<Rules *> m_rules = nullptr;
    // Until then: when the record was made (the moment of a rule without a
    // date), when refreshDateTimes() last ran, and which rules it made from
    // their date values (a bit per rule; such a date is made into its rule
    // before it changes).
    qint64 m_madeAt = 0;
    qint64 m_refreshedAt = 0;
    std::uint8_t m_refreshedRules = 0;
};
