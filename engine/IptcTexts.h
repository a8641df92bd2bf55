// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <exiv2/iptc.hpp>

#include <optional>
#include <string>

// IPTC texts on their way out of and into a file: which character set they
// are in, and how a repeatable dataset's items make one text. Exif texts,
// which declare no character set either, are read the same way.
namespace engine::bridge {

// Datasets that hold one item each and repeat for more (keywords,
// by-lines, writers: every dataset the standard marks repeatable).
bool isRepeatable(const Exiv2::IptcKey &key);

// Items as one text, ", " between them; an item that holds a comma, a
// double quote or blanks at either end stands in double quotes, its own
// quotes doubled ("\"Smith, John\", x").
QString joinedItems(const QStringList &items);
// The items of such a text, quotes read back; blank items are left out.
QStringList splitItems(const QString &text);

// True when the IPTC declares its texts UTF-8 (dataset 1:90, ESC % G).
bool isMarkedUtf8(const Exiv2::IptcData &iptc);
// Text bytes that declare no character set, up to the first NUL: UTF-8
// when they are valid UTF-8, else Latin-1 (as older cameras and programs
// wrote them).
QString undeclaredText(const std::string &bytes);
// A text dataset's bytes, up to the first NUL: UTF-8 when marked so;
// without the mark, as undeclaredText().
QString iptcText(const std::string &bytes, bool markedUtf8);
// Before text that is not ASCII is written as UTF-8: declares UTF-8 and
// turns the texts already there that are not UTF-8 from Latin-1 into it,
// so each keeps reading the same.
void declareUtf8(Exiv2::IptcData &iptc);

// The most bytes the standard lets the dataset hold; none when it sets no
// limit.
std::optional<long> datasetLimit(const Exiv2::IptcKey &key);
// The longest start of text whose UTF-8 form fits limit bytes, cut between
// two characters as a reader sees them (a letter and its accents stay
// together).
QString cutToBytes(const QString &text, long limit);

} // namespace engine::bridge
