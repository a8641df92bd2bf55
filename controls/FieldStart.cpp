// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/FieldStart.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>

namespace {

// QLineEdit keeps two pixels on each side inside its frame.
constexpr int InnerMargin = 2;

bool fits(const QLineEdit *field)
{
    const QMargins margins = field->textMargins();
    const int frame
        = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field) : 0;
    const int room = field->width() - 2 * (frame + InnerMargin) - margins.left() - margins.right();
    return field->fontMetrics().horizontalAdvance(field->text()) <= room;
}

class FieldStart : public QObject
{
public:
    explicit FieldStart(QLineEdit *field)
        : QObject(field)
        , m_field(field)
    {
        field->installEventFilter(this);
        // Setting a value, even the same one again, puts the cursor at its
        // end; typing marks the field modified. A value written back while
        // the user types (a filter's correction) is part of the typing:
        // connected first, this sees the typing before such a write.
        connect(field, &QLineEdit::textEdited, this, [this] { noteTyping(); });
        connect(field, &QLineEdit::textChanged, this, [this] {
            homeUnlessTyping();
            updateTip();
        });
        connect(field, &QLineEdit::cursorPositionChanged, this, [this] {
            // A selection is being made, by the user or for the user.
            if (!m_field->hasFocus() && !m_field->hasSelectedText())
                homeUnlessTyping();
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_field) {
            // The user's own keys and clicks move the cursor as they like.
            switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::InputMethod:
                noteTyping();
                break;
            case QEvent::MouseMove:
                if (static_cast<QMouseEvent *>(event)->buttons() != Qt::NoButton)
                    noteTyping();
                break;
            default:
                break;
            }
            // Entered by the keyboard, the whole value is selected with the
            // cursor at its end; the selection stays, seen from the start.
            if (event->type() == QEvent::FocusIn) {
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        const qsizetype length = m_field->text().size();
                        if (length > 0 && m_field->selectedText().size() == length)
                            m_field->setSelection(int(length), -int(length));
                    },
                    Qt::QueuedConnection);
            }
            // Left for good, not for a menu or another window for a while.
            if (event->type() == QEvent::FocusOut) {
                const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
                if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                    m_field->setCursorPosition(0);
            }
            if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)
                updateTip();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Until the event loop turns again, changes come from the user.
    void noteTyping()
    {
        if (m_typing)
            return;
        m_typing = true;
        QMetaObject::invokeMethod(
            this, [this] { m_typing = false; }, Qt::QueuedConnection);
    }

    void homeUnlessTyping()
    {
        if (!m_typing && !m_field->isModified())
            m_field->setCursorPosition(0);
    }

    void updateTip()
    {
        const QString tip = fits(m_field) ? QString() : m_field->text();
        if (m_field->toolTip() != tip)
            m_field->setToolTip(tip);
    }

    QLineEdit *m_field;
    bool m_typing = false;
};

} // namespace

void showValueFromStart(QLineEdit *field)
{
    if (field)
        new FieldStart(field);
}
