// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/YUpScope.h"

namespace platform {

YUpScope::YUpScope(QPainter &painter, qreal height)
    : m_painter(painter)
{
    m_painter.save();
    m_painter.translate(0, height);
    m_painter.scale(1, -1);
}

YUpScope::~YUpScope()
{
    m_painter.restore();
}

} // namespace platform
