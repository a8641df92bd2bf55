// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/NameOrder.h"

#include <algorithm>

namespace {

// UTF-16 units reordered so that comparing them compares code points:
// surrogates (above the rest of the basic plane in code point order) move
// to the top.
inline char16_t codePointOrder(char16_t unit)
{
    if (unit >= 0xE000)
        return char16_t(unit - 0x800);
    if (unit >= 0xD800)
        return char16_t(unit + 0x2000);
    return unit;
}

} // namespace

QString nameOrderKey(const QString &name)
{
    return name.toLower().normalized(QString::NormalizationForm_C);
}

int compareByCodePoints(const QString &a, const QString &b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t left = codePointOrder(a.at(i).unicode());
        const char16_t right = codePointOrder(b.at(i).unicode());
        if (left != right)
            return left < right ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
