// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Rename.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

class FileInfo;
class Metadata;

// The name a renamed copy gets, built from the rename rule. The parts stand
// in this order: text, index, counter and date before the name (each
// followed by "_"); the name, then place names and the pixel size; then
// text, index, counter and date after it (each preceded by "_").

// What a copy's name is made from: the file's own dates, place names and
// pixel size, each replaced by the value the batch writes into every file
// where the user edited that field (an edited date is the file's own one as
// its rule changes it). A snapshot, made on the GUI thread where file
// records are read, so a batch can read it on its own thread.
struct NameSources
{
    std::optional<QDateTime> originalDate;
    std::optional<QDateTime> creationDate;
    std::optional<QDateTime> modifyDate;
    std::optional<QString> subLocation;
    std::optional<QString> city;
    std::optional<QString> provinceState;
    std::optional<QString> country;
    std::optional<QString> width;
    std::optional<QString> height;

    // edited is the batch's record of edited values; null for a batch that
    // writes none (a clean). A file whose metadata is not read yet gives
    // its pixel size and the edited values alone.
    static NameSources of(const FileInfo &file, const Metadata *edited);
};

// A file name split at its last dot; a leading dot starts no extension, and
// a trailing one belongs to the stem.
struct SplitName
{
    QString stem;
    QString extension; // without the dot; empty for none
};
SplitName splitFileName(const QString &fileName);
QString joinFileName(const QString &stem, const QString &extension);

// Text inserted into a file name: "/", NUL, control characters, line and
// paragraph separators, direction overrides and unpaired surrogates each
// become "_", so no part can add a folder level or disguise the name.
QString safeNamePart(const QString &text);

// The decimal text of n; fewer than 3 characters are padded with "0" to 2,
// 3 or more keep their last two (2026 gives 26).
QString twoDigits(qint64 n);

// The date's day, month, year (four digits, as the pattern's "YYYY"
// shows), hour, minute and second as its wall clock shows them, in the
// Gregorian calendar, as the pattern orders them.
QString dateString(DateFormat format, const QDateTime &date);

// A counter number padded with zeros after its sign to minDigits (held to
// 0..Rename::maxNumberOfDigitsAddCounter); a longer number stays whole.
QString counterText(qint64 number, qint64 minDigits);

// The date, place and size parts of a name as texts: taken from a file's
// values by a batch, placeholders in the rename screen's example.
struct AddedParts
{
    // Empty for no date part.
    QString date;
    // The place names the rule asks for that are present, in name order.
    QStringList places;
    // "<width>x<height>"; none without both.
    std::optional<QString> size;
};

// originalStem edited by the rule, with the given date, place and size
// parts (only those the rule turns on are used). counterStep is the copy's
// place among the batch's copies. A name that would be empty, "." or ".."
// falls back to originalStem; a leading dot of an edited name becomes "_".
QString editedFileStem(
    const QString &originalStem, const Rename &rule, const AddedParts &parts, qint64 counterStep);

// The rename screen's example: "Filename" as the rule edits it, with
// "{<pattern>}", "{Place}", "{City}", "{State}", "{Country}" and
// "{Width}x{Height}" where a file's own values would stand.
QString exampleFileName(const Rename &rule);

// The new name of a copy, without its extension and before it is made
// unique: originalStem edited by the rule. counterStep is the copy's place
// among the batch's copies (0 for the first); the counters step by one per
// copy from the rule's numbers. now is the moment the current-date part
// shows. A name that would be empty, "." or ".." falls back to originalStem.
QString newFileStem(const QString &originalStem, const Rename &rule, const NameSources &sources,
    qint64 counterStep, const QDateTime &now);
