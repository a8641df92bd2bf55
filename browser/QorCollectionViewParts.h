#pragma once

// Small helpers of QorCollectionView, shared by its source files only.

#include "browser/QorCollectionView.h"

#include <QPainter>
#include <QWidget>

// Draws the rubber band above the cells; lies over the viewport and lets
// every mouse event through.
class QorCollectionView::BandOverlay : public QWidget
{
public:
    explicit BandOverlay(QorCollectionView *view) : QWidget(view), m_view(view)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const QRect band = m_view->viewToViewport(m_view->rubberBandRect());
        if (band.isEmpty())
            return;
        QPainter painter(this);
        painter.setPen(QPen(QColor(Qt::gray), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(band.adjusted(0, 0, -1, -1));
    }

private:
    QorCollectionView *m_view;
};

class QorCollectionView::RedrawBatch
{
public:
    explicit RedrawBatch(QorCollectionView *view) : m_view(view) { ++m_view->m_redrawDepth; }
    ~RedrawBatch()
    {
        if (--m_view->m_redrawDepth == 0 && !m_view->m_pendingRedraw.isNull()) {
            m_view->viewport()->update(m_view->m_pendingRedraw);
            m_view->m_pendingRedraw = QRect();
        }
    }
    RedrawBatch(const RedrawBatch &) = delete;
    RedrawBatch &operator=(const RedrawBatch &) = delete;

private:
    QorCollectionView *m_view;
};
