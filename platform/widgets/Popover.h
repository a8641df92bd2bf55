// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <memory>

class QWidget;

namespace platform {

// A small window of content that stands beside an anchor widget and closes
// by itself when the user turns elsewhere: a click outside it, Escape, or
// the application losing the focus. Not animated.
//
// Popup takes the keyboard while shown (lists, forms). Tooltip never takes
// the focus, so the user keeps typing in the field it explains.
//
// The popover never owns its content: it is taken out of the popover when
// the popover dies or gets other content.
class Popover : public QObject
{
    Q_OBJECT
public:
    enum class Kind { Popup, Tooltip };
    // The side of the anchor the popover prefers, numbered as callers pass it.
    enum Edge { LeftEdge = 0, BelowEdge = 1, RightEdge = 2, AboveEdge = 3 };
    // Space between the anchor and the popover.
    static constexpr int Gap = 4;

    explicit Popover(Kind kind = Kind::Popup, QObject *parent = nullptr);
    ~Popover() override;

    Kind kind() const { return m_kind; }

    void setContent(QWidget *content);
    QWidget *content() const { return m_content; }

    // Shows the popover at the preferred edge of the anchor's whole rect (or
    // of rect, in the anchor's coordinates), on the other side when there is
    // no room, kept on the anchor's screen. Showing it again while it is
    // shown moves it to the new place; the content stays up.
    void show(QWidget *anchor, int edge);
    void show(QWidget *anchor, const QRect &rect, int edge);
    void close();
    bool isShown() const;

    // The window holding the content (exists once shown).
    QWidget *window() const;
    // The widget the popover stands beside while it is shown.
    QWidget *anchor() const { return m_anchor; }

    // Where a popover of size stands beside anchor (global coordinates) on
    // screen: the preferred edge when it fits, else the opposite one, then
    // moved inside screen.
    static QRect placement(const QRect &anchor, const QSize &size, int edge, const QRect &screen);

signals:
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Frame;
    void frameHidden();
    void takeContentOut();

    Kind m_kind;
    std::unique_ptr<Frame> m_frame;
    QPointer<QWidget> m_content;
    QPointer<QWidget> m_anchor;
    bool m_filtering = false;
};

} // namespace platform
