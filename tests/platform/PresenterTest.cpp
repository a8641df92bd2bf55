// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Presenter.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

using namespace platform;

namespace {

QList<QWidget *> backdropsOf(QWidget *host)
{
    QList<QWidget *> found;
    for (QWidget *child : host->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (child->objectName() == Presenter::OverlayName && !child->isHidden())
            found << child;
    return found;
}

} // namespace

TEST(Presenter, RecorderNotesPresentationsWithoutShowingAnything)
{
    QWidget host;
    QLabel content(QStringLiteral("scan"));
    std::vector<std::pair<Presenter::Event, QWidget *>> events;
    const auto previous
        = Presenter::setRecorder([&](Presenter::Event e, QWidget *w) { events.emplace_back(e, w); });
    Presenter::presentAsSheet(&host, &content);
    Presenter::presentAsOverlay(&host, &content);
    Presenter::presentAsModalWindow(&host, &content);
    Presenter::dismiss(&content);
    Presenter::setRecorder(previous);

    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].first, Presenter::Event::Sheet);
    EXPECT_EQ(events[1].first, Presenter::Event::Overlay);
    EXPECT_EQ(events[2].first, Presenter::Event::ModalWindow);
    EXPECT_EQ(events[3].first, Presenter::Event::Dismissed);
    EXPECT_EQ(events[3].second, &content);
    EXPECT_FALSE(content.isVisible());
    EXPECT_TRUE(backdropsOf(&host).isEmpty());
}

TEST(Presenter, OverlayDimsTheHostAndReplacesAnEarlierOne)
{
    QWidget host;
    host.resize(800, 600);
    host.show();
    auto *first = new QLabel(QStringLiteral("first"));
    auto *second = new QLabel(QStringLiteral("second"));
    first->resize(200, 100);

    QWidget *backdrop = Presenter::presentAsOverlay(&host, first);
    ASSERT_NE(backdrop, nullptr);
    EXPECT_EQ(backdrop->objectName(), QStringLiteral("MineLoard1"));
    EXPECT_EQ(backdrop->geometry(), host.rect());
    EXPECT_EQ(first->parentWidget(), backdrop);
    EXPECT_EQ(first->geometry(), QRect(300, 250, 200, 100));
    EXPECT_TRUE(Presenter::isPresented(first));
    // The backdrop is black at 60 %.
    const QImage shot = host.grab().toImage();
    const QColor dim = shot.pixelColor(5, 5);
    EXPECT_LT(dim.lightness(), 110);

    host.resize(1000, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(backdrop->geometry(), host.rect());

    // A second overlay removes the first backdrop; its content survives.
    QPointer<QWidget> firstBackdrop = backdrop;
    Presenter::presentAsOverlay(&host, second);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(firstBackdrop.isNull());
    EXPECT_EQ(backdropsOf(&host).size(), 1);
    EXPECT_FALSE(Presenter::isPresented(first));
    EXPECT_EQ(first->parentWidget(), nullptr);

    Presenter::dismiss(second);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(backdropsOf(&host).isEmpty());
    EXPECT_EQ(second->parentWidget(), nullptr);
    delete first;
    delete second;
}

TEST(Presenter, SheetIsWindowModalAndDismissalKeepsTheContent)
{
    QWidget window;
    window.setGeometry(100, 100, 600, 400);
    window.show();
    auto *content = new QLabel(QStringLiteral("progress"));
    content->setWindowTitle(QStringLiteral("Adding Photos"));
    Presenter::presentAsSheet(&window, content);
    auto *sheet = qobject_cast<QDialog *>(content->parentWidget());
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->parentWidget(), &window);
    // A framed, titled dialog centred on its window, which Escape leaves up.
    EXPECT_FALSE(sheet->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Adding Photos"));
    EXPECT_LE((sheet->geometry().center() - window.geometry().center()).manhattanLength(), 2);
    QTest::keyClick(sheet, Qt::Key_Escape);
    EXPECT_TRUE(sheet->isVisible());

    QPointer<QDialog> guard = sheet;
    Presenter::dismiss(content);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_FALSE(Presenter::isPresented(content));
    // The screen itself lives on, ready to be shown again.
    Presenter::presentAsSheet(&window, content);
    EXPECT_TRUE(content->isVisible());
    Presenter::dismiss(content);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete content;
}

TEST(Presenter, ModalWindowIsShownAgainAsTheSameWindow)
{
    QWidget window;
    window.setGeometry(100, 100, 600, 400);
    window.show();
    QLabel *content = new QLabel(QStringLiteral("rename"));
    Presenter::presentAsModalWindow(&window, content);
    EXPECT_TRUE(content->isWindow());
    EXPECT_TRUE(content->isVisible());
    EXPECT_EQ(content->windowModality(), Qt::ApplicationModal);
    // A dialog of its window, which window managers keep over it, centred
    // on it at the size it shows with.
    EXPECT_EQ(content->windowType(), Qt::Dialog);
    EXPECT_LE((content->geometry().center() - window.geometry().center()).manhattanLength(), 2);
    content->close();
    EXPECT_FALSE(content->isVisible());
    Presenter::presentAsModalWindow(&window, content);
    EXPECT_TRUE(content->isVisible());
    EXPECT_EQ(content->parentWidget(), &window);
    Presenter::dismiss(content);
    EXPECT_FALSE(content->isVisible());
}
