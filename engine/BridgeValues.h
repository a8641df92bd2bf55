// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

#include <exiv2/value.hpp>

#include <optional>

// Conversions between the values dictionary and Exiv2 values, on the way in,
// and the short text a large binary value is shown by on the way out.
namespace engine::bridge {

// A dictionary value for a text key; throws std::invalid_argument for
// anything but a text (the caller handed the wrong kind).
QString textOf(const QVariant &value);
// A dictionary value for a numeric key: a number, or a text read by its
// leading number the way a form field would be read (none gives 0). Throws
// std::invalid_argument for anything else.
double realOf(const QVariant &value);
// The same, as a whole number: a fraction is truncated toward zero, a
// value beyond 64 bits is clamped to them.
std::optional<qint64> integerOf(const QVariant &value);

// A whole number as a value of the tag's own type; none when that type
// cannot hold it, and why in whyNot.
Exiv2::Value::AutoPtr integerValue(Exiv2::TypeId type, qint64 number, QString *whyNot = nullptr);
// A real number through single precision, as a rational of the tag's own
// type; none when it is not finite, too large, or negative for an unsigned
// rational, and why in whyNot.
Exiv2::Value::AutoPtr rationalValue(Exiv2::TypeId type, double number, QString *whyNot = nullptr);
// A text as a value of the tag's own type; a comment carries the character
// set that other readers need (ASCII, else UCS-2 in the given byte order).
Exiv2::Value::AutoPtr textValue(Exiv2::TypeId type, const QString &text, Exiv2::ByteOrder byteOrder);

// |v| as degrees and minutes over 1 and seconds in hundredths, as cameras
// write them ("48/1 51/1 3024/100"); none when not finite or too large.
std::optional<QString> formatGpsCoordinate(double v);
// |v| in hundredths ("12345/100"); none when not finite or too large.
std::optional<QString> formatHundredths(double v);

// A binary value (of type undefined, or bytes) longer than a person reads as
// its numbers, as the short text that stands for it wherever values are
// shown: "(1048576 bytes of binary data)". None for a shorter one, or one of
// another type: its own text serves. Its bytes are never turned into text,
// so that a block of layers or a preview costs no more than the library's
// own copy of it.
std::optional<QString> binaryValueText(const Exiv2::Value &value);

// "yyyy:MM:dd HH:mm:ss" (with or without the seconds or the whole time) in
// the XMP form "yyyy-MM-ddTHH:mm:ss"; any other text unchanged.
QString xmpDateText(const QString &text);

} // namespace engine::bridge
