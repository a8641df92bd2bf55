// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/AnimatedValue.h"

#include <QAbstractButton>
#include <QImage>

#include <optional>

// A flat push or toggle button: a rounded backdrop with a border, an image
// tinted in one colour and a title. Each of its four colours has a normal
// (off) and a highlight (on) value; every change of state animates the
// colours to the set of the new state.
//
// A press toggles the state at once; dragging out undoes it and cancels the
// press; releasing inside springs a momentary button back and emits
// clicked(). A non-momentary button keeps the toggled state.
class OrvelFlatButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(bool momentary READ isMomentary WRITE setMomentary)
    Q_PROPERTY(double onAnimateDuration READ onAnimateDuration WRITE setOnAnimateDuration)
    Q_PROPERTY(double offAnimateDuration READ offAnimateDuration WRITE setOffAnimateDuration)
    Q_PROPERTY(double cornerRadius READ cornerRadius WRITE setCornerRadius)
    Q_PROPERTY(double borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(double spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(QColor borderNormalColor READ borderNormalColor WRITE setBorderNormalColor)
    Q_PROPERTY(QColor borderHighlightColor READ borderHighlightColor WRITE setBorderHighlightColor)
    Q_PROPERTY(QColor backgroundNormalColor READ backgroundNormalColor WRITE setBackgroundNormalColor)
    Q_PROPERTY(
        QColor backgroundHighlightColor READ backgroundHighlightColor WRITE setBackgroundHighlightColor)
    Q_PROPERTY(QColor imageNormalColor READ imageNormalColor WRITE setImageNormalColor)
    Q_PROPERTY(QColor imageHighlightColor READ imageHighlightColor WRITE setImageHighlightColor)
    Q_PROPERTY(QColor titleNormalColor READ titleNormalColor WRITE setTitleNormalColor)
    Q_PROPERTY(QColor titleHighlightColor READ titleHighlightColor WRITE setTitleHighlightColor)

public:
    enum State { MixedState = -1, OffState = 0, OnState = 1 };
    enum ImagePosition {
        NoImage = 0,
        ImageOnly = 1,
        ImageLeft = 2,
        ImageRight = 3,
        ImageBelow = 4,
        ImageAbove = 5,
        ImageOverlaps = 6,
        ImageLeading = 7,
        ImageTrailing = 8,
    };

    explicit OrvelFlatButton(QWidget *parent = nullptr);

    int state() const { return m_state; }
    void setState(int state);
    bool isMomentary() const { return m_momentary; }
    void setMomentary(bool on);
    // True while a press that began inside is in progress.
    bool isMouseDown() const { return m_mouseDown; }

    QString title() const { return text(); }
    void setTitle(const QString &title);
    QImage image() const { return m_image; }
    void setImage(const QImage &image);
    int imagePosition() const { return m_imagePosition; }
    void setImagePosition(int position);
    // Image and title as one centred group, rather than at opposite edges.
    bool imageHugsTitle() const { return m_imageHugsTitle; }
    void setImageHugsTitle(bool on);
    double spacing() const { return m_spacing; }
    void setSpacing(double spacing);

    double onAnimateDuration() const { return m_onAnimateDuration; }
    void setOnAnimateDuration(double seconds) { m_onAnimateDuration = seconds; }
    double offAnimateDuration() const { return m_offAnimateDuration; }
    void setOffAnimateDuration(double seconds) { m_offAnimateDuration = seconds; }
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width);

    // Invalid colours stand for none (nothing drawn).
    QColor borderNormalColor() const { return m_borderNormal; }
    void setBorderNormalColor(const QColor &color);
    QColor borderHighlightColor() const { return m_borderHighlight; }
    void setBorderHighlightColor(const QColor &color);
    QColor backgroundNormalColor() const { return m_backgroundNormal; }
    void setBackgroundNormalColor(const QColor &color);
    QColor backgroundHighlightColor() const { return m_backgroundHighlight; }
    void setBackgroundHighlightColor(const QColor &color);
    QColor imageNormalColor() const { return m_imageNormal; }
    void setImageNormalColor(const QColor &color);
    QColor imageHighlightColor() const { return m_imageHighlight; }
    void setImageHighlightColor(const QColor &color);
    QColor titleNormalColor() const { return m_titleNormal; }
    void setTitleNormalColor(const QColor &color);
    QColor titleHighlightColor() const { return m_titleHighlight; }
    void setTitleHighlightColor(const QColor &color);

    // The colours drawn now, and whether any of them is on its way.
    QColor shownBorderColor() const { return m_border.shown().value<QColor>(); }
    QColor shownBackgroundColor() const { return m_background.shown().value<QColor>(); }
    QColor shownImageColor() const { return m_imageTint.shown().value<QColor>(); }
    QColor shownTitleColor() const { return m_titleColor.shown().value<QColor>(); }
    bool isAnimatingColors() const;
    platform::Animation *backgroundAnimation() const { return m_background.animation(); }
    // Where the image and the title are drawn, from the current size, font
    // and title; none when not shown.
    std::optional<QRect> imageFrame() const;
    std::optional<QRect> titleFrame() const;
    // Half for a button that was disabled when first shown; it stays so.
    double drawnOpacity() const { return m_opacity; }

    void removeAllAnimations();
    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void setColor(QColor &property, const QColor &color);
    void animateColorWithState(int state);
    void contentChanged();
    QSizeF titleSize() const;
    QSizeF imageSize() const;
    void toggleState();
    void pressBegan();
    void pointerMoved(bool inside);
    void pressEnded();

    int m_state = OffState;
    bool m_mouseDown = false;
    bool m_pointerInside = false;
    bool m_momentary = false;
    double m_onAnimateDuration = 0;
    double m_offAnimateDuration = 0;
    double m_cornerRadius = 0;
    double m_borderWidth = 0;
    double m_spacing = 0;
    bool m_imageHugsTitle = false;
    int m_imagePosition = NoImage;
    QImage m_image;
    double m_opacity = 1.0;
    bool m_opacityFixed = false;

    QColor m_borderNormal, m_borderHighlight;
    QColor m_backgroundNormal, m_backgroundHighlight;
    QColor m_imageNormal, m_imageHighlight;
    QColor m_titleNormal, m_titleHighlight;

    AnimatedValue m_border;
    AnimatedValue m_background;
    AnimatedValue m_imageTint;
    AnimatedValue m_titleColor;
};
