// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainter>

namespace platform {

// Geometry of the progress views is given with y pointing up, the origin
// at the bottom-left corner. Inside this scope the painter takes such
// coordinates; text drawn here would come out mirrored, so draw it outside.
class YUpScope
{
public:
    YUpScope(QPainter &painter, qreal height);
    ~YUpScope();
    YUpScope(const YUpScope &) = delete;
    YUpScope &operator=(const YUpScope &) = delete;

    // A y measured up from the bottom, as a y measured down from the top.
    static qreal flipped(qreal y, qreal height) { return height - y; }

private:
    QPainter &m_painter;
};

} // namespace platform
