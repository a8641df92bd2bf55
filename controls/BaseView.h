// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Animation.h"

#include <QColor>
#include <QWidget>

#include <memory>

class QPainter;

// The base of the animated progress views. Each view paints itself from a
// small state that stands for its layers; geometry is worked out with y
// pointing up and painted through platform::YUpScope.
//
// Views are built in two phases: constructors only give every property its
// default, then the most-derived setUpLayers() runs once, with the frame in
// place, to build the geometry. create() does both; the geometry stays as
// built when the view is resized later.
class BaseView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor background READ background WRITE setBackground)
    Q_PROPERTY(QColor foreground READ foreground WRITE setForeground)
    Q_PROPERTY(double cornerRadius READ cornerRadius WRITE setCornerRadius)

public:
    // A view owned by parent.
    template <class View> static View *create(const QRect &frame, QWidget *parent)
    {
        Q_ASSERT(parent);
        View *view = create<View>(frame).release();
        view->setParent(parent);
        return view;
    }
    // A view owned by the caller.
    template <class View> static std::unique_ptr<View> create(const QRect &frame)
    {
        std::unique_ptr<View> view(new View(nullptr));
        view->setGeometry(frame);
        view->m_setUpSize = frame.size();
        static_cast<BaseView *>(view.get())->setUpLayers();
        return view;
    }

    QColor background() const { return m_background; }
    void setBackground(const QColor &color);
    QColor foreground() const { return m_foreground; }
    void setForeground(const QColor &color);
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);

    // What the view's own backdrop shows now.
    QColor shownBackground() const { return m_layerBackground; }
    double shownCornerRadius() const { return m_layerCornerRadius; }

    QSize sizeHint() const override { return m_setUpSize; }

protected:
    explicit BaseView(QWidget *parent);

    // Builds the geometry; runs once, at the end of create().
    virtual void setUpLayers();
    // Recolours (and, for some views, reshapes) from the properties.
    virtual void updateLayerAppearance();
    // The marks in front of the backdrop.
    virtual void paintContent(QPainter &painter) = 0;

    void setShownCornerRadius(double radius);
    // An animation from 0 to 1 that repaints this view as it runs; loopCount
    // -1 repeats it for ever.
    std::unique_ptr<platform::Animation> makeAnimation(int durationMs, int loopCount);
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_background;
    QColor m_foreground;
    double m_cornerRadius = 5.0;
    QColor m_layerBackground = Qt::transparent;
    double m_layerCornerRadius = 0.0;
    QSize m_setUpSize;
};
