// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantMap>

#include <optional>

// One change to one date field of a photo, set up once in the date popover
// and applied to every file of a batch: keep the file's date, empty it, set
// a chosen date, replace parts of it, or step its date or its time part.
// Shared by reference (std::shared_ptr) between the metadata record, the
// editor and the batch. Its dates are wall clocks (platform::Calendar), as
// a photo's metadata records them.
class DateTime
{
public:
    // A rule that changes nothing, made for a field holding originalDate;
    // textFieldEditorString shows that date in the display format.
    explicit DateTime(const std::optional<QDateTime> &originalDate = std::nullopt);

    // A separate rule from the dictionary form; missing or mistyped entries
    // keep their defaults.
    static DateTime fromDictionary(const QVariantMap &dictionary);
    // Every field but the creation moment, keyed by field name; optional
    // values only when set.
    QVariantMap dictionary() const;

    // originalDate, or the user's wall clock when this rule was made.
    QDateTime originalDateOrNow() const;
    std::optional<QDateTime> newDateFromOriginal() const;
    // The new date for a file whose field holds original; absent means the
    // field is to hold no date. Reads the rule only.
    std::optional<QDateTime> newDate(const std::optional<QDateTime> &original) const;
    bool isAnyOptionSelected() const;

    QDateTime tempDate() const { return m_tempDate; }

    std::optional<QDateTime> originalDate;
    QString textFieldEditorString;

    // Modes, tested in this order; the first one set decides.
    bool isKeepOriginal = false;
    bool isEmptyValue = false;
    bool isSelectDate = false;
    bool isUpdateDate = false;
    bool isIDOriginalDate = false;
    bool isIDOriginalTime = false;

    std::optional<QDateTime> selectDate;

    // Update: the new day, month and year, and the time of day to take.
    std::optional<qint64> dayUpdateDate;
    std::optional<qint64> monthUpdateDate;
    std::optional<qint64> yearUpdateDate;
    std::optional<QDateTime> timeUpdateDate;
    bool isKeepOriginalDayUpdateDate = false;
    bool isKeepOriginalMonthUpdateDate = false;
    bool isKeepOriginalYearUpdateDate = false;
    bool isKeepOriginalTimeUpdateDate = false;

    // Date step: amounts to add (negative to subtract), with the texts as
    // the user typed them, for showing them again.
    std::optional<qint64> dayIDOriginalDate;
    QString dayIDOriginalDateString;
    std::optional<qint64> monthIDOriginalDate;
    QString monthIDOriginalDateString;
    std::optional<qint64> yearIDOriginalDate;
    QString yearIDOriginalDateString;
    bool isKeepOriginalDayIDOriginalDate = false;
    bool isKeepOriginalMonthIDOriginalDate = false;
    bool isKeepOriginalYearIDOriginalDate = false;

    // Time step.
    std::optional<qint64> hourIDOriginalTime;
    QString hourIDOriginalTimeString;
    std::optional<qint64> minuteIDOriginalTime;
    QString minuteIDOriginalTimeString;
    std::optional<qint64> secondIDOriginalTime;
    QString secondIDOriginalTimeString;
    bool isKeepOriginalHourIDOriginalTime = false;
    bool isKeepOriginalMinuteIDOriginalTime = false;
    bool isKeepOriginalSecondIDOriginalTime = false;

private:
    friend class Metadata;
    // A rule made at the moment madeAt (a point in time), for a record that
    // makes its rules only when they are first asked for.
    DateTime(const std::optional<QDateTime> &originalDate, const QDateTime &madeAt);

    std::optional<QDateTime> updatedDate(const QDateTime &original) const;
    std::optional<QDateTime> steppedDate(const QDateTime &original) const;
    std::optional<QDateTime> steppedTime(const QDateTime &original) const;

    QDateTime m_tempDate;
};
