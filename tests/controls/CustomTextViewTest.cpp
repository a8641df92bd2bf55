// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CustomTextView.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QImage picture(CustomTextView &view)
{
    view.viewport()->repaint();
    return view.viewport()->grab().toImage();
}

struct Views
{
    Views()
    {
        for (CustomTextView *view : { &with, &without }) {
            view->resize(240, 80);
            view->show();
        }
        with.makePlaceholderAttributedString(QStringLiteral("Keywords, separated by commas"));
    }
    CustomTextView with;
    CustomTextView without;
};

} // namespace

TEST(CustomTextView, PlaceholderShowsOnlyWhileTheTextIsEmpty)
{
    Views v;
    EXPECT_TRUE(v.with.showsPlaceholder());
    EXPECT_FALSE(v.without.showsPlaceholder());
    EXPECT_NE(picture(v.with), picture(v.without));

    for (CustomTextView *view : { &v.with, &v.without })
        view->setPlainText(QStringLiteral("beach"));
    EXPECT_FALSE(v.with.showsPlaceholder());
    EXPECT_EQ(picture(v.with), picture(v.without));

    // Deleting every character brings it back.
    for (CustomTextView *view : { &v.with, &v.without }) {
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_Backspace);
    }
    EXPECT_TRUE(v.with.showsPlaceholder());
    EXPECT_NE(picture(v.with), picture(v.without));
}
