// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>

// Image converters, and Exiv2 itself, keep the metadata they have no PNG
// chunk for as a "raw profile" text: a new line, the profile's name, its
// length in bytes right-aligned in eight places, then its bytes in
// hexadecimal, 36 to a line ("\n8bim\n     286\n3842494d0404…\n").
namespace engine::bridge {

struct RawProfile
{
    QByteArray name;
    QByteArray bytes;
};

// The profile a text holds; none when the text is not of that form: a
// missing name or length, a character that is no hexadecimal digit, an odd
// number of digits, or not as many bytes as its length says.
std::optional<RawProfile> rawProfileOf(const QByteArray &text);
// The text that holds the profile, in the same form.
QByteArray rawProfileText(const RawProfile &profile);

} // namespace engine::bridge
