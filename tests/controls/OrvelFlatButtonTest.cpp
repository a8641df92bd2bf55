// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewSampling.h"

#include "controls/OrvelFlatButton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QColor Blue(20, 40, 200);
const QColor Yellow(240, 220, 30);

// A button with distinct normal and highlight colours that change at once.
std::unique_ptr<OrvelFlatButton> makeButton(bool momentary)
{
    auto button = std::make_unique<OrvelFlatButton>();
    button->resize(120, 40);
    button->setMomentary(momentary);
    button->setBackgroundNormalColor(Blue);
    button->setBackgroundHighlightColor(Yellow);
    button->setTitleNormalColor(Qt::white);
    button->setTitleHighlightColor(Qt::black);
    return button;
}

void moveTo(QWidget &widget, QPoint position)
{
    QMouseEvent move(QEvent::MouseMove, position, widget.mapToGlobal(position), Qt::NoButton, Qt::LeftButton,
        Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

// A 16 x 16 image whose left half is opaque and right half clear.
QImage halfImage()
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, 0, 8, 16, Qt::black);
    return image;
}

} // namespace

TEST(OrvelFlatButton, UntouchedButtonShowsARedBackdrop)
{
    OrvelFlatButton button;
    button.resize(60, 30);
    EXPECT_EQ(button.shownBackgroundColor(), QColor(Qt::red));
    const QImage image = viewtest::render(button);
    EXPECT_TRUE(viewtest::near(image.pixelColor(30, 15), QColor(Qt::red)));

    // The first colour animation replaces it: an unset colour is none.
    button.setMomentary(true);
    EXPECT_EQ(button.shownBackgroundColor().alpha(), 0);
}

TEST(OrvelFlatButton, MomentaryPressHighlightsAndReleaseInsideFires)
{
    auto button = makeButton(true);
    QSignalSpy clicked(button.get(), &QAbstractButton::clicked);
    EXPECT_EQ(button->shownBackgroundColor(), Blue);

    QTest::mousePress(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button->isMouseDown());
    EXPECT_EQ(button->state(), OrvelFlatButton::OnState);
    EXPECT_EQ(button->shownBackgroundColor(), Yellow);
    EXPECT_EQ(button->shownTitleColor(), QColor(Qt::black));
    EXPECT_EQ(clicked.count(), 0);

    QTest::mouseRelease(button.get(), Qt::LeftButton, {}, QPoint(12, 10));
    EXPECT_FALSE(button->isMouseDown());
    EXPECT_EQ(button->state(), OrvelFlatButton::OffState);
    EXPECT_EQ(button->shownBackgroundColor(), Blue);
    EXPECT_EQ(clicked.count(), 1);
}

TEST(OrvelFlatButton, DragOutUndoesThePressAndReleaseSendsNothing)
{
    auto button = makeButton(true);
    QSignalSpy clicked(button.get(), &QAbstractButton::clicked);
    QTest::mousePress(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
    moveTo(*button, QPoint(200, 10));
    EXPECT_FALSE(button->isMouseDown());
    EXPECT_EQ(button->state(), OrvelFlatButton::OffState);
    EXPECT_EQ(button->shownBackgroundColor(), Blue);

    // Coming back does not resume the press.
    moveTo(*button, QPoint(10, 10));
    EXPECT_EQ(button->state(), OrvelFlatButton::OffState);
    QTest::mouseRelease(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->state(), OrvelFlatButton::OffState);
    EXPECT_EQ(clicked.count(), 0);

    // A release outside with no move before it counts as a drag out too.
    QTest::mousePress(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(button.get(), Qt::LeftButton, {}, QPoint(10, 90));
    EXPECT_EQ(button->state(), OrvelFlatButton::OffState);
    EXPECT_EQ(clicked.count(), 0);
}

TEST(OrvelFlatButton, ToggleButtonAlternatesOnEachClick)
{
    auto button = makeButton(false);
    QSignalSpy clicked(button.get(), &QAbstractButton::clicked);
    QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->state(), OrvelFlatButton::OnState);
    EXPECT_EQ(button->shownBackgroundColor(), Yellow);
    QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->state(), OrvelFlatButton::OffState);
    EXPECT_EQ(button->shownBackgroundColor(), Blue);
    EXPECT_EQ(clicked.count(), 2);

    // Mixed counts as off: a click turns it on.
    button->setState(OrvelFlatButton::MixedState);
    EXPECT_EQ(button->shownBackgroundColor(), Blue);
    QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->state(), OrvelFlatButton::OnState);

    // The space key clicks like the mouse.
    QTest::keyClick(button.get(), Qt::Key_Space);
    EXPECT_EQ(button->state(), OrvelFlatButton::OffState);
    EXPECT_EQ(clicked.count(), 4);
}

TEST(OrvelFlatButton, DisabledButtonIgnoresClicks)
{
    auto button = makeButton(false);
    QSignalSpy clicked(button.get(), &QAbstractButton::clicked);
    button->setEnabled(false);
    QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->state(), OrvelFlatButton::OffState);
    EXPECT_EQ(clicked.count(), 0);
}

TEST(OrvelFlatButton, OpacityIsDecidedOnceWhenFirstShown)
{
    auto disabled = makeButton(false);
    disabled->setEnabled(false);
    QImage image = viewtest::render(*disabled); // first shown
    EXPECT_EQ(disabled->drawnOpacity(), 0.5);
    EXPECT_NEAR(image.pixelColor(60, 5).alpha(), 128, 2);
    disabled->setEnabled(true);
    image = viewtest::render(*disabled);
    EXPECT_NEAR(image.pixelColor(60, 5).alpha(), 128, 2);

    auto enabled = makeButton(false);
    viewtest::render(*enabled);
    enabled->setEnabled(false);
    image = viewtest::render(*enabled);
    EXPECT_EQ(enabled->drawnOpacity(), 1.0);
    EXPECT_TRUE(viewtest::near(image.pixelColor(60, 5), Blue));
}

TEST(OrvelFlatButton, ColoursAnimateOverTheStatesDuration)
{
    auto button = makeButton(false);
    button->setOnAnimateDuration(0.2);
    button->setOffAnimateDuration(0.4);
    button->setState(OrvelFlatButton::OnState);
    ASSERT_TRUE(button->isAnimatingColors());
    auto *animation = button->backgroundAnimation();
    EXPECT_EQ(animation->duration(), 200);
    animation->setCurrentTime(100);
    EXPECT_TRUE(viewtest::near(button->shownBackgroundColor(), QColor(130, 130, 115), 2));
    const QImage image = viewtest::render(*button);
    EXPECT_TRUE(viewtest::near(image.pixelColor(60, 5), QColor(130, 130, 115), 3));
    animation->setCurrentTime(200);
    EXPECT_EQ(button->shownBackgroundColor(), Yellow);

    button->setState(OrvelFlatButton::OffState);
    EXPECT_EQ(button->backgroundAnimation()->duration(), 400);
    // A new state cuts the running animation short and starts from the set value.
    button->backgroundAnimation()->setCurrentTime(50);
    button->setOffAnimateDuration(0);
    button->setState(OrvelFlatButton::OnState);
    button->setState(OrvelFlatButton::OffState);
    EXPECT_FALSE(button->isAnimatingColors());
    EXPECT_EQ(button->shownBackgroundColor(), Blue);
}

TEST(OrvelFlatButton, SettingTheShownColourStartsNoAnimation)
{
    auto button = makeButton(false);
    button->setOffAnimateDuration(1.0);
    button->setBackgroundNormalColor(Blue);
    button->setTitleNormalColor(Qt::white);
    EXPECT_FALSE(button->isAnimatingColors());
    button->setBorderNormalColor(Qt::green);
    EXPECT_TRUE(button->isAnimatingColors());
}

TEST(OrvelFlatButton, ImageOnlyHidesTheTitleAndNoImageHidesTheImage)
{
    auto button = makeButton(false);
    button->setTitle(QStringLiteral("Start"));
    button->setImage(halfImage());
    button->setImagePosition(OrvelFlatButton::ImageOnly);
    EXPECT_FALSE(button->titleFrame());
    EXPECT_EQ(button->imageFrame(), QRect(52, 12, 16, 16));
    button->setImagePosition(OrvelFlatButton::NoImage);
    EXPECT_FALSE(button->imageFrame());
    ASSERT_TRUE(button->titleFrame());
    EXPECT_NEAR(button->titleFrame()->center().x(), 60, 1);
}

TEST(OrvelFlatButton, ImageAndTitleSitAtOppositeEdgesOrHugEachOther)
{
    auto button = makeButton(false);
    button->resize(200, 40);
    button->setTitle(QStringLiteral("Start"));
    button->setImage(halfImage());
    button->setSpacing(4);
    button->setImagePosition(OrvelFlatButton::ImageLeft);
    ASSERT_TRUE(button->titleFrame() && button->imageFrame());
    const int titleWidth = button->titleFrame()->width();
    EXPECT_EQ(button->imageFrame()->topLeft(), QPoint(4, 12));
    EXPECT_NEAR(button->titleFrame()->right() + 1, 196, 1);

    button->setImageHugsTitle(true);
    // One centred group with twice the spacing between image and title.
    EXPECT_NEAR(button->titleFrame()->left() - (button->imageFrame()->right() + 1), 8, 1);
    const int groupLeft = button->imageFrame()->left();
    const int groupRight = button->titleFrame()->right() + 1;
    EXPECT_NEAR(groupLeft + groupRight, 200, 2);
    EXPECT_NEAR(groupRight - groupLeft, 16 + 8 + titleWidth, 1);

    button->setImageHugsTitle(false);
    button->setImagePosition(OrvelFlatButton::ImageBelow);
    EXPECT_EQ(button->imageFrame()->top(), 20); // near the bottom edge
    EXPECT_EQ(button->titleFrame()->top(), 4); // near the top
}

TEST(OrvelFlatButton, ResizingPlacesImageAndTitleAgain)
{
    auto button = makeButton(false);
    button->setTitle(QStringLiteral("Go"));
    button->setImage(halfImage());
    button->setSpacing(4);
    button->setImagePosition(OrvelFlatButton::ImageRight);
    EXPECT_EQ(button->imageFrame()->left(), 120 - 16 - 4);
    button->resize(300, 40);
    EXPECT_EQ(button->imageFrame()->left(), 300 - 16 - 4);
}

TEST(OrvelFlatButton, ImageIsDrawnAsATintedMask)
{
    auto button = makeButton(false);
    button->setImage(halfImage());
    button->setImagePosition(OrvelFlatButton::ImageOnly);
    button->setImageNormalColor(QColor(200, 0, 0));
    const QImage image = viewtest::render(*button);
    const QRect frame = *button->imageFrame();
    EXPECT_TRUE(viewtest::near(image.pixelColor(frame.left() + 3, frame.top() + 8), QColor(200, 0, 0)));
    EXPECT_TRUE(viewtest::near(image.pixelColor(frame.left() + 12, frame.top() + 8), Blue));
}
