// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Popover.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace platform {

class Popover::Frame : public QFrame
{
public:
    Frame(Popover *owner, Kind kind)
        : QFrame(nullptr, kind == Kind::Popup ? Qt::Popup : Qt::ToolTip | Qt::FramelessWindowHint)
        , m_owner(owner)
    {
        setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
        setAutoFillBackground(true);
        if (kind == Kind::Tooltip) {
            setAttribute(Qt::WA_ShowWithoutActivating);
            setWindowFlag(Qt::WindowDoesNotAcceptFocus);
            setFocusPolicy(Qt::NoFocus);
        }
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(1, 1, 1, 1);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }
    // A popover that is going away tells nobody that it closes.
    void detach() { m_owner = nullptr; }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape)
            close();
        else
            QFrame::keyPressEvent(event);
    }
    void hideEvent(QHideEvent *event) override
    {
        QFrame::hideEvent(event);
        if (m_owner)
            m_owner->frameHidden();
    }

private:
    Popover *m_owner;
};

Popover::Popover(Kind kind, QObject *parent)
    : QObject(parent)
    , m_kind(kind)
{ }

Popover::~Popover()
{
    if (m_filtering)
        qApp->removeEventFilter(this);
    takeContentOut();
    if (m_frame)
        m_frame->detach();
    m_frame.reset();
}

void Popover::setContent(QWidget *content)
{
    if (content == m_content)
        return;
    takeContentOut();
    m_content = content;
    if (content && m_frame) {
        m_frame->layout()->addWidget(content);
        content->show();
    }
}

void Popover::takeContentOut()
{
    if (m_content && m_frame && m_content->parentWidget() == m_frame.get()) {
        m_frame->layout()->removeWidget(m_content);
        m_content->hide();
        m_content->setParent(nullptr);
    }
}

QWidget *Popover::window() const
{
    return m_frame.get();
}

bool Popover::isShown() const
{
    return m_frame && m_frame->isVisible();
}

void Popover::show(QWidget *anchor, int edge)
{
    if (anchor)
        show(anchor, anchor->rect(), edge);
}

void Popover::show(QWidget *anchor, const QRect &rect, int edge)
{
    if (!anchor)
        return;
    if (!m_frame)
        m_frame = std::make_unique<Frame>(this, m_kind);
    if (m_content && m_content->parentWidget() != m_frame.get()) {
        m_frame->layout()->addWidget(m_content);
        m_content->show();
    }
    m_anchor = anchor;
    m_frame->adjustSize();

    const QRect anchorRect(anchor->mapToGlobal(rect.topLeft()), rect.size());
    QScreen *screen = anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(anchorRect.center(), QSize(1, 1));
    m_frame->setGeometry(placement(anchorRect, m_frame->size(), edge, available));

    if (!m_filtering) {
        qApp->installEventFilter(this);
        m_filtering = true;
    }
    m_frame->show();
    if (m_kind == Kind::Popup && m_content)
        m_content->setFocus(Qt::PopupFocusReason);
}

void Popover::close()
{
    if (m_frame && m_frame->isVisible())
        m_frame->close();
}

void Popover::frameHidden()
{
    if (m_filtering) {
        qApp->removeEventFilter(this);
        m_filtering = false;
    }
    m_anchor.clear();
    emit closed();
}

bool Popover::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ApplicationStateChange:
        if (QGuiApplication::applicationState() != Qt::ApplicationActive)
            close();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        // A popup window is closed by Qt itself when the click is outside.
        if (m_kind == Kind::Tooltip) {
            auto *widget = qobject_cast<QWidget *>(watched);
            if (widget && widget != m_frame.get() && !m_frame->isAncestorOf(widget))
                close();
        }
        break;
    case QEvent::KeyPress:
        if (m_kind == Kind::Tooltip && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            close();
        break;
    case QEvent::Hide:
        if (watched == m_anchor || (m_anchor && watched == m_anchor->window()))
            close();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

QRect Popover::placement(const QRect &anchor, const QSize &size, int edge, const QRect &screen)
{
    const auto beside = [&](int side) {
        const int centredX = anchor.left() + (anchor.width() - size.width()) / 2;
        const int centredY = anchor.top() + (anchor.height() - size.height()) / 2;
        switch (side) {
        case LeftEdge:
            return QRect(QPoint(anchor.left() - Gap - size.width(), centredY), size);
        case RightEdge:
            return QRect(QPoint(anchor.right() + 1 + Gap, centredY), size);
        case AboveEdge:
            return QRect(QPoint(centredX, anchor.top() - Gap - size.height()), size);
        default:
            return QRect(QPoint(centredX, anchor.bottom() + 1 + Gap), size);
        }
    };
    const auto fitsAlongSide = [&](const QRect &r, int side) {
        if (side == LeftEdge || side == RightEdge)
            return r.left() >= screen.left() && r.right() <= screen.right();
        return r.top() >= screen.top() && r.bottom() <= screen.bottom();
    };
    const int preferred = edge >= LeftEdge && edge <= AboveEdge ? edge : BelowEdge;
    const int opposite = (preferred + 2) % 4;
    QRect place = beside(preferred);
    if (!fitsAlongSide(place, preferred) && fitsAlongSide(beside(opposite), opposite))
        place = beside(opposite);

    // Keep it on the screen, its top-left corner first.
    place.moveLeft(std::max(screen.left(), std::min(place.left(), screen.right() + 1 - place.width())));
    place.moveTop(std::max(screen.top(), std::min(place.top(), screen.bottom() + 1 - place.height())));
    return place;
}

} // namespace platform
