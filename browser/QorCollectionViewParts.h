// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small helpers of QorCollectionView, shared by its source files only.

#include "browser/QorCollectionView.h"

#include <QPainter>
#include <QWidget>

// The rubber band's outline: four thin grey strips above the cells, so
// moving the band repaints only the strips, never the cells inside it.
class QorCollectionView::BandOverlay
{
public:
    explicit BandOverlay(QWidget *viewport)
    {
        for (auto &edge : m_edges) {
            edge = new QWidget(viewport);
            edge->setAttribute(Qt::WA_TransparentForMouseEvents);
            edge->setAutoFillBackground(true);
            QPalette palette = edge->palette();
            palette.setColor(QPalette::Window, QColor(Qt::gray));
            edge->setPalette(palette);
            edge->hide();
        }
    }

    // rect in viewport coordinates; an empty one hides the band.
    void show(const QRect &rect)
    {
        if (rect.isEmpty()) {
            hide();
            return;
        }
        m_edges[0]->setGeometry(rect.left(), rect.top(), rect.width(), 1);
        m_edges[1]->setGeometry(rect.left(), rect.bottom(), rect.width(), 1);
        m_edges[2]->setGeometry(rect.left(), rect.top(), 1, rect.height());
        m_edges[3]->setGeometry(rect.right(), rect.top(), 1, rect.height());
        for (QWidget *edge : m_edges) {
            if (!edge->isVisible()) {
                edge->show();
                edge->raise();
            }
        }
    }
    void hide()
    {
        for (QWidget *edge : m_edges)
            edge->hide();
    }
    bool isVisible() const { return m_edges[0]->isVisible(); }
    // New cells stack above the band; put it back on top.
    void raise()
    {
        for (QWidget *edge : m_edges)
            edge->raise();
    }

private:
    QWidget *m_edges[4] = {};
};

class QorCollectionView::RedrawBatch
{
public:
    explicit RedrawBatch(QorCollectionView *view)
        : m_view(view)
    {
        ++m_view->m_redrawDepth;
    }
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
