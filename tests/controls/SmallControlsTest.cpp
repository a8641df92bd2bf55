// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/FieldStart.h"
#include "controls/SortChoice.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

TEST(SortChoice, OnlyZeroAndOneAreDirections)
{
    EXPECT_EQ(sortOrderFromRaw(0), SortOrder::ascending);
    EXPECT_EQ(sortOrderFromRaw(1), SortOrder::descending);
    EXPECT_EQ(sortOrderFromRaw(2), std::nullopt);
    EXPECT_EQ(sortOrderFromRaw(-1), std::nullopt);
    EXPECT_EQ(rawValue(SortOrder::descending), 1);
}

TEST(FieldStart, AValueShowsFromItsStartWithTheWholeOfItAsTooltipWhenItDoesNotFit)
{
    QLineEdit field;
    showValueFromStart(&field);
    field.resize(120, field.sizeHint().height());
    field.show();
    const QString value
        = QStringLiteral("USS Ronald Reagan sails through the Straits of Magellan. (RELEASE)");
    field.setText(value);
    EXPECT_EQ(field.cursorPosition(), 0);
    EXPECT_EQ(field.toolTip(), value);
    field.setText(value);
    EXPECT_EQ(field.cursorPosition(), 0) << "the same value again";
    field.setText(QStringLiteral("Nikon"));
    EXPECT_TRUE(field.toolTip().isEmpty()) << "a value that fits needs none";

    // Typing goes on where the cursor is.
    field.clear();
    QTest::keyClicks(&field, QStringLiteral("Ana Lima"));
    EXPECT_EQ(field.text(), QStringLiteral("Ana Lima"));
    EXPECT_EQ(field.cursorPosition(), 8);
}
