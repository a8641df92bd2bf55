// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Presenter.h"

#include "platform/widgets/Window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEvent>
#include <QHash>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

namespace platform {

const QString Presenter::OverlayName = QStringLiteral("MineLoard1");

namespace {

// The name of a backdrop from an older layout of the overlay, removed as
// well; same length as the current one.
const QString OlderOverlayName = QStringLiteral("MineLoard0");

Presenter::Recorder &recorder()
{
    static Presenter::Recorder r;
    return r;
}

// The frame each presented content sits in (a sheet dialog, a backdrop, or
// the content itself for a modal window).
QHash<QWidget *, QPointer<QWidget>> &frames()
{
    static QHash<QWidget *, QPointer<QWidget>> f;
    return f;
}

class Backdrop : public QWidget
{
public:
    Backdrop(QWidget *host, QWidget *content)
        : QWidget(host)
        , m_content(content)
    {
        setObjectName(Presenter::OverlayName);
        setAttribute(Qt::WA_NoSystemBackground);
        content->setParent(this);
        host->installEventFilter(this);
        fitHost();
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor(0, 0, 0, 153)); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parent() && event->type() == QEvent::Resize)
            fitHost();
        return false;
    }
    void resizeEvent(QResizeEvent *) override { centreContent(); }

private:
    void fitHost()
    {
        setGeometry(parentWidget()->rect());
        centreContent();
    }
    void centreContent()
    {
        if (!m_content)
            return;
        const QSize size = m_content->size().isEmpty() ? m_content->sizeHint() : m_content->size();
        m_content->setGeometry(
            QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size));
    }

    QPointer<QWidget> m_content;
};

// A sheet is a framed, titled dialog over its window. Only its content's
// own buttons end it: Escape and the window manager cannot close it while
// the work it shows goes on.
class SheetDialog : public QDialog
{
public:
    explicit SheetDialog(QWidget *window)
        : QDialog(window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    {
        setWindowModality(Qt::WindowModal);
    }

    void reject() override { }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        // The window manager's close button waits for the content's own
        // buttons; quitting the application still closes the sheet.
        if (event->spontaneous())
            event->ignore();
    }
};

// Takes content out of its frame, so deleting the frame leaves it alive.
void release(QWidget *content)
{
    const QPointer<QWidget> frame = frames().take(content);
    if (!frame || frame == content) {
        content->hide();
        return;
    }
    content->hide();
    content->setParent(nullptr);
    frame->hide();
    frame->deleteLater();
}

void removeEarlierBackdrops(QWidget *host)
{
    for (QWidget *child : host->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->objectName() != Presenter::OverlayName && child->objectName() != OlderOverlayName)
            continue;
        for (auto it = frames().begin(); it != frames().end();) {
            if (it.value() == child) {
                QWidget *content = it.key();
                it = frames().erase(it);
                content->hide();
                content->setParent(nullptr);
            } else {
                ++it;
            }
        }
        child->hide();
        child->deleteLater();
    }
}

} // namespace

Presenter::Recorder Presenter::setRecorder(Recorder r)
{
    Recorder previous = std::move(recorder());
    recorder() = std::move(r);
    return previous;
}

void Presenter::presentAsSheet(QWidget *host, QWidget *content)
{
    if (recorder()) {
        recorder()(Event::Sheet, content);
        return;
    }
    if (isPresented(content))
        release(content);
    auto *sheet = new SheetDialog(host ? host->window() : nullptr);
    sheet->setWindowTitle(
        content->windowTitle().isEmpty() ? QApplication::applicationDisplayName() : content->windowTitle());
    auto *layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    content->show();
    frames().insert(content, sheet);
    sheet->adjustSize();
    if (host)
        Window::centreOver(sheet, host);
    // Window-modal: the window behind takes no input while the sheet is up.
    sheet->open();
}

QWidget *Presenter::presentAsOverlay(QWidget *host, QWidget *content)
{
    if (recorder()) {
        recorder()(Event::Overlay, content);
        return nullptr;
    }
    if (isPresented(content))
        release(content);
    removeEarlierBackdrops(host);
    auto *backdrop = new Backdrop(host, content);
    frames().insert(content, backdrop);
    content->show();
    backdrop->show();
    backdrop->raise();
    return backdrop;
}

void Presenter::presentAsModalWindow(QWidget *presenter, QWidget *content)
{
    if (recorder()) {
        recorder()(Event::ModalWindow, content);
        return;
    }
    if (frames().value(content) != content) {
        if (isPresented(content))
            release(content);
        // A dialog of the window it belongs to (transient for it): window
        // managers keep it over that window. It can still be maximised.
        QWidget *owner = presenter ? presenter->window() : nullptr;
        if (content->parentWidget() != owner || content->windowType() != Qt::Dialog)
            content->setParent(owner, Qt::Dialog | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
        content->setWindowModality(Qt::ApplicationModal);
        frames().insert(content, content);
    }
    // Each opening stands centred over the window it belongs to.
    if (!content->isVisible() && presenter)
        Window::centreOver(content, presenter);
    content->show();
    content->raise();
    content->activateWindow();
}

void Presenter::dismiss(QWidget *content)
{
    if (recorder()) {
        recorder()(Event::Dismissed, content);
        return;
    }
    if (content && frames().contains(content))
        release(content);
}

bool Presenter::isPresented(QWidget *content)
{
    const auto it = frames().constFind(content);
    return it != frames().constEnd() && !it.value().isNull();
}

} // namespace platform
