// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/PreviewPanel.h"

#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/Window.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace platform {

PreviewPanel::PreviewPanel(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    resize(800, 600);
    m_picture = new QLabel(this);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(1, 1);
    m_picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_picture);
}

PreviewPanel *PreviewPanel::shared()
{
    return ScreenRegistry::instance().sharedInstance<PreviewPanel>();
}

void PreviewPanel::showFile(const QString &path, const QImage &picture)
{
    m_path = path;
    m_image = picture;
    setWindowTitle(QFileInfo(path).fileName());
    fit();
    Window::activate(this);
}

void PreviewPanel::fit()
{
    if (m_image.isNull()) {
        m_picture->setPixmap(QPixmap());
        m_picture->setText(QFileInfo(m_path).fileName());
        return;
    }
    const QSize room = m_picture->size() * m_picture->devicePixelRatioF();
    QPixmap picture = QPixmap::fromImage(m_image.size().boundedTo(room) == m_image.size()
            ? m_image
            : m_image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture.setDevicePixelRatio(m_picture->devicePixelRatioF());
    m_picture->setPixmap(picture);
}

void PreviewPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PreviewPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_path.isEmpty())
        fit();
}

} // namespace platform
