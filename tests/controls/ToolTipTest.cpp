// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ToolTipViewController.h"
#include "platform/widgets/ScreenRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A window with a numeric field that the tooltip explains and a second
// field elsewhere.
class ToolTipTest : public testing::Test
{
protected:
    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&window);
        field = new QLineEdit(&window);
        other = new QLineEdit(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        window.resize(300, 120);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        field->setFocus();
    }

    ToolTipViewController *tip() { return ToolTipViewController::shared(); }
    QString shownText() { return tip()->lblMessage->text(); }

    platform::ScreenRegistry screens;
    QWidget window;
    QLineEdit *field = nullptr;
    QLineEdit *other = nullptr;
};

} // namespace

TEST_F(ToolTipTest, ShowsTheTextBesideTheFieldWithoutTakingTheFocus)
{
    ToolTipViewController::show(QStringLiteral("Enter a year from 1 to 9999"), field, 1);
    ASSERT_TRUE(tip()->popover.isShown());
    EXPECT_EQ(shownText(), QStringLiteral("Enter a year from 1 to 9999"));

    const QRect placed = tip()->popover.window()->geometry();
    EXPECT_GT(placed.top(), field->mapToGlobal(QPoint(0, field->height() - 1)).y()) << "below the field";

    EXPECT_EQ(QApplication::focusWidget(), field);
    QTest::keyClicks(field, QStringLiteral("2019"));
    EXPECT_EQ(field->text(), QStringLiteral("2019"));
    EXPECT_TRUE(tip()->popover.isShown());
}

TEST_F(ToolTipTest, ASecondTextReplacesTheFirstInTheSamePopover)
{
    ToolTipViewController::show(QStringLiteral("Day: 1 to 31"), field, 3);
    QWidget *first = tip()->popover.window();
    ToolTipViewController::show(QStringLiteral("Month: 1 to 12"), other, 1);
    EXPECT_EQ(tip()->popover.window(), first);
    EXPECT_TRUE(tip()->popover.isShown());
    EXPECT_EQ(shownText(), QStringLiteral("Month: 1 to 12"));
    EXPECT_GT(first->geometry().top(), other->mapToGlobal(QPoint(0, other->height() - 1)).y());
}

TEST_F(ToolTipTest, AClickElsewhereOrEscapeClosesItAndClearsTheText)
{
    ToolTipViewController::show(QStringLiteral("Day: 1 to 31"), field, 1);
    QTest::mouseClick(other, Qt::LeftButton);
    EXPECT_FALSE(tip()->popover.isShown());
    EXPECT_TRUE(shownText().isEmpty());

    ToolTipViewController::show(QStringLiteral("Day: 1 to 31"), field, 1);
    QTest::mouseClick(tip()->lblMessage, Qt::LeftButton);
    EXPECT_TRUE(tip()->popover.isShown()) << "a click on the tooltip itself keeps it";

    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(tip()->popover.isShown());
}
