// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// Where the date part of a new file name goes.
enum class DateAs { prefix, suffix };

// The twenty date patterns a new file name can carry, in the order the
// rename screen lists them.
enum class DateFormat {
    one,
    two,
    three,
    four,
    five,
    six,
    seven,
    eight,
    nine,
    ten,
    eleven,
    twelve,
    thirteen,
    fourteen,
    fifteen,
    sixteen,
    seventeen,
    eighteen,
    nineteen,
    twenty
};

// Which metadata date a new file name takes.
enum class ExifDateType { original, creation, modify };

// The stored texts of the three enumerations; a lookup answers nothing for
// a text that is none of them (exact, case-sensitive).
QString rawValue(DateAs value);
QString rawValue(DateFormat value);
QString rawValue(ExifDateType value);
std::optional<DateAs> dateAsFromRaw(const QString &text);
std::optional<DateFormat> dateFormatFromRaw(const QString &text);
std::optional<ExifDateType> exifDateTypeFromRaw(const QString &text);

// The rule by which a batch names the copies it writes. A value; the
// default rule keeps the original name.
struct Rename
{
    bool isKeepOriginalFileName = true;
    bool isEditOriginalFileName = false;
    bool isReplaceFilename = false;
    bool isReplaceText = false;
    bool isAddText = false;
    bool isAddIndex = false;
    bool isAddCounter = false;
    bool isAddDateTime = false;
    bool isAddExifLocation = false;
    bool isAppendWidthHeight = false;
    // A present empty text is not the same as an absent one.
    std::optional<QString> replaceFilename;
    std::optional<QString> findReplaceText;
    std::optional<QString> replaceWithReplaceText;
    std::optional<QString> prefixAddText;
    std::optional<QString> suffixAddText;
    std::optional<qint64> prefixAddIndex;
    std::optional<qint64> suffixAddIndex;
    std::optional<qint64> prefixAddCounter;
    std::optional<qint64> suffixAddCounter;
    // 0 adds no leading zeros; 1 to 7 pad the counter to that many digits.
    qint64 minNumberOfDigitsAddCounter = 0;
    // The most a stored rule may ask for, so a damaged setting cannot make
    // a name of millions of zeros.
    static constexpr qint64 maxNumberOfDigitsAddCounter = 10;
    DateAs asDateTime = DateAs::prefix;
    DateFormat dateFormat = DateFormat::one;
    bool isAddCurrentDate = true;
    bool isAddExifDate = false;
    ExifDateType exifDateType = ExifDateType::original;
    bool isPlace = false;
    bool isCity = false;
    bool isState = false;
    bool isCountry = false;

    // Keyed by the field names: every Boolean, the digit count and the three
    // enumerations (as their texts) always; optional texts and numbers only
    // when present.
    QVariantMap dictionary() const;
    // Never fails: a missing or mistyped entry leaves its field at the
    // default rule's value; unknown keys are ignored.
    static Rename fromDictionary(const QVariantMap &dictionary);

    bool operator==(const Rename &) const = default;
};
