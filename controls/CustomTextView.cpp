// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CustomTextView.h"

#include <QPainter>

CustomTextView::CustomTextView(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // Typing the first character or deleting the last repaints only a
    // little; the placeholder coming or going needs the whole view.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        const bool shows = showsPlaceholder();
        if (shows != m_placeholderShown) {
            m_placeholderShown = shows;
            viewport()->update();
        }
    });
}

void CustomTextView::makePlaceholderAttributedString(const QString &text)
{
    m_placeholder = text;
    m_placeholderShown = showsPlaceholder();
}

bool CustomTextView::showsPlaceholder() const
{
    return m_placeholder && document()->isEmpty();
}

QRect CustomTextView::placeholderRect(const QRect &area) const
{
    const QMargins &in = m_placeholderInsets;
    const int dx = in.left() + in.right();
    const int dy = in.top() + in.bottom();
    return area.adjusted(dx, dy, -dx, -dy).translated(in.left() - in.right(), in.top() - in.bottom());
}

void CustomTextView::focusInEvent(QFocusEvent *event)
{
    viewport()->update();
    QPlainTextEdit::focusInEvent(event);
}

void CustomTextView::paintEvent(QPaintEvent *event)
{
    QPlainTextEdit::paintEvent(event);
    if (!showsPlaceholder())
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(
        placeholderRect(viewport()->rect()), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, *m_placeholder);
}
