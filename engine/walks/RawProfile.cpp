// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/walks/RawProfile.h"

namespace engine::bridge {

namespace {

constexpr qsizetype bytesPerLine = 36;

bool isSpace(char c)
{
    return c == '\n' || c == '\r' || c == ' ' || c == '\t';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<RawProfile> rawProfileOf(const QByteArray &text)
{
    qsizetype at = 0;
    const auto skipSpace = [&] {
        while (at < text.size() && isSpace(text[at]))
            ++at;
    };
    skipSpace();
    const qsizetype nameStart = at;
    while (at < text.size() && !isSpace(text[at]))
        ++at;
    RawProfile profile { text.mid(nameStart, at - nameStart), {} };
    skipSpace();
    // The length, which can say no more than the digits that follow hold.
    qsizetype length = 0;
    const qsizetype lengthStart = at;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        length = length * 10 + (text[at] - '0');
        if (length > text.size() / 2)
            return std::nullopt;
    }
    if (profile.name.isEmpty() || at == lengthStart)
        return std::nullopt;
    profile.bytes.reserve(length);
    int high = -1;
    for (; at < text.size(); ++at) {
        if (isSpace(text[at]))
            continue;
        const int digit = hexValue(text[at]);
        if (digit < 0 || (high < 0 && profile.bytes.size() == length))
            return std::nullopt;
        if (high < 0) {
            high = digit;
        } else {
            profile.bytes.append(char(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0 || profile.bytes.size() != length)
        return std::nullopt;
    return profile;
}

QByteArray rawProfileText(const RawProfile &profile)
{
    static constexpr char digits[] = "0123456789abcdef";
    QByteArray text
        = '\n' + profile.name + '\n' + QByteArray::number(profile.bytes.size()).rightJustified(8, ' ');
    text.reserve(text.size() + profile.bytes.size() * 2 + profile.bytes.size() / bytesPerLine + 2);
    for (qsizetype i = 0; i < profile.bytes.size(); ++i) {
        if (i % bytesPerLine == 0)
            text.append('\n');
        const auto byte = quint8(profile.bytes[i]);
        text.append(digits[byte >> 4]).append(digits[byte & 0xf]);
    }
    return text.append('\n');
}

} // namespace engine::bridge
