// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/OrvelFlatButton.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// What a colour property of "none" shows.
QColor drawable(const QColor &color)
{
    return color.isValid() ? color : QColor(Qt::transparent);
}

int durationMs(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        return 0;
    return int(std::min(seconds * 1000.0, 3600.0 * 1000.0));
}

struct Measures
{
    double w, h, iw, ih, tw, th, s;
    bool hug;
};

// Origins with y measured down from the top edge.
QPointF imageOrigin(int position, const Measures &m)
{
    switch (position) {
    case OrvelFlatButton::ImageOnly:
    case OrvelFlatButton::ImageOverlaps:
        return { (m.w - m.iw) / 2, (m.h - m.ih) / 2 };
    case OrvelFlatButton::ImageLeft:
    case OrvelFlatButton::ImageLeading:
        return { m.hug ? (m.w - m.iw - m.tw) / 2 - m.s : m.s, (m.h - m.ih) / 2 };
    case OrvelFlatButton::ImageRight:
    case OrvelFlatButton::ImageTrailing:
        return { m.hug ? (m.w - m.iw + m.tw) / 2 + m.s : m.w - m.iw - m.s, (m.h - m.ih) / 2 };
    case OrvelFlatButton::ImageBelow:
        return { (m.w - m.iw) / 2, m.hug ? (m.h - m.ih + m.th) / 2 + m.s : m.h - m.ih - m.s };
    case OrvelFlatButton::ImageAbove:
        return { (m.w - m.iw) / 2, m.hug ? (m.h - m.ih - m.th) / 2 - m.s : m.s };
    default:
        return { 0, 0 };
    }
}

QPointF titleOrigin(int position, const Measures &m)
{
    switch (position) {
    case OrvelFlatButton::NoImage:
    case OrvelFlatButton::ImageOverlaps:
        return { (m.w - m.tw) / 2, (m.h - m.th) / 2 };
    case OrvelFlatButton::ImageLeft:
    case OrvelFlatButton::ImageLeading:
        return { m.hug ? (m.w + m.iw - m.tw) / 2 + m.s : m.w - m.tw - m.s, (m.h - m.th) / 2 };
    case OrvelFlatButton::ImageRight:
    case OrvelFlatButton::ImageTrailing:
        return { m.hug ? (m.w - m.iw - m.tw) / 2 - m.s : m.s, (m.h - m.th) / 2 };
    case OrvelFlatButton::ImageBelow:
        return { (m.w - m.tw) / 2, m.hug ? (m.h - m.ih - m.th) / 2 - m.s : m.s };
    case OrvelFlatButton::ImageAbove:
        return { (m.w - m.tw) / 2, m.hug ? (m.h + m.ih - m.th) / 2 + m.s : m.h - m.th - m.s };
    default:
        return { 0, 0 };
    }
}

} // namespace

OrvelFlatButton::OrvelFlatButton(QWidget *parent)
    : QAbstractButton(parent)
    // Until the first colour animation the backdrop is plainly red, and the
    // other three colours hold their layers' own defaults.
    , m_border(QColor(Qt::black), [this] { update(); })
    , m_background(QColor(Qt::red), [this] { update(); })
    , m_imageTint(QColor(Qt::transparent), [this] { update(); })
    , m_titleColor(QColor(Qt::white), [this] { update(); })
{
    setCursor(Qt::PointingHandCursor);
}

void OrvelFlatButton::setState(int state)
{
    m_state = state;
    animateColorWithState(m_state);
}

void OrvelFlatButton::setMomentary(bool on)
{
    m_momentary = on;
    animateColorWithState(m_state);
}

void OrvelFlatButton::setTitle(const QString &title)
{
    setText(title);
    contentChanged();
}

void OrvelFlatButton::setImage(const QImage &image)
{
    m_image = image;
    contentChanged();
}

void OrvelFlatButton::setImagePosition(int position)
{
    m_imagePosition = position;
    contentChanged();
}

void OrvelFlatButton::setImageHugsTitle(bool on)
{
    m_imageHugsTitle = on;
    contentChanged();
}

void OrvelFlatButton::setSpacing(double spacing)
{
    m_spacing = spacing;
    contentChanged();
}

void OrvelFlatButton::setCornerRadius(double radius)
{
    m_cornerRadius = radius;
    update();
}

void OrvelFlatButton::setBorderWidth(double width)
{
    m_borderWidth = width;
    update();
}

void OrvelFlatButton::setColor(QColor &property, const QColor &color)
{
    property = color;
    animateColorWithState(m_state);
}

void OrvelFlatButton::setBorderNormalColor(const QColor &color)
{
    setColor(m_borderNormal, color);
}

void OrvelFlatButton::setBorderHighlightColor(const QColor &color)
{
    setColor(m_borderHighlight, color);
}

void OrvelFlatButton::setBackgroundNormalColor(const QColor &color)
{
    setColor(m_backgroundNormal, color);
}

void OrvelFlatButton::setBackgroundHighlightColor(const QColor &color)
{
    setColor(m_backgroundHighlight, color);
}

void OrvelFlatButton::setImageNormalColor(const QColor &color)
{
    setColor(m_imageNormal, color);
}

void OrvelFlatButton::setImageHighlightColor(const QColor &color)
{
    setColor(m_imageHighlight, color);
}

void OrvelFlatButton::setTitleNormalColor(const QColor &color)
{
    setColor(m_titleNormal, color);
}

void OrvelFlatButton::setTitleHighlightColor(const QColor &color)
{
    setColor(m_titleHighlight, color);
}

bool OrvelFlatButton::isAnimatingColors() const
{
    return m_border.isAnimating() || m_background.isAnimating() || m_imageTint.isAnimating()
        || m_titleColor.isAnimating();
}

void OrvelFlatButton::removeAllAnimations()
{
    for (AnimatedValue *color : { &m_border, &m_background, &m_imageTint, &m_titleColor })
        color->stop();
}

void OrvelFlatButton::animateColorWithState(int state)
{
    removeAllAnimations();
    const bool on = state == OnState;
    const int ms = durationMs(on ? m_onAnimateDuration : m_offAnimateDuration);
    const std::pair<AnimatedValue *, QColor> targets[] = {
        { &m_border, on ? m_borderHighlight : m_borderNormal },
        { &m_background, on ? m_backgroundHighlight : m_backgroundNormal },
        { &m_imageTint, on ? m_imageHighlight : m_imageNormal },
        { &m_titleColor, on ? m_titleHighlight : m_titleNormal },
    };
    for (const auto &[color, target] : targets) {
        const QColor from = color->value().value<QColor>();
        const QColor to = drawable(target);
        if (from.rgba64() != to.rgba64())
            color->animate(from, to, ms, QEasingCurve(QEasingCurve::Linear));
    }
}

QSizeF OrvelFlatButton::titleSize() const
{
    if (text().isEmpty())
        return { 0, 0 };
    return QFontMetricsF(font()).size(Qt::TextSingleLine, text());
}

void OrvelFlatButton::contentChanged()
{
    updateGeometry();
    update();
}

QSizeF OrvelFlatButton::imageSize() const
{
    return m_image.isNull() ? QSizeF(0, 0) : m_image.deviceIndependentSize();
}

std::optional<QRect> OrvelFlatButton::imageFrame() const
{
    if (m_image.isNull() || m_imagePosition == NoImage)
        return std::nullopt;
    const QSizeF image = imageSize();
    const QSizeF title = titleSize();
    const Measures m { double(width()), double(height()), image.width(), image.height(), title.width(),
        title.height(), m_spacing, m_imageHugsTitle };
    const QPointF origin = imageOrigin(m_imagePosition, m);
    return QRect(qRound(origin.x()), qRound(origin.y()), qRound(m.iw), qRound(m.ih));
}

std::optional<QRect> OrvelFlatButton::titleFrame() const
{
    if (text().isEmpty() || m_imagePosition == ImageOnly)
        return std::nullopt;
    const QSizeF image = imageSize();
    const QSizeF title = titleSize();
    const Measures m { double(width()), double(height()), image.width(), image.height(), title.width(),
        title.height(), m_spacing, m_imageHugsTitle };
    const QPointF origin = titleOrigin(m_imagePosition, m);
    return QRect(qRound(origin.x()), qRound(origin.y()), int(std::ceil(m.tw)), int(std::ceil(m.th)));
}

QSize OrvelFlatButton::sizeHint() const
{
    const QSizeF title = titleSize();
    const QSizeF image = imageSize();
    const double gap = title.isEmpty() || image.isEmpty() ? 0.0 : 2 * m_spacing;
    return QSize(int(std::ceil(title.width() + image.width() + gap)) + 24,
        int(std::ceil(std::max(title.height(), image.height()))) + 12);
}

bool OrvelFlatButton::event(QEvent *event)
{
    // The enabled state the button has when it is first shown decides its
    // opacity for good, as if it had been built that way.
    if (event->type() == QEvent::Polish && !m_opacityFixed) {
        m_opacityFixed = true;
        m_opacity = isEnabled() ? 1.0 : 0.5;
    }
    return QAbstractButton::event(event);
}

void OrvelFlatButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_opacity);
    const QRectF bounds(rect());
    const double radius = std::max(0.0, m_cornerRadius);
    QPainterPath shape;
    shape.addRoundedRect(bounds, radius, radius);
    painter.setClipPath(shape);
    painter.fillPath(shape, shownBackgroundColor());

    const std::optional<QRect> imageAt = imageFrame();
    if (imageAt && !imageAt->isEmpty()) {
        // The image serves only as a mask for its tint.
        QImage tinted(imageAt->size(), QImage::Format_ARGB32_Premultiplied);
        tinted.fill(shownImageColor());
        QPainter mask(&tinted);
        mask.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        mask.drawImage(QRect(QPoint(), tinted.size()), m_image);
        mask.end();
        painter.drawImage(*imageAt, tinted);
    }
    if (const std::optional<QRect> titleAt = titleFrame()) {
        painter.setFont(font());
        painter.setPen(shownTitleColor());
        painter.drawText(QRectF(*titleAt), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text());
    }
    if (m_borderWidth > 0) {
        const double half = m_borderWidth / 2;
        const double inner = std::max(0.0, radius - half);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(shownBorderColor(), m_borderWidth));
        painter.drawRoundedRect(bounds.adjusted(half, half, -half, -half), inner, inner);
    }
}

void OrvelFlatButton::toggleState()
{
    setState(m_state == OnState ? OffState : OnState);
}

void OrvelFlatButton::pressBegan()
{
    if (!isEnabled())
        return;
    m_mouseDown = true;
    m_pointerInside = true;
    toggleState();
}

void OrvelFlatButton::pointerMoved(bool inside)
{
    if (inside == m_pointerInside)
        return;
    m_pointerInside = inside;
    if (!m_mouseDown)
        return;
    if (!inside) {
        // Dragged out: the press is undone and cancelled.
        m_mouseDown = false;
        toggleState();
    }
}

void OrvelFlatButton::pressEnded()
{
    if (!m_mouseDown)
        return;
    m_mouseDown = false;
    if (m_momentary)
        toggleState();
    emit clicked(m_state == OnState);
}

void OrvelFlatButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressBegan();
}

void OrvelFlatButton::mouseMoveEvent(QMouseEvent *event)
{
    pointerMoved(rect().contains(event->position().toPoint()));
}

void OrvelFlatButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pointerMoved(rect().contains(event->position().toPoint()));
    pressEnded();
}

void OrvelFlatButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && !m_mouseDown) {
        pressBegan();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void OrvelFlatButton::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        pressEnded();
        return;
    }
    QAbstractButton::keyReleaseEvent(event);
}

void OrvelFlatButton::focusOutEvent(QFocusEvent *event)
{
    // A key press that loses focus is cancelled like a drag out.
    if (m_mouseDown)
        pointerMoved(false);
    QAbstractButton::focusOutEvent(event);
}
